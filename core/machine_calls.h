// The calls the EE core makes to the layers above it. The delay-slot step
// of a taken branch runs the events that have fallen due and delivers
// interrupts; SYSCALL enters the kernel. The upper layers define these
// functions and the linker joins them to the core, so the interpreter's hot
// path keeps plain direct calls while the core includes nothing above it.
#pragma once

#include "core/types.h"

// The cycle of the next event: the delay-slot step calls schedulerRun once
// ee.cycle - eventBase >= eventDelta. The timers set both when they work out
// the next event; the kernel's alarms bring it closer.
extern u32 eventBase;
extern u32 eventDelta;

// Runs the timers' and the vertical blank's events that have fallen due and
// the kernel's alarms, and works out the next event (the timers).
void schedulerRun();

// The machine's interrupt delivery: runs the guest handlers of the pending
// interrupts (the devices' causes, the kernel's alarms). The kernel starts
// it too: _EnableIntc, and idling that has reached an event.
void deliverInterrupts();

// The delivery after the delay slot of a taken branch: the handlers return
// to the delay slot, then the PC moves to the branch target, where a thread
// that a handler readied takes over: one call on the hot path for the whole.
void deliverInterruptsAtBranch(u32 target);

// The SYSCALL instruction's handler (the kernel's system calls).
void syscallDispatch();
