// QFSRV at every SA (guest/qfsrv_sweep.S) against the host's own funnel
// shift of the 256-bit rs:rt. The other multimedia instructions are rows
// in tests/vectors/mmi.vec.

#include <gtest/gtest.h>

#include "support/guest_machine.h"

namespace {

TEST(Qfsrv, FunnelsEveryShiftAmount) {
    using u128 = unsigned __int128;
    const u128 rs = (u128{0x0F0E0D0C0B0A0908} << 64) | 0x0706050403020100;
    const u128 rt = (u128{0xB4A59687F0E1D2C3} << 64) | 0x0123456789ABCDEF;
    ASSERT_TRUE(loadGuestProgram("qfsrv_sweep"));
    ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop);
    const u32 sweep = guestSymbol("sweep");
    for (unsigned sa = 0; sa < 128; ++sa) {
        const u128 expected = sa == 0 ? rt : (rt >> sa) | (rs << (128 - sa));
        const u128 actual = (u128{guestDouble(sweep + 16 * sa + 8)} << 64) | guestDouble(sweep + 16 * sa);
        EXPECT_TRUE(actual == expected) << "SA " << sa;
    }
}

}  // namespace
