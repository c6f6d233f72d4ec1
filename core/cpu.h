// The EE interpreter's two step operations. Time-dependent work (the event
// scheduler and interrupt delivery) happens only after the delay slot of a
// taken branch or jump.
#pragma once

#include "core/types.h"

using Handler = void (*)();

// Executes the instruction at the PC and counts it.
void cpuStep();

// Executes the delay-slot instruction of a taken branch or jump with the PC
// at its own address, counts it, then runs the scheduler and interrupt
// checks. Called only by the branch and jump handlers.
void cpuStepDelaySlot();

// The handler of every encoding without an operation of its own.
void opUnassigned();

// Reads the instruction word at a PC: the fetch uses the PC masked to the
// 32 MB of guest RAM, the aliasing that data accesses have, so it never
// reads outside the RAM block.
u32 fetchInstruction(u32 pc);
