#include "devices/timers.h"

#include <algorithm>
#include <array>

#include "core/ee_state.h"
#include "devices/intc.h"
#include "memory/bus.h"
#include "memory/host_access.h"

TimerRecord timers[5];
u32 csrVblankCount;
u64 vblankCount;

namespace {

void nothing() {}
u32 noEvent() { return 0xFFFFFFFF; }

VblankHandler vblankHandler = {nothing, nothing};
TimedEventSource eventSource = {nothing, noEvent};

constexpr u32 kNoEvent = 0xFFFFFFFF;

// Cycles per count step by the clock-select field (bits 0-1) of Tn_MODE:
// bus clock / 1, / 16, / 256 and the horizontal blank, in EE cycles.
constexpr std::array<u32, 4> kRateByClockSelect = {2, 32, 512, kFrameCycles / 256};

TimerRecord& vblankRecord() { return timers[kVblankRecord]; }

u32 storedCount(const TimerRecord& timer) { return hostLoad<u32>(timer.count); }
u32 storedMode(const TimerRecord& timer) { return hostLoad<u32>(timer.mode); }
u32 compareValue(const TimerRecord& timer) { return hostLoad<u32>(timer.compare) & 0xFFFF; }

bool interruptsEnabled(const TimerRecord& timer) {
    return (storedMode(timer) & (kTimerModeCompareEnable | kTimerModeOverflowEnable)) != 0;
}

// Cycles from now until the record falls due; a record already overdue
// wraps to a huge value, so it never decides the next event.
u32 cyclesUntilDue(const TimerRecord& record) { return record.start + record.interval - ee.cycle; }

// Cycles for the count to run from its stored value up to 0xFFFF.
u32 cyclesToOverflow(const TimerRecord& timer) { return ((0xFFFF - storedCount(timer)) * timer.rate) >> 2; }

// The live count moves by four at every step of `rate` cycles, counted from
// cycle 0; these helpers follow it as though it never wrapped at 16 bits.
constexpr u64 kCountWrap = 0x10000;
constexpr u32 kCountPerStep = 4;
constexpr u32 kOverflowTarget = 0;  // wrapping past 0xFFFF reaches 0
constexpr u64 kCycleCounterWrap = u64{1} << 32;

u64 unwrappedCount(const TimerRecord& timer, u32 step) {
    return (storedCount(timer) & 0xFFFF) + u64{kCountPerStep} * step;
}

// Whether the count reaches `target` (modulo 0x10000) at a step after
// `fromStep`, up to and including `toStep`. The count moves in fours, so
// "reaches" means passes from below to at or above.
bool countReaches(const TimerRecord& timer, u32 target, u32 fromStep, u32 toStep) {
    const u64 from = unwrappedCount(timer, fromStep) + kCountWrap - target;
    const u64 to = unwrappedCount(timer, toStep) + kCountWrap - target;
    return to / kCountWrap > from / kCountWrap;
}

// Steps after `step` until the count reaches `target`; a count standing on
// the target now reaches it again only after a full turn.
u32 stepsUntilReached(const TimerRecord& timer, u32 target, u32 step) {
    const u32 now = static_cast<u32>(unwrappedCount(timer, step) % kCountWrap);
    u32 distance = static_cast<u32>((target + kCountWrap - now) % kCountWrap);
    if (distance == 0) distance = kCountWrap;
    return (distance + kCountPerStep - 1) / kCountPerStep;
}

// Sets the flags of the enabled events that the count reached since the
// timer was last looked at (its start); a flag going up raises the
// timer's INTC cause. A flag the guest has not yet cleared raises nothing
// more.
void raiseReachedEvents(unsigned n) {
    TimerRecord& timer = timers[n];
    const u32 fromStep = timer.start / timer.rate;
    const u32 toStep = ee.cycle / timer.rate;
    if (toStep <= fromStep) return;  // no step since, or the cycle counter wrapped
    const u32 mode = storedMode(timer);
    u32 reached = 0;
    if ((mode & kTimerModeCompareEnable) && countReaches(timer, compareValue(timer), fromStep, toStep)) {
        reached |= kTimerModeCompareFlag;
    }
    if ((mode & kTimerModeOverflowEnable) && countReaches(timer, kOverflowTarget, fromStep, toStep)) {
        reached |= kTimerModeOverflowFlag;
    }
    hostStore<u32>(timer.mode, mode | reached);
    if ((reached & ~mode) != 0) intcRaise(1u << (kIntcTimer0Cause + n));
}

// Starts the timer's interval now and ends it at the first step at which
// the count reaches an enabled event. An interval that would run past the
// wrap of the 32-bit cycle counter ends at the wrap instead, where the
// live count jumps anyway, and is worked out afresh there.
void armReachedEvents(TimerRecord& timer) {
    const u32 mode = storedMode(timer);
    const u32 step = ee.cycle / timer.rate;
    u32 steps = ~0u;
    if (mode & kTimerModeCompareEnable) steps = std::min(steps, stepsUntilReached(timer, compareValue(timer), step));
    if (mode & kTimerModeOverflowEnable) steps = std::min(steps, stepsUntilReached(timer, kOverflowTarget, step));
    const u64 dueCycle = std::min((u64{step} + steps) * timer.rate, kCycleCounterWrap);
    timer.start = ee.cycle;
    timer.interval = static_cast<u32>(dueCycle - ee.cycle);
}

// Brings a timer with interrupts up to the present between scheduler runs.
// Its next event can only move later, so the schedule stays as it is: the
// scheduler finds nothing due at the old moment and looks again.
void catchUpEvents(unsigned n) {
    TimerRecord& timer = timers[n];
    if (!interruptsEnabled(timer)) return;
    raiseReachedEvents(n);
    armReachedEvents(timer);
}

void reschedule() {
    eventBase = ee.cycle;
    eventDelta = kNoEvent;
    for (const TimerRecord& record : timers) eventDelta = std::min(eventDelta, cyclesUntilDue(record));
    eventDelta = std::min(eventDelta, eventSource.cyclesUntilNext());
}

// A timer without interrupts only starts a new interval when it falls due;
// one with interrupts raises what its count reached and looks ahead again.
void timersFallDue() {
    for (unsigned n = 0; n < kTimerCount; ++n) {
        TimerRecord& timer = timers[n];
        if (ee.cycle - timer.start < timer.interval) continue;
        if (interruptsEnabled(timer)) {
            catchUpEvents(n);
        } else {
            timer.start = ee.cycle;
            timer.interval = cyclesToOverflow(timer);
        }
    }
}

// The vertical blank shared by the timed and the CSR-triggered kind; each
// caller sets the frame length it wants.
void performVblank() {
    vblankHandler.beforeInterrupt();
    vblankRecord().start = ee.cycle;
    vblankRecord().flag = 1;
    intcRaise(kIntcVblankBits);
    ++vblankCount;
    vblankHandler.afterInterrupt();
}

}  // namespace

