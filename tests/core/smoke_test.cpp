#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "core/ee_state.h"
#include "support/guest_machine.h"

// The demo sorts sixteen pseudo-random numbers and folds them into a
// checksum; the same computation on the host must agree.
TEST(Demo, RunsToItsIdleLoopWithTheHostChecksum) {
    unsigned values[16];
    unsigned seed = 12345;
    for (unsigned& value : values) {
        seed = seed * 1103515245u + 12345u;
        value = seed >> 16;
    }
    std::sort(std::begin(values), std::end(values));
    unsigned sum = 0;
    for (unsigned value : values) sum = sum * 31u + value;

    ASSERT_TRUE(loadGuestProgram("demo"));
    EXPECT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(ee.gpr[kGprV0].w[0], sum);
    EXPECT_EQ(guestWord(guestSymbol("checksum")), sum);
    EXPECT_EQ(ee.pc, guestSymbol("_idle"));
}
