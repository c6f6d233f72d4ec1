// The host work that one guest instruction may set off. A store that starts
// a DMA transfer (with the VIF1 commands and VU1 programs it carries), an
// interrupt delivery (with the handlers it steps) and an IOP call all run
// inside a single guest instruction. They draw on one budget, counted in
// host work units, so that no guest instruction holds the host for long.
// When the budget is spent, or the run is stopped or reaches its cycle
// limit meanwhile, the work in progress is cut and reported.
//
// Nothing here is looked at per instruction: the budget is refilled when
// the outermost piece of work opens its scope, and charged by the loops of
// that work.
#pragma once

#include "core/diagnostics.h"
#include "core/types.h"

// What one unit stands for, roughly the same host time each: one EE
// instruction of an interrupt handler, one VU1 instruction pair, one DMA tag
// or quadword moved, one command of the VIF1 stream. A quadword the GS reads
// costs a few (kGsUnitsPerQuadword); what it draws is bounded by the
// scissor, and the GIF hands it over in short slices with stops between.
//
// The budget is 32 million units, a fraction of a second of host time. Real
// programs stay far below it: a whole frame's display lists move a few
// megabytes (a few hundred thousand quadwords), a VU1 program runs a few
// thousand pairs per call, and a handler returns within a few thousand
// instructions.
inline constexpr u64 kWorkBudgetUnits = u64{1} << 25;

// Opened around each piece of work that a guest instruction can start.
// The outermost scope refills the budget; nested ones share it.
class WorkScope {
public:
    WorkScope();
    ~WorkScope();
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;
};

// Takes `units` from the budget. False once the budget is spent or the run
// has to stop: the caller then cuts its work, and the cut is reported under
// `category`, with `what` naming the work (a guest error when the budget
// was spent, information when the run is stopping). Outside every scope
// nothing is measured and the charge is always granted.
bool workCharge(u64 units, LogCategory category, const char* what);

// True once the work of the current guest instruction has been cut.
bool workCut();

// The run's cycle limit, which work running EE instructions (interrupt
// handlers) honours too: the limit is reached when ee.cycle - start >= length.
// Set by the run loop; cleared when the run ends.
void workSetCycleLimit(u32 start, u32 length);
void workClearCycleLimit();

// The host's requests to stop (Escape, closing the GS window) arrive as key
// events that each vertical blank takes. Work that can hold the host for
// long inside one guest instruction (the GS drawing a long GIF transfer)
// calls workPollStop between its pieces: about once per kStopPollMilliseconds
// of host processor time that the work spends, it hands the host's next key
// event to `poll` (set by the machine), so that a stop can be raised in the
// middle of the work and the next charge cuts it. The clocks are read only
// there.
//
// The GS's share of the work is counted in quadwords, but what one quadword
// draws can take the software GS a tenth of a second, so the units alone do
// not bound the host time. The polls also measure it: once the work of one
// guest instruction has spent kHostTimeLimitMilliseconds of processor time
// after the first poll's interval, it is cut as a spent budget is; with the
// GIF's short slices no instruction holds the host for a second. Real
// programs never come near: that is many frames' drawing in one transfer.
inline constexpr u32 kStopPollMilliseconds = 50;
inline constexpr u32 kHostTimeLimitMilliseconds = 250;
using StopPoll = void (*)();
void workSetStopPoll(StopPoll poll);
void workPollStop();

// Raises the run's stop flag once the work in progress has ended, at once
// when there is none: a stop that must not cut anything (a front end that
// pauses the run to save the machine whole).
void workStopWhenDone();

// The clocks workPollStop reads, in nanoseconds: the coarse wall clock, or
// the thread's processor time. Tests set their own; nullptr restores the
// host's.
using HostClock = u64 (*)(bool processorTime);
void workSetHostClock(HostClock clock);

// Tests and fuzzing lower the budget to cut work quickly; 0 restores the
// default.
void workSetBudget(u64 units);
