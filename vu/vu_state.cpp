#include "vu/vu_state.h"

#include "memory/bus.h"
#include "vu/vu_lower.h"

VuState vu0;
VuState vu1;

void vuPowerOn() {
    vu1 = VuState{};
    vuRandomState = kVuRandomSeed;
    vuReset();
}

void vuReset() {
    // VU1 keeps its registers, flags included.
    vuSettleFlags(vu1);
    vu0 = VuState{};
    vu0.microMem = memory.vu0Micro;
    vu0.dataMem = memory.vu0Data;
    vu1.microMem = memory.vu1Micro;
    vu1.dataMem = memory.vu1Data;
    // VF0 reads (0, 0, 0, 1.0) in both units; VU1's other registers keep
    // their values.
    vu0.vf[0].f[3] = 1.0f;
    vu1.vf[0].f[3] = 1.0f;
}
