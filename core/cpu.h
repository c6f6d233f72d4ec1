// The EE interpreter's two step operations. Time-dependent work (the event
// scheduler and interrupt delivery) happens only after the delay slot of a
// taken branch or jump.
#pragma once

#include <array>

#include "core/ee_state.h"
#include "core/types.h"
#include "memory/bus.h"
#include "memory/host_access.h"

using Handler = void (*)();

extern const std::array<Handler, 64> primaryTable;

// Reads the instruction word at a PC: the fetch uses the PC masked to the
// 32 MB of guest RAM, the aliasing that data accesses have, so it never
// reads outside the RAM block.
inline u32 fetchInstruction(u32 pc) { return hostLoad<u32>(memory.ram + (pc & kRamMask)); }

// Executes the instruction at the PC and counts it. Handlers write their
// destination without looking at it; GPR 0 is put back to zero after each
// instruction, so it always reads as zero.
//
// The PC is stored before the fetch and code after it. The fetch reads guest
// RAM through a byte pointer, which may alias the PC, so the compiler keeps
// the two stores apart. Stored side by side they are merged into one 8-byte
// store, and every handler's first load of code then waits for that wider
// store to retire instead of taking its value forwarded: a stall of several
// nanoseconds on every instruction.
inline void cpuStep() {
    const u32 pc = ee.pc;
    ee.pc = pc + 4;
    ee.code = fetchInstruction(pc);
    primaryTable[ee.code >> 26]();
    ee.gpr[0] = Reg128{};
    ee.cycle += 1;
}

// Executes the delay-slot instruction of a taken branch or jump with the PC
// at its own address, counts it, then runs the scheduler and interrupt
// checks. Called only by the branch and jump handlers.
void cpuStepDelaySlot();

// The handler of every encoding without an operation of its own.
void opUnassigned();
