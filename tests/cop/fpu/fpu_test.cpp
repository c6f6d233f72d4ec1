// The float workload (differential/float_workload.c) must leave the same
// words on the guest as on the host.

#include <gtest/gtest.h>

#include "differential/float_workload.h"
#include "support/guest_machine.h"

namespace {

TEST(FloatDifferential, GuestMatchesHostBitForBit) {
    unsigned expected[kFloatWorkloadWords];
    floatWorkload(expected);
    ASSERT_TRUE(loadGuestProgram("fpu_differential"));
    ASSERT_EQ(runGuest(10'000'000), StopReason::IdleLoop);
    const u32 base = guestSymbol("floatResults");
    for (unsigned i = 0; i < kFloatWorkloadWords; ++i) {
        EXPECT_EQ(guestWord(base + 4 * i), expected[i]) << "word " << i << std::hex << " host " << expected[i];
    }
}

}  // namespace
