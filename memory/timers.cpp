#include "memory/timers.h"

#include <algorithm>
#include <array>

#include "core/ee_state.h"
#include "core/emulation.h"
#include "iop/pad_service.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "memory/hw_registers.h"
#include "plugins/plugin_host.h"

TimerRecord timers[5];
u32 eventBase;
u32 eventDelta;
u32 csrVblankCount;
u64 vblankCount;
u64 vblankStopAt = kVblankNever;

namespace {

constexpr u32 kTimerBlockStride = 0x800;
constexpr u32 kTimerRegisterMask = 0x7FF;
constexpr u32 kCountOffset = 0x00;
constexpr u32 kModeOffset = 0x10;
constexpr u32 kCompareOffset = 0x20;
constexpr u32 kHoldOffset = 0x30;
constexpr u32 kNoEvent = 0xFFFFFFFF;

// Cycles per count step by the clock-select field (bits 0-1) of Tn_MODE:
// bus clock / 1, / 16, / 256 and the horizontal blank, in EE cycles.
constexpr std::array<u32, 4> kRateByClockSelect = {2, 32, 512, kFrameCycles / 256};

TimerRecord& vblankRecord() { return timers[kVblankRecord]; }

u32 storedCount(const TimerRecord& timer) { return hostLoad<u32>(timer.count); }

// Cycles from now until the record falls due; a record already overdue
// wraps to a huge value, so it never decides the next event.
u32 cyclesUntilDue(const TimerRecord& record) { return record.start + record.interval - ee.cycle; }

// Cycles for the count to run from its stored value up to 0xFFFF.
u32 cyclesToOverflow(const TimerRecord& timer) { return ((0xFFFF - storedCount(timer)) * timer.rate) >> 2; }

void reschedule() {
    eventBase = ee.cycle;
    eventDelta = kNoEvent;
    for (const TimerRecord& record : timers) eventDelta = std::min(eventDelta, cyclesUntilDue(record));
}

// A timer that falls due only starts a new interval: nothing in the machine
// waits on a timer interrupt.
void timersFallDue() {
    for (unsigned n = 0; n < kTimerCount; ++n) {
        TimerRecord& timer = timers[n];
        if (ee.cycle - timer.start < timer.interval) continue;
        timer.start = ee.cycle;
        timer.interval = cyclesToOverflow(timer);
    }
}

void raiseIntcBits(u32 bits) {
    u8* intcStat = memory.hw + kHwIntcStat;
    hostStore<u32>(intcStat, hostLoad<u32>(intcStat) | bits);
}

// The vertical blank shared by the timed and the CSR-triggered kind; each
// caller sets the frame length it wants.
void performVblank() {
    gsVsync();
    handleKeyEvent(padKeyEvent(padServiceOpened ? PadSlot::Pad1 : PadSlot::Pad2));
    vblankRecord().start = ee.cycle;
    vblankRecord().flag = 1;
    raiseIntcBits(kIntcVblankBits);
    pollControllers();
    ++vblankCount;
    if (vblankCount >= vblankStopAt) stopFlag = 1;
}

}  // namespace

void timersInit() {
    for (TimerRecord& record : timers) record = TimerRecord{};
    for (unsigned n = 0; n < kTimerCount; ++n) {
        u8* block = memory.hw + kTimerBlockStride * n;
        timers[n].count = block + kCountOffset;
        timers[n].mode = block + kModeOffset;
        timers[n].compare = block + kCompareOffset;
        timers[n].hold = block + kHoldOffset;
        timers[n].rate = 1;
    }
    csrVblankCount = 0;
    resetPadService();
    vblankRecord().flag = 1;
    vblankRecord().interval = kFrameCycles;
    vblankRecord().rate = kFrameCycles;
    vblankCount = 0;
    vblankStopAt = kVblankNever;
    reschedule();
}

void schedulerRun() {
    timersFallDue();
    if (ee.cycle - vblankRecord().start >= vblankRecord().interval) {
        vblankRecord().interval = kFrameCycles;
        performVblank();
    }
    reschedule();
}

void csrVblank() {
    if (csrVblankCount >= kCsrVblanksBeforeStretch) {
        vblankRecord().interval = kStretchedFrames * kFrameCycles;
    } else {
        ++csrVblankCount;
    }
    performVblank();
    reschedule();
}

void handleKeyEvent(keyEvent* event) {
    if (event == nullptr) return;
    if (event->event == KEYRELEASE) {
        gsKeyEvent(event);
    } else if (event->event == KEYPRESS) {
        if (event->key == kKeyEscape) {
            stopFlag = 1;
        } else if (event->key == kKeyF8) {
            gsMakeSnapshot(kSnapshotDirectory);
        } else {
            gsKeyEvent(event);
        }
    }
}

u32 timerCountRead(u32 offset) {
    const TimerRecord& timer = timers[(offset >> 11) & 3];
    return (storedCount(timer) + (ee.cycle / timer.rate) * 4) & 0xFFFF;
}

// Only the four registers of a timer change its schedule; the rest of its
// 2 KB block is plain storage.
void timerRegisterWritten(u32 value, u32 offset) {
    const u32 reg = offset & kTimerRegisterMask;
    if (reg != kCountOffset && reg != kModeOffset && reg != kCompareOffset && reg != kHoldOffset) return;
    TimerRecord& timer = timers[(offset >> 11) & 3];
    if (reg == kModeOffset) timer.rate = kRateByClockSelect[value & 3];
    timer.interval = cyclesToOverflow(timer);
    for (const TimerRecord& record : timers) eventDelta = std::min(eventDelta, cyclesUntilDue(record));
}
