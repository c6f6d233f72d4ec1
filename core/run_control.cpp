#include "core/run_control.h"

#include "core/ee_state.h"

u32 programLoaded;
u32 stopFlag;
u32 stopCheckCycle = 0;

void raiseStopFlag() {
    stopFlag = 1;
    stopCheckCycle = ee.cycle;
}

bool idleLoopStopsRun = false;

namespace {
bool idleLoopNoted = false;
u32 idleLoopAddress = 0;
}  // namespace

void noteIdleLoop(u32 branchAddress) {
    idleLoopNoted = true;
    idleLoopAddress = branchAddress;
    stopCheckCycle = ee.cycle;
}

bool takeIdleLoop() {
    const bool idle = idleLoopNoted && ee.pc == idleLoopAddress;
    idleLoopNoted = false;
    return idle;
}
