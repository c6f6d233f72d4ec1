// The EE interpreter's two step operations. Time-dependent work (the event
// scheduler and interrupt delivery) happens only after the delay slot of a
// taken branch or jump.
#pragma once

#include <array>

#include "cop/cop0.h"
#include "core/ee_state.h"
#include "core/machine_calls.h"
#include "core/run_control.h"
#include "core/types.h"
#include "memory/bus.h"
#include "memory/host_access.h"

using Handler = void (*)();

extern const std::array<Handler, 64> primaryTable;
// The primary table as the delay slot of a taken branch sees it: every
// branch and jump there is a no-operation (see cpuStepDelaySlot).
extern const std::array<Handler, 64> delaySlotPrimaryTable;

// Reads the instruction word at a PC: the fetch uses the PC masked to the
// 32 MB of guest RAM, the aliasing that data accesses have, so it never
// reads outside the RAM block.
inline u32 fetchInstruction(const u8* ram, u32 pc) { return hostLoad<u32>(ram + (pc & kRamMask)); }
inline u32 fetchInstruction(u32 pc) { return fetchInstruction(memory.ram, pc); }

// Executes the instruction at the PC and counts it. Handlers write their
// destination without looking at it; the low 64 bits of GPR 0 are put back
// to zero after each instruction, and the handlers that write all 128 bits
// put back the upper half themselves, so GPR 0 always reads as zero.
//
// The PC is stored before the fetch and code after it. The fetch reads guest
// RAM through a byte pointer, which may alias the PC, so the compiler keeps
// the two stores apart. Stored side by side they are merged into one 8-byte
// store, and every handler's first load of code then waits for that wider
// store to retire instead of taking its value forwarded: a stall of several
// nanoseconds on every instruction.
//
// The run loop passes guest RAM's base, read once before it starts: the RAM
// block is allocated at initialisation and never moves while the machine
// runs, but the compiler cannot know that the handlers it calls leave
// memory.ram alone, and would read it again for every instruction.
inline void cpuStepIn(const u8* ram) {
    const u32 pc = ee.pc;
    ee.pc = pc + 4;
    ee.code = fetchInstruction(ram, pc);
    primaryTable[ee.code >> 26]();
    ee.gpr[0].d[0] = 0;
    ee.cycle += 1;
}

inline void cpuStep() { cpuStepIn(memory.ram); }

// Executes the delay-slot instruction of a taken branch or jump with the PC
// at its own address, counts it, runs the scheduler and interrupt checks,
// and moves the PC to the branch target. Interrupt handlers return to the
// delay slot; a thread that a handler readied takes over at the target.
// Called only by the branch and jump handlers.
inline void cpuStepDelaySlot(u32 target) {
    ee.code = fetchInstruction(ee.pc);
    // A branch in the delay slot of a taken branch would fetch itself again
    // as its own delay slot; it runs as a no-operation instead: the
    // delay-slot tables hold opUnassigned in the branches' and jumps' slots,
    // so the word needs no test of its own. The word 0 (SLL zero to zero,
    // the usual NOP in a delay slot) skips even the dispatch.
    if (ee.code != 0) {
        delaySlotPrimaryTable[ee.code >> 26]();
        ee.gpr[0].d[0] = 0;
    }
    ee.cycle += 1;
    if (ee.cycle - eventBase >= eventDelta) schedulerRun();
    // The PC still holds the delay slot's address.
    if (ee.pc == target + 4 && idleLoopStopsRun) [[unlikely]] noteIdleLoop(target);
    if ((cop0.r[kCop0Status] & (kStatusIE | kStatusEIE)) == (kStatusIE | kStatusEIE)) {
        deliverInterruptsAtBranch(target);
        return;
    }
    ee.pc = target;
}

// The handler of every encoding without an operation of its own.
void opUnassigned();
