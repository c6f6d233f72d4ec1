#include "core/cpu.h"

#include "cop/cop0.h"
#include "core/ee_state.h"
#include "core/tables.h"
#include "memory/interrupts.h"
#include "memory/timers.h"

EeCpuState ee;

void opUnassigned() {}

void cpuStepDelaySlot() {
    ee.code = fetchInstruction(ee.pc);
    // A branch in the delay slot of a taken branch would fetch itself again
    // as its own delay slot; it runs as a no-operation instead.
    if (!isBranchOrJump(ee.code)) {
        primaryTable[ee.code >> 26]();
        ee.gpr[0] = Reg128{};
    }
    ee.cycle += 1;
    if (ee.cycle - eventBase >= eventDelta) schedulerRun();
    if ((cop0.r[kCop0Status] & (kStatusIE | kStatusEIE)) == (kStatusIE | kStatusEIE)) deliverInterrupts();
}
