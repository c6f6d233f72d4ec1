// Branches and jumps. A taken one runs its delay slot itself through
// cpuStepDelaySlot, which then moves the PC to the target computed before.
#pragma once

#include "core/cpu.h"
#include "core/ee_state.h"

void opBeq();
void opBne();
void opBlez();
void opBgtz();
void opBeql();
void opBnel();
void opBlezl();
void opBgtzl();

// REGIMM table.
void opBltz();
void opBgez();
void opBltzl();
void opBgezl();
void opBltzal();
void opBgezal();
void opBltzall();
void opBgezall();

void opJ();
void opJal();
void opJr();
void opJalr();

// Shared by every branch family (the COP1 branches included). Inline, so
// that each branch handler tests its condition and takes the branch in one
// body: a branch ends most guest loops.

// While a branch runs, pc holds the delay-slot address.
inline u32 branchTarget() { return ee.pc + (static_cast<u32>(fieldSimm()) << 2); }

inline void branchIf(bool taken) {
    if (taken) cpuStepDelaySlot(branchTarget());
}

// A likely branch that is not taken skips its delay slot entirely.
inline void branchLikelyIf(bool taken) {
    if (taken) {
        cpuStepDelaySlot(branchTarget());
    } else {
        ee.pc += 4;
    }
}
