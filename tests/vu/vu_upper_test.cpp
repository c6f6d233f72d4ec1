// The VU upper (FMAC) family through COP2 macro mode: each guest case runs
// one instruction with the MAC flag preset to 0xFFFF and the status flag to
// 0xFFF, so a member that sets flags must clear the MAC bits it does not set
// and keep the sticky status bits, and a member that sets none must leave
// both. Expected values are worked out by hand from the rules.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <limits>

#include "core/ee_state.h"
#include "memory/bus.h"
#include "support/guest_machine.h"

namespace {

using Quadword = std::array<u32, 4>;

constexpr u32 raw(float value) { return std::bit_cast<u32>(value); }
constexpr Quadword vec(float x, float y, float z, float w) { return {raw(x), raw(y), raw(z), raw(w)}; }

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr u32 kNaN = 0x7FC00000;
constexpr Quadword kNines = vec(9, 9, 9, 9);
constexpr Quadword kZeros = vec(0, 0, 0, 0);
constexpr u32 kMacUntouched = 0xFFFF;
constexpr u32 kStatusUntouched = 0xFFF;
constexpr u32 kSticky = 0xFF0;  // status bits above 3 survive every member

struct UpperCase {
    const char* instruction;  // as written in guest/vu_upper_macro.S, same order
    Quadword fs, ft, dest, acc;
    Quadword expectedDest, expectedAcc;
    u32 mac, status;
};

// I = 3.0 and Q = 0.5 throughout (set by the guest program).
const UpperCase kCases[] = {
    {"vadd.x: 1 + -1 is zero, other lanes untouched and flagless", vec(1, 2, 3, 4), vec(-1, 5, 6, 7), kNines, kZeros,
     vec(0, 9, 9, 9), kZeros, 0x0008, kSticky | 1},
    {"vmul: 2^32 overflows the 2^31 limit, 3e39 becomes infinity, a tiny product rounds to 0 without Z",
     vec(65536, 3e38f, 1e-30f, -2), vec(65536, 10, 1e-30f, 3), kNines, kZeros, vec(4294967296.0f, kInf, 0, -6),
     kZeros, 0x8000 | 0x4000 | 0x0010, kSticky | 2 | 8},
    {"vsub: -3e9 is S and U, 0 is Z, 1 + 2^31 is O only before rounding", vec(-1.5e9f, 0, 5, 1),
     vec(1.5e9f, 0, 2, -2147483648.0f), kNines, kZeros, vec(-3e9f, 0, 3, 2147483648.0f), kZeros,
     0x0880 | 0x0004 | 0x1000, kSticky | 0xF},
    {"vadd with an empty dest mask clears MAC and status 0..3", vec(1, 2, 3, 4), vec(1, 1, 1, 1), kNines, kZeros,
     kNines, kZeros, 0, kSticky},
    {"vmaddx: the product is not rounded before the accumulation", {0x3F800800, raw(2), raw(-1), raw(0)},
     {0x3F800800, raw(99), raw(99), raw(99)}, kNines, vec(-1, 1, 0, 5), {0x3A000400, 0x40400800, 0xBF800800, raw(5)},
     vec(-1, 1, 0, 5), 0x0020, kSticky | 2},
    {"vsubax writes ACC, not VF", vec(5, 6, 7, 8), vec(1, 99, 99, 99), kNines, kZeros, kNines, vec(4, 5, 6, 7), 0,
     kSticky},
    {"vaddi", vec(1, -3, 0, -5), kZeros, kNines, kZeros, vec(4, 0, 3, -2), kZeros, 0x0004 | 0x0010, kSticky | 3},
    {"vmulq", vec(2, 4, -8, 0), kZeros, kNines, kZeros, vec(1, 2, -4, 0), kZeros, 0x0020 | 0x0001, kSticky | 3},
    {"vmsubq", vec(2, 4, 6, 8), kZeros, kNines, vec(1, 1, 1, 1), vec(0, -1, -2, -3), vec(1, 1, 1, 1),
     0x0008 | 0x0070, kSticky | 3},
    {"vmax: a NaN on either side or equal values give ft; no flags", {raw(5), raw(1), kNaN, raw(0.0f)},
     {raw(1), kNaN, raw(7), raw(-0.0f)}, kNines, kZeros, {raw(5), kNaN, raw(7), raw(-0.0f)}, kZeros, kMacUntouched,
     kStatusUntouched},
    {"vminiy", vec(1, 5, -3, 2), vec(99, 2, 99, 99), kNines, kZeros, vec(1, 2, -3, 2), kZeros, kMacUntouched,
     kStatusUntouched},
    {"vmaxi", vec(1, 5, 3, -kInf), kZeros, kNines, kZeros, vec(3, 5, 3, 3), kZeros, kMacUntouched, kStatusUntouched},
    {"vopmula ignores its empty dest mask and keeps ACC.w", vec(1, 2, 3, 4), vec(5, 6, 7, 8), kNines,
     vec(10, 20, 30, 40), kNines, vec(14, 15, 6, 40), kMacUntouched, kStatusUntouched},
    {"vopmsub ignores its empty dest mask and keeps VF.w", vec(1, 2, 3, 4), vec(5, 6, 7, 8), kNines,
     vec(20, 20, 20, 20), vec(6, 5, 14, 9), vec(20, 20, 20, 20), kMacUntouched, kStatusUntouched},
    {"vabs.xy clears the sign bit, NaN included", {raw(-1), 0xFFC00000, raw(-2), raw(-3)}, kZeros, kNines, kZeros,
     {raw(1), kNaN, raw(9), raw(9)}, kZeros, kMacUntouched, kStatusUntouched},
    {"vftoi0 truncates toward zero and keeps the low 32 bits; -inf gives 0", vec(-2.7f, 1e10f, -kInf, 2.5f), kZeros,
     kNines, kZeros, {0xFFFFFFFE, 0x540BE400, 0, 2}, kZeros, kMacUntouched, kStatusUntouched},
    {"vftoi4: NaN and 2^63 or more give 0", {raw(1.5f), raw(-2.7f), kNaN, raw(3e20f)}, kZeros, kNines, kZeros,
     {24, 0xFFFFFFD5, 0, 0}, kZeros, kMacUntouched, kStatusUntouched},
    {"vftoi12.xy", vec(0.5f, -1, 7, 7), kZeros, kNines, kZeros, {2048, 0xFFFFF000, raw(9), raw(9)}, kZeros,
     kMacUntouched, kStatusUntouched},
    {"vitof4 reads signed words and rounds to single", {24, 0xFFFFFFD5, 0x7FFFFFFF, 0}, kZeros, kNines, kZeros,
     vec(1.5f, -2.6875f, 134217728.0f, 0), kZeros, kMacUntouched, kStatusUntouched},
    {"vitof15.xyz", {16384, 0xFFFF8000, 1, 5}, kZeros, kNines, kZeros, {raw(0.5f), raw(-1), 0x38000000, raw(9)},
     kZeros, kMacUntouched, kStatusUntouched},
    {"vmaddaw.yz", vec(1, 2, 3, 4), vec(0, 0, 0, 10), kNines, vec(7, 7, -30, 7), kNines, vec(7, 27, 0, 7), 0x0002,
     kSticky | 1},
    {"vmsubai: every flag kind in one instruction", vec(1, 1, 1e9f, -1e9f), kZeros, kNines, vec(3, 0, 0, 1e9f),
     kNines, vec(0, -3, -3e9f, 4e9f), 0x0008 | 0x0040 | 0x0220 | 0x1000, kSticky | 0xF},
    {"vmulx with fd = ft reads the broadcast lane before writing it", vec(1, 2, 3, 4), kZeros, vec(10, 9, 9, 9),
     kZeros, vec(10, 20, 30, 40), kZeros, 0, kSticky},
    {"vcallms changes nothing", vec(1, 2, 3, 4), vec(5, 6, 7, 8), kNines, vec(1, 2, 3, 4), kNines, vec(1, 2, 3, 4),
     kMacUntouched, kStatusUntouched},
    {"bc2f changes nothing", vec(1, 2, 3, 4), vec(5, 6, 7, 8), kNines, vec(1, 2, 3, 4), kNines, vec(1, 2, 3, 4),
     kMacUntouched, kStatusUntouched},
};

void writeQuadword(u32 address, const Quadword& value) {
    for (unsigned i = 0; i < 4; ++i) memWrite32(value[i], address + 4 * i);
}

Quadword readQuadword(u32 address) {
    Quadword value{};
    for (unsigned i = 0; i < 4; ++i) value[i] = guestWord(address + 4 * i);
    return value;
}

TEST(VuUpperMacro, EveryCaseMatchesTheWorkedResult) {
    ASSERT_TRUE(loadGuestProgram("vu_upper_macro"));
    const u32 inputs = guestSymbol("inputs");
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const UpperCase& c = kCases[i];
        const u32 block = inputs + 64 * static_cast<u32>(i);
        writeQuadword(block, c.fs);
        writeQuadword(block + 16, c.ft);
        writeQuadword(block + 32, c.dest);
        writeQuadword(block + 48, c.acc);
    }
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const u32 results = guestSymbol("results");
    EXPECT_EQ(ee.gpr[kGprV0].w[0], std::size(kCases)) << "the guest program and the case table disagree";
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const UpperCase& c = kCases[i];
        const u32 record = results + 48 * static_cast<u32>(i);
        SCOPED_TRACE(c.instruction);
        EXPECT_EQ(readQuadword(record), c.expectedDest);
        EXPECT_EQ(readQuadword(record + 16), c.expectedAcc);
        EXPECT_EQ(guestWord(record + 32), c.mac);
        EXPECT_EQ(guestWord(record + 36), c.status);
    }
}

}  // namespace
