#include "core/run_control.h"

#include "core/ee_state.h"

u32 programLoaded;
u32 stopFlag;
u32 stopCheckCycle = 0;

void raiseStopFlag() {
    stopFlag = 1;
    stopCheckCycle = ee.cycle;
}