void timersInit() {
    for (TimerRecord& record : timers) record = TimerRecord{};
    for (unsigned n = 0; n < kTimerCount; ++n) {
        timers[n].count = memory.hw + timerRegisterOffset(n, TimerRegister::Count);
        timers[n].mode = memory.hw + timerRegisterOffset(n, TimerRegister::Mode);
        timers[n].compare = memory.hw + timerRegisterOffset(n, TimerRegister::Compare);
        timers[n].hold = memory.hw + timerRegisterOffset(n, TimerRegister::Hold);
        timers[n].rate = 1;
    }
    csrVblankCount = 0;
    vblankRecord().flag = 1;
    vblankRecord().interval = kFrameCycles;
    vblankRecord().rate = kFrameCycles;
    vblankCount = 0;
    reschedule();
}

void timersSetVblankHandler(const VblankHandler& handler) {
    vblankHandler = {handler.beforeInterrupt ? handler.beforeInterrupt : nothing,
                     handler.afterInterrupt ? handler.afterInterrupt : nothing};
}

void timersSetEventSource(const TimedEventSource& source) {
    eventSource = {source.fallDue ? source.fallDue : nothing,
                   source.cyclesUntilNext ? source.cyclesUntilNext : noEvent};
}

void schedulerRun() {
    timersFallDue();
    eventSource.fallDue();
    if (ee.cycle - vblankRecord().start >= vblankRecord().interval) {
        vblankRecord().interval = kFrameCycles;
        performVblank();
    }
    reschedule();
}

void scheduleEventWithin(u32 cycles) { eventDelta = std::min(eventDelta, ee.cycle - eventBase + cycles); }

void csrVblank() {
    if (csrVblankCount >= kCsrVblanksBeforeStretch) {
        vblankRecord().interval = kStretchedFrames * kFrameCycles;
    } else {
        ++csrVblankCount;
    }
    performVblank();
    reschedule();
}

bool timersTakeCsrVblank() {
    if (!vblankRecord().flag) return false;
    vblankRecord().flag = 0;
    csrVblank();
    return true;
}

// A read of a timer with interrupts first raises what its count has reached
// by now, so the guest never sees a count past an event whose flag is not
// yet up.
u32 timerCountRead(const HwRegister& reg) {
    const unsigned n = reg.unit;
    catchUpEvents(n);
    const TimerRecord& timer = timers[n];
    return (storedCount(timer) + (ee.cycle / timer.rate) * 4) & 0xFFFF;
}

u32 timerModeRead(const HwRegister& reg) {
    const unsigned n = reg.unit;
    catchUpEvents(n);
    return storedMode(timers[n]);
}

// Only the four registers of a timer change its schedule; the rest of its
// 2 KB block is plain storage, which the bus keeps without asking. Events a
// timer with interrupts reached before the write are raised first, under the
// settings they were reached with.
void timerRegisterWritten(const HwRegister& reg, u32 value) {
    u8* stored = memory.hw + reg.offset;
    const unsigned n = reg.unit;
    TimerRecord& timer = timers[n];
    if (interruptsEnabled(timer)) raiseReachedEvents(n);
    if (reg.access == RegisterAccess::TimerMode) {
        // A 1 written to a flag clears it; a 0 leaves it as it is.
        value = (value & ~kTimerModeFlags) | (hostLoad<u32>(stored) & kTimerModeFlags & ~value);
        timer.rate = kRateByClockSelect[value & 3];
    }
    hostStore<u32>(stored, value);
    if (interruptsEnabled(timer)) {
        armReachedEvents(timer);
    } else {
        timer.interval = cyclesToOverflow(timer);
    }
    for (const TimerRecord& record : timers) eventDelta = std::min(eventDelta, cyclesUntilDue(record));
}
