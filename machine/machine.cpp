#include "machine/machine.h"

#include "core/ee_state.h"
#include "disc/disc_boot.h"
#include "disc/elf_loader.h"
#include "iop/iop_services.h"
#include "kernel/syscalls.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "plugins/plugin_host.h"
#include "vu/vu_state.h"

// What lasts across a reset is cleared first: the initialisation then sets
// the PC from the cleared ELF header and starts the vector units afresh.
void machinePowerOn() {
    emuStop();
    ee.hi = Reg128{};
    ee.lo = Reg128{};
    ee.sa = 0;
    ee.code = 0;
    elfLoaderPowerOn();
    discBootPowerOn();
    kernelCallsPowerOn();
    iopServicesPowerOn();
    vuPowerOn();
    bootedFromDisc = 0;
    if (memory.ram != nullptr) emuShutdown();
    emuInit();
    programLoaded = 0;
    stopFlag = 0;
}
