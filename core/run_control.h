// What decides whether the machine runs: a program loaded, and the run's
// stop flag with the cycle at which the run loop next looks at it. The ELF
// loader and the disc boot load programs; every layer that can end a run
// (the vertical blank, the kernel, the work budget, the front ends) raises
// the flag here; the machine's run loop reads both.
#pragma once

#include "core/types.h"

// A program has been loaded and the PC set; 0 or 1.
extern u32 programLoaded;

// Ends the run loop after the current step; 0 or 1.
extern u32 stopFlag;

// The cycle at which the run loop next looks at its chunk's length and the
// stop flag: the chunk's end, or the present cycle once raiseStopFlag has
// been called. The loop compares the cycle count with this one number per
// step instead of testing the length and the flag each time; the comparison
// is of the signed difference, as the cycle count wraps. Within a run the
// cycle count only moves forward (steps, idling), so a raised flag is seen
// after the step that raised it.
extern u32 stopCheckCycle;

// Raises the stop flag from inside a step: the run ends after the
// instruction during which it was raised has completed. Code that stops a
// run raises the flag through this, never by writing stopFlag, so that the
// run loop, which tests one step count per step, learns of it at once.
void raiseStopFlag();

// An idle loop is a taken branch or jump whose target is its own address.
// A run that stops at one sets this for its length. The delay-slot step
// notes each such branch, so that the run loop need not compare the PC
// before and after every step: it learns of the idle loop when it next
// looks at the stop flag, after the step of the branch.
extern bool idleLoopStopsRun;

// Called by the delay-slot step of a taken branch or jump to its own
// address while idleLoopStopsRun is set.
void noteIdleLoop(u32 branchAddress);

// True once per noted idle loop, when the PC is still at that branch: a
// branch noted inside an interrupt handler, or one after which a handler
// switched threads, is not where the interrupted program idles.
bool takeIdleLoop();
