// Interrupt delivery, run as guest code: handlers registered through the
// kernel for INTC causes and DMA channels, what they see and leave behind,
// the -1 stop, _EnableIntc's delivery at once, and handlers that never return.
#include <gtest/gtest.h>

#include <vector>

#include "cop/cop0.h"
#include "core/ee_state.h"
#include "core/work_budget.h"
#include "devices/hw_registers.h"
#include "devices/timers.h"
#include "machine/emulation.h"
#include "machine/interrupts.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"

namespace {

// interrupts_log.c logs each call as 0x10 + cause (cause 2's handler),
// 0x20 + cause (cause 3's) or 0x40 + channel.
std::vector<u32> handlerLog() {
    std::vector<u32> log;
    for (u32 i = 0; i < 6; ++i) log.push_back(guestWord(guestSymbol("log") + 4 * i));
    return log;
}

u32 hwRegister(u32 offset) { return hostLoad<u32>(memory.hw + offset); }

StopReason runVblanks(u64 count) { return emuRunWithLimits({.maxCycles = 50'000'000, .maxVblanks = count}); }

// Only cause 2 is unmasked; cause 3's handler runs all the same.
TEST(InterruptDelivery, AVerticalBlankRunsEveryPendingCauseWithAHandlerInOrder) {
    ASSERT_TRUE(loadGuestProgram("interrupts_vblank"));
    ASSERT_EQ(runVblanks(1), StopReason::MaxVblanks);
    EXPECT_EQ(guestWord(guestSymbol("calls")), 2u) << "the stop raised by this vertical blank lets its handlers run";
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(handlerLog(), (std::vector<u32>{0x12, 0x23, 0x12, 0x23, 0x12, 0x23}));
    EXPECT_EQ(vblankCount, 3u);
    EXPECT_EQ(hwRegister(kHwIntcStat) & kIntcVblankBits, 0u) << "both causes acknowledged";
}

TEST(InterruptDelivery, HandlersSeeTheirCauseAndReturnAddressAndLeaveNoGprBehind) {
    ASSERT_TRUE(loadGuestProgram("interrupts_registers"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const u32 seen = guestSymbol("seen");
    const u32 after = guestSymbol("after");
    const u32 slot = guestSymbol("interruptedSlot");
    EXPECT_EQ(guestWord(seen + 0), 2u) << "a0";
    EXPECT_EQ(guestWord(seen + 4), slot) << "ra: the delay slot of the interrupted branch";
    EXPECT_EQ(guestWord(seen + 8) & (kStatusIE | kStatusEIE), kStatusEIE) << "IE clear while the handler runs";
    EXPECT_EQ(guestWord(seen + 12), 0x48u) << "Cause";
    EXPECT_EQ(guestWord(seen + 16), slot) << "EPC";
    EXPECT_EQ(guestDouble(after + 0), 0x00005A5A00001234ull) << "s0";
    EXPECT_EQ(guestDouble(after + 8), 77u) << "t0";
    EXPECT_EQ(guestDouble(after + 16), 3u) << "v1";
    EXPECT_EQ(guestDouble(after + 24), 0u) << "change of sp";
    EXPECT_EQ(guestDouble(after + 32), 0x4C4Fu) << "LO is not saved: the handler's value stays";
    EXPECT_EQ(guestWord(after + 40) & (kStatusIE | kStatusEIE), kStatusIE | kStatusEIE) << "IE set again";
}

// Causes 2 and 3 unmasked, D_STAT bits 0 and 1 pending: the -1 of the first
// call ends the INTC pass before cause 3 and the DMAC pass after channel 0;
// the next taken branch delivers the rest, before the next vertical blank.
TEST(InterruptDelivery, AHandlerReturningMinusOneLeavesTheRestForTheNextDelivery) {
    ASSERT_TRUE(loadGuestProgram("interrupts_stop"));
    hostStore<u32>(memory.hw + kHwDStat, 0x3);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(handlerLog(), (std::vector<u32>{0x12, 0x40, 0x23, 0x41, 0x12, 0x23}));
    EXPECT_EQ(hwRegister(kHwDStat) & 0x3FF, 0u);
}

TEST(InterruptDelivery, EnableIntcDeliversAPendingCauseAtOnceAndAcknowledgesEveryChannel) {
    ASSERT_TRUE(loadGuestProgram("interrupts_enable"));
    hostStore<u32>(memory.hw + kHwDStat, 0x20);  // channel 5, with no handler
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    // Before _EnableIntc: no call, channel 5 pending. _EnableIntc returns 1
    // after its handler ran, the channel acknowledged; cause 3 has no
    // handler and stays pending.
    const u32 expected[] = {0, 0x20, 1, 1, 0, 0x8};
    for (u32 i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(guestWord(guestSymbol("results") + 4 * i), expected[i]) << "result " << i;
    }
}

// The handler never returns; once it is given up, the interrupted loop ends.
// It is given up when the run stops inside it (a vertical-blank limit, the
// run's cycle limit) or when its guest instruction's work budget is spent.
TEST(InterruptDelivery, AHandlerIsAbandonedWhenTheRunStopsOrItsWorkBudgetIsSpent) {
    ASSERT_TRUE(loadGuestProgram("interrupts_runaway"));
    ASSERT_EQ(runVblanks(2), StopReason::MaxVblanks);
    EXPECT_EQ(guestWord(guestSymbol("entered")), 2u);
    EXPECT_LT(ee.cycle, 3 * kFrameCycles) << "the second vertical blank, inside the handler, ended it";
    EXPECT_EQ(cop0.r[kCop0Status] & kStatusIE, kStatusIE);
    EXPECT_EQ(runGuest(), StopReason::IdleLoop);

    ASSERT_TRUE(loadGuestProgram("interrupts_runaway"));
    EXPECT_EQ(runGuest(2 * kFrameCycles), StopReason::MaxCycles);
    EXPECT_EQ(guestWord(guestSymbol("entered")), 2u);
    // A taken branch and its delay slot are one step: the limit may be passed by one.
    EXPECT_LE(ee.cycle, 2 * kFrameCycles + 1) << "the handler stopped at the run's cycle limit";

    constexpr u64 kSmallBudget = 1'000'000;
    workSetBudget(kSmallBudget);
    ASSERT_TRUE(loadGuestProgram("interrupts_runaway"));
    const StopReason reason = runGuest(10 * kSmallBudget);
    workSetBudget(0);
    ASSERT_EQ(reason, StopReason::IdleLoop);
    // The handler's loop is a branch to itself: one unit per branch and its delay slot.
    EXPECT_GE(ee.cycle, 2 * kSmallBudget);
    EXPECT_LT(ee.cycle, 2 * kSmallBudget + 2 * kFrameCycles);
}

// Unmasking its own cause, or setting IE, inside a handler used to start a
// delivery of the same cause within the first, without end.
TEST(InterruptDelivery, AHandlerThatUnmasksItsOwnCauseIsNotEnteredAgain) {
    ASSERT_TRUE(loadGuestProgram("interrupts_reenter"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(guestWord(guestSymbol("calls")), 3u);
    EXPECT_EQ(guestWord(guestSymbol("deepest")), 1u);
    EXPECT_EQ(guestWord(guestSymbol("enableResult")), 1u) << "the mask bit is set again all the same";
    EXPECT_EQ(vblankCount, 3u);
}

}  // namespace
