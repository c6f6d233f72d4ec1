// Timer interrupts: the cycle at which each compare and overflow event is
// raised, checked against a step-by-step walk of the live count; the
// write-1-to-clear flags; and a guest program with handlers on every timer
// beside the vertical blank. (A clock kept from timer 1 overflows, as the
// SDK keeps one, is run by the SDK start-up test.)
#include <gtest/gtest.h>

#include <vector>

#include "core/ee_state.h"
#include "devices/hw_registers.h"
#include "devices/timers.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"

namespace {

constexpr u32 kRates[4] = {2, 32, 512, 600};  // cycles a step by clock select

u32 timerAddress(u32 n, TimerRegister reg) { return kHwStart + timerRegisterOffset(n, reg); }
u32 intcStat() { return hostLoad<u32>(memory.hw + kHwIntcStat); }
u32 timerBit(u32 n) { return 1u << (9 + n); }

struct TimerSetup {
    const char* label;
    u32 timer;
    u32 mode;  // clock select and enables
    u32 stored;
    u32 compare;
    u32 armCycle;
};

// The flags a timer raises at `cycle`, from its live count one cycle
// before and at that cycle.
u32 flagsRaisedAt(const TimerSetup& setup, u32 cycle) {
    const u32 rate = kRates[setup.mode & 3];
    auto live = [&](u32 c) { return (setup.stored + (c / rate) * 4) & 0xFFFF; };
    const u32 before = live(cycle - 1);
    const u32 now = live(cycle);
    if (before == now) return 0;
    const bool wrapped = now < before;
    const bool passedCompare = wrapped ? (setup.compare > before || setup.compare <= now)
                                       : (before < setup.compare && setup.compare <= now);
    u32 flags = 0;
    if ((setup.mode & kTimerModeOverflowEnable) && wrapped) flags |= kTimerModeOverflowFlag;
    if ((setup.mode & kTimerModeCompareEnable) && passedCompare) flags |= kTimerModeCompareFlag;
    return flags;
}

struct Event {
    u32 cycle;
    u32 flags;
};

std::vector<Event> walkEvents(const TimerSetup& setup, unsigned wanted) {
    std::vector<Event> events;
    for (u32 cycle = setup.armCycle + 1; events.size() < wanted && cycle < 40'000'000; ++cycle) {
        if (const u32 flags = flagsRaisedAt(setup, cycle)) events.push_back({cycle, flags});
    }
    return events;
}

void arm(const TimerSetup& setup) {
    resetMachine();
    ee.cycle = setup.armCycle;
    schedulerRun();  // the writes must bring its next run forward to their event
    memWrite32(setup.stored, timerAddress(setup.timer, TimerRegister::Count));
    memWrite32(setup.compare, timerAddress(setup.timer, TimerRegister::Compare));
    memWrite32(setup.mode, timerAddress(setup.timer, TimerRegister::Mode));
}

constexpr u32 kCmpe = kTimerModeCompareEnable;
constexpr u32 kOvfe = kTimerModeOverflowEnable;

const TimerSetup kSetups[] = {
    {"overflow at 2 cycles a step", 0, 0 | kOvfe, 0, 0, 1000},
    {"compare between two counts", 1, 1 | kCmpe, 0, 0x1002, 5000},
    {"overflow before compare", 2, 2 | kCmpe | kOvfe, 0xFF00, 0x0010, 7000},
    {"compare standing on the count waits a full turn", 3, 3 | kCmpe, 0x0400, 0x0400, 0},
    {"both events on one step", 1, 1 | kCmpe | kOvfe, 0x8000, 0, 100},
    {"timer 0 compare", 0, 2 | kCmpe, 0, 0x0200, 3},
    {"timer 3 overflow from a stored count near the top", 3, 3 | kOvfe, 0xFF00, 0x1234, 2000},
    {"timer 2 overflow only, compare ignored", 2, 0 | kOvfe, 0x7000, 0x7100, 50},
    {"a compare due before any other event brings the scheduler forward", 1, 0 | kCmpe, 0, 0x0400, 100},
};

// Each event is raised by the scheduler run at its cycle and not by one a
// cycle earlier; the next event is then scheduled from there.
TEST(TimerInterrupts, EachEventIsRaisedAtTheCycleTheLiveCountReachesIt) {
    for (const TimerSetup& setup : kSetups) {
        SCOPED_TRACE(setup.label);
        arm(setup);
        const std::vector<Event> events = walkEvents(setup, 2);
        ASSERT_EQ(events.size(), 2u);
        for (const Event& event : events) {
            const TimerRecord& timer = timers[setup.timer];
            EXPECT_EQ(timer.start + timer.interval, event.cycle) << "scheduled";
            EXPECT_LE(eventDelta, event.cycle - eventBase);
            ee.cycle = event.cycle - 1;
            schedulerRun();
            EXPECT_EQ(intcStat() & timerBit(setup.timer), 0u) << "one cycle early";
            EXPECT_EQ(memRead32(timerAddress(setup.timer, TimerRegister::Mode)) & kTimerModeFlags, 0u);
            ee.cycle = event.cycle;
            schedulerRun();
            EXPECT_EQ(intcStat() & timerBit(setup.timer), timerBit(setup.timer)) << "at " << event.cycle;
            const u32 mode = memRead32(timerAddress(setup.timer, TimerRegister::Mode));
            EXPECT_EQ(mode & kTimerModeFlags, event.flags) << "at " << event.cycle;
            memWrite32(mode, timerAddress(setup.timer, TimerRegister::Mode));  // acknowledge
            hostStore<u32>(memory.hw + kHwIntcStat, 0);
        }
    }
}

// A count read between scheduler runs already shows the event's flag.
TEST(TimerInterrupts, AReadPastAnEventSeesItsFlagBeforeTheSchedulerRuns) {
    const TimerSetup setup = kSetups[0];
    arm(setup);
    const Event event = walkEvents(setup, 1).at(0);
    ee.cycle = event.cycle + 1;
    EXPECT_EQ(memRead32(timerAddress(0, TimerRegister::Count)), 0u) << "the count has wrapped";
    EXPECT_EQ(memRead32(timerAddress(0, TimerRegister::Mode)) & kTimerModeFlags, kTimerModeOverflowFlag);
    EXPECT_EQ(intcStat() & timerBit(0), timerBit(0));
}

TEST(TimerInterrupts, AFlagIsClearedByWritingOneAndRaisesNothingMoreUntilThen) {
    // Timer 2 at 2 cycles a step, compare 0x8000 and overflow: the compare
    // event comes at cycle 0x4000, overflows every 0x8000 cycles.
    const TimerSetup setup = {"", 2, 0 | kCmpe | kOvfe, 0, 0x8000, 0};
    arm(setup);
    const u32 modeAddress = timerAddress(2, TimerRegister::Mode);
    ee.cycle = 0x4000;
    schedulerRun();
    ASSERT_EQ(memRead32(modeAddress) & kTimerModeFlags, kTimerModeCompareFlag);
    ee.cycle = 0x8000;
    schedulerRun();
    ASSERT_EQ(memRead32(modeAddress) & kTimerModeFlags, kTimerModeFlags);

    memWrite32(kCmpe | kOvfe, modeAddress);
    EXPECT_EQ(memRead32(modeAddress), kCmpe | kOvfe | kTimerModeFlags) << "zeros leave the flags";
    memWrite32(kCmpe | kOvfe | kTimerModeOverflowFlag, modeAddress);
    EXPECT_EQ(memRead32(modeAddress), kCmpe | kOvfe | kTimerModeCompareFlag) << "a one clears its flag only";

    // The compare flag is still up: its next event raises no interrupt; the
    // cleared overflow flag's next one does.
    hostStore<u32>(memory.hw + kHwIntcStat, 0);
    ee.cycle = 0xC000;
    schedulerRun();
    EXPECT_EQ(intcStat(), 0u);
    ee.cycle = 0x10000;
    schedulerRun();
    EXPECT_EQ(intcStat(), timerBit(2));

    // Enables off: the timer is back to counting only.
    memWrite32(kTimerModeFlags, modeAddress);
    hostStore<u32>(memory.hw + kHwIntcStat, 0);
    ee.cycle = 0x20000;
    schedulerRun();
    EXPECT_EQ(memRead32(modeAddress), 0u);
    EXPECT_EQ(intcStat(), 0u);
}

struct LoggedCall {
    u32 cause;
    u32 count;
    u32 mode;
    bool operator==(const LoggedCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LoggedCall& call) {
    return out << "{cause " << call.cause << std::hex << ", count 0x" << call.count << ", mode 0x" << call.mode
               << std::dec << "}";
}

// timers_interrupts.c logs cause, live count and mode at each handler call.
TEST(TimerInterruptsGuest, HandlersOfAllTimersRunInCauseOrderAfterTheVerticalBlank) {
    ASSERT_TRUE(loadGuestProgram("timers_interrupts"));
    ASSERT_EQ(runGuest(20'000'000), StopReason::IdleLoop);
    std::vector<LoggedCall> log;
    for (u32 i = 0; i < 6; ++i) {
        const u32 entry = guestSymbol("log") + 12 * i;
        log.push_back({guestWord(entry), guestWord(entry + 4), guestWord(entry + 8)});
    }
    const u32 line = 3;          // clock select: a horizontal line a step
    const u32 bus256 = 2;        // clock select: 512 cycles a step
    const std::vector<LoggedCall> expected = {
        {2, 0, 0},
        {10, 1024, line | kCmpe | kTimerModeCompareFlag},
        {11, 1024, line | kCmpe | kTimerModeCompareFlag},
        {12, 0xF800, bus256 | kCmpe | kOvfe | kTimerModeCompareFlag},
        {9, 0, bus256 | kOvfe | kTimerModeOverflowFlag},
        {12, 0, bus256 | kCmpe | kOvfe | kTimerModeOverflowFlag},
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(guestWord(guestSymbol("calls")), 6u) << "no call after the last event";
    EXPECT_EQ(intcStat() & 0x1E00, 0u) << "every timer cause acknowledged";
}

}  // namespace
