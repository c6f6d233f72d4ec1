// The machine's state as a whole. Each subsystem keeps its state in one
// record or a few globals in its own header, and resets them itself:
//
//   EE core          ee (core/ee_state.h); programLoaded, stopFlag
//                    (core/run_control.h); pluginsOpened (plugins/plugin_host.h)
//   COP0, FPU        cop0, fpu (cop/)
//   memory and bus   memory: RAM, ROM, hardware registers, scratchpad
//                    (memory/bus.h); the DMA channel records point into
//                    the hardware registers (devices/dma.h)
//   timers           timers, csrVblankCount, vblankCount (devices/timers.h);
//                    eventBase, eventDelta (core/machine_calls.h)
//   kernel           kernel: handlers, threads, semaphores, alarms, ready
//                    queues (kernel/objects.h); kernelCalls (kernel/syscalls.h)
//   vector units     vu0, vu1 (vu/vu_state.h), vuRandomState (vu/vu_lower.h),
//                    VIF1's carried command (vu/vif1.h), the last pair fetched
//                    (vu/vu1_micro.h)
//   IOP services     fileService (iop/file_service.h), the controller ports
//                    (iop/pad_service.h), iopVersion, archivePath,
//                    discMediaType, trayChanged, the module ids
//   disc             discFiles, volumeDescriptor (disc/iso9660.h), the ELF
//                    headers (disc/elf_loader.h), the disc boot's text and
//                    path (disc/disc_boot.h); bootedFromDisc (plugins/)
//
// Everything else the program keeps between guest instructions belongs to
// the host, not to the machine: the plugin libraries, the front ends' hooks,
// the host root, the log file.
#pragma once

// emuReset (stop, shut down, initialise) keeps what the console keeps over
// a reset: HI, LO and SA, VU1's registers, the last executable's entry, the
// IOP version and the other values that last until the emulator exits. This
// brings every subsystem back to the state the emulator starts with,
// as a fresh process has it: the machine initialised, nothing loaded.
void machinePowerOn();
