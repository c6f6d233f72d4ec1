// MULT, MULTU, DIV, DIVU and the HI/LO moves, run as guest code
// (guest/muldiv_ops.S). Records come in the program's order: for each case
// HI0 then LO0, preceded by rd for the three-operand multiplies.

#include <gtest/gtest.h>

#include "core/ee_state.h"
#include "cpu_records.h"

namespace {

constexpr u64 kHi1 = 0x0BADC0DE0BADC0DE;
constexpr u64 kLo1 = 0xFEEDFACEFEEDFACE;

constexpr RecordCase kMultiplyCases[] = {
    {"MULT 0x7FFFFFFF x 2: HI", 0},
    {"MULT 0x7FFFFFFF x 2: LO is the low word sign-extended", 0xFFFFFFFFFFFFFFFE},
    {"MULT -3 x 5: HI", 0xFFFFFFFFFFFFFFFF},
    {"MULT -3 x 5: LO", 0xFFFFFFFFFFFFFFF1},
    {"MULT rd, 0x40000000 x 2: rd = LO", 0xFFFFFFFF80000000},
    {"MULT rd, 0x40000000 x 2: HI", 0},
    {"MULT rd, 0x40000000 x 2: LO", 0xFFFFFFFF80000000},
    {"MULTU 0xFFFFFFFF squared: HI 0xFFFFFFFE sign-extended", 0xFFFFFFFFFFFFFFFE},
    {"MULTU 0xFFFFFFFF squared: LO", 1},
    {"MULTU 0x80000000 x 2: HI", 1},
    {"MULTU 0x80000000 x 2: LO", 0},
    {"MULTU rd, 0x10000 x 0x8000: rd = LO", 0xFFFFFFFF80000000},
    {"MULTU rd, 0x10000 x 0x8000: HI", 0},
    {"MULTU rd, 0x10000 x 0x8000: LO sign-extended", 0xFFFFFFFF80000000},
};

constexpr RecordCase kDivideCases[] = {
    {"DIV -7 / 2: remainder takes the dividend's sign", 0xFFFFFFFFFFFFFFFF},
    {"DIV -7 / 2: quotient truncated toward zero", 0xFFFFFFFFFFFFFFFD},
    {"DIV 7 / -2: HI", 1},
    {"DIV 7 / -2: LO", 0xFFFFFFFFFFFFFFFD},
    {"DIV 0x80000000 / -1: HI", 0},
    {"DIV 0x80000000 / -1: LO", 0xFFFFFFFF80000000},
    {"DIVU 0xFFFFFFFF / 2: HI", 1},
    {"DIVU 0xFFFFFFFF / 2: LO", 0x7FFFFFFF},
    {"DIVU 0x80000000 / 1: HI", 0},
    {"DIVU 0x80000000 / 1: LO zero-extended", 0x0000000080000000},
    {"DIVU 0x80000005 / 0x90000000: HI zero-extended", 0x0000000080000005},
    {"DIVU 0x80000005 / 0x90000000: LO", 0},
    // The divisor's w0 is zero, so this is a division by zero even though
    // bits 32..63 are not; the MTHI/MTLO values survive.
    {"DIV by zero keeps HI", 0x1111222233334444},
    {"DIV by zero keeps LO", 0x5555666677778888},
    {"DIVU by zero keeps HI", 0x1111222233334444},
    {"DIVU by zero keeps LO", 0x5555666677778888},
};

class MulDivOps : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loadGuestProgram("cpu_muldiv"));
        ee.hi.d[1] = kHi1;
        ee.lo.d[1] = kLo1;
        ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop);
        ASSERT_EQ(guestWord(guestSymbol("resultCount")), std::size(kMultiplyCases) + std::size(kDivideCases));
    }
};

TEST_F(MulDivOps, Multiplies) { expectRecords(kMultiplyCases, 0); }

TEST_F(MulDivOps, DividesAndDivisionByZero) { expectRecords(kDivideCases, std::size(kMultiplyCases)); }

// Every multiply, divide and HI/LO move of the program works on HI0 and
// LO0 only.
TEST_F(MulDivOps, UpperHalvesOfHiAndLoAreUntouched) {
    EXPECT_EQ(ee.hi.d[1], kHi1);
    EXPECT_EQ(ee.lo.d[1], kLo1);
}

}  // namespace
