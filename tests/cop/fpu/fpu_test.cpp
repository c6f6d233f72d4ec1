// COP1 run as guest code (guest/fpu_ops.S). The moves leave 128-bit
// records; every other result is a word in `words`, in the program's order:
// the single-precision result, FCR31 after a compare, or a branch trace.
// Expected patterns are worked out by hand from the rules: arithmetic in
// double precision rounded once to single, no clamping, no traps.

#include <gtest/gtest.h>

#include <span>

#include "cop_records.h"

namespace {

constexpr u32 kUntouched = 0x12345678;  // what every destination held before

struct WordCase {
    const char* what;
    u32 bits;
    bool anyNaN = false;  // the host chooses the NaN's pattern
};

constexpr WordCase nan(const char* what) { return {what, 0, true}; }

constexpr WordCase kArithmeticCases[] = {
    {"ADD.S 1.5 + 2.25", 0x40700000},
    {"ADD.S overflow gives +infinity, not the largest finite value", 0x7F800000},
    {"ADD.S 1 + 2^-24 ties to even, down", 0x3F800000},
    {"ADD.S (1 + 2^-23) + 2^-24 ties to even, up", 0x3F800002},
    nan("ADD.S +inf + -inf"),
    {"ADD.S -0 + -0", 0x80000000},
    {"ADD.S denormals are kept", 0x00000002},
    {"SUB.S is s - t", 0x40600000},
    {"SUB.S 0 - 0 is +0", 0x00000000},
    {"SUB.S -max - max", 0xFF800000},
    {"MUL.S 3 x -0.5", 0xBFC00000},
    {"MUL.S 2^100 squared", 0x7F800000},
    {"MUL.S 2^-100 x 2^-40 is the denormal 2^-140", 0x00000200},
    nan("MUL.S 0 x inf"),
};

constexpr WordCase kDivisionCases[] = {
    {"DIV.S is s / t", 0x40600000},
    {"DIV.S 1 / 3", 0x3EAAAAAB},
    {"DIV.S by +0 leaves fd", kUntouched},
    {"DIV.S by -0 leaves fd", kUntouched},
    {"DIV.S 0 / 0 leaves fd", kUntouched},
    nan("DIV.S by NaN"),
    {"DIV.S 1 / 2^-149 overflows", 0x7F800000},
    {"SQRT.S of t: 2.25", 0x3FC00000},
    {"SQRT.S 2", 0x3FB504F3},
    nan("SQRT.S -1"),
    {"SQRT.S -0", 0x80000000},
    {"SQRT.S +inf", 0x7F800000},
    {"RSQRT.S 1 / sqrt 4", 0x3F000000},
    {"RSQRT.S 3 / sqrt 9", 0x3F800000},
    {"RSQRT.S of +0 leaves fd", kUntouched},
    {"RSQRT.S of -0 leaves fd", kUntouched},
    nan("RSQRT.S of -4"),
};

constexpr WordCase kMaxMinCases[] = {
    {"MAX.S 1, 2", 0x40000000},
    {"MAX.S 2, 1", 0x40000000},
    {"MAX.S +0, -0 gives t", 0x80000000},
    {"MAX.S -0, +0 gives t", 0x00000000},
    {"MAX.S NaN, 1 gives t", 0x3F800000},
    {"MAX.S 1, NaN copies t's pattern", 0x7F800001},
    {"MIN.S 1, 2", 0x3F800000},
    {"MIN.S 2, 1", 0x3F800000},
    {"MIN.S -0, +0 gives t", 0x00000000},
    {"MIN.S NaN, 1 gives t", 0x3F800000},
    {"MIN.S -inf, 1", 0xFF800000},
};

constexpr WordCase kSignAndMoveCases[] = {
    {"ABS.S -3", 0x40400000},
    {"ABS.S -0", 0x00000000},
    {"ABS.S -inf", 0x7F800000},
    {"NEG.S 3", 0xC0400000},
    {"NEG.S +0", 0x80000000},
    {"NEG.S -inf", 0x7F800000},
    {"MOV.S copies a signalling NaN's pattern", 0x7F800001},
    {"MOV.S copies any pattern", 0xDEADBEEF},
};

constexpr WordCase kConversionCases[] = {
    {"CVT.W.S -1.5 truncates toward zero", 0xFFFFFFFF},
    {"CVT.W.S just below 1", 0},
    {"CVT.W.S 2^31", 0x80000000},
    {"CVT.W.S 3.0e9 keeps the low word", 0xB2D05E00},
    {"CVT.W.S -3.0e9", 0x4D2FA200},
    {"CVT.W.S 1.0e10", 0x540BE400},
    {"CVT.W.S 2^40 + 2^17", 0x00020000},
    {"CVT.W.S -(2^40 + 2^17)", 0xFFFE0000},
    {"CVT.W.S 2^63 gives 0", 0},
    {"CVT.W.S -2^63 gives 0", 0},
    {"CVT.W.S NaN gives 0", 0},
    {"CVT.W.S +inf gives 0", 0},
    {"CVT.W.S -inf gives 0", 0},
    {"CVT.W.S denormal", 0},
    {"CVT.S.W 0x7FFFFFFF rounds to 2^31", 0x4F000000},
    {"CVT.S.W -2^31", 0xCF000000},
    {"CVT.S.W -1", 0xBF800000},
    {"CVT.S.W 2^24 + 1 ties to even, down", 0x4B800000},
    {"CVT.S.W 2^24 + 3 ties to even, up", 0x4B800002},
    {"W format, function 5, converts", 0xC0400000},
    {"W format, function 63, converts", 0x42C80000},
};

constexpr WordCase kAccumulatorCases[] = {
    {"ADDA.S", 0x40700000},
    {"SUBA.S is s - t", 0x40600000},
    {"MULA.S", 0xBFC00000},
    {"ADDA.S overflow", 0x7F800000},
    {"MADD.S 2 x 3 + 1", 0x40E00000},
    // (1 + 2^-23)^2 against the accumulator -(1 + 2^-22) leaves 2^-46,
    // which a product rounded to single first would have lost.
    {"MADD.S without intermediate rounding", 0x28800000},
    {"MSUB.S is ACC - t x s", 0xA8800000},
    {"MADDA.S without intermediate rounding", 0x28800000},
    {"MSUBA.S without intermediate rounding", 0xA8800000},
};

struct CompareCase {
    const char* what;
    bool condition;
};

constexpr CompareCase kCompareCases[] = {
    {"C.EQ.S 1, 1", true},      {"C.EQ.S 1, 2", false},     {"C.EQ.S +0, -0", true},
    {"C.EQ.S NaN, NaN", false}, {"C.LT.S 1, 2", true},      {"C.LT.S 2, 1", false},
    {"C.LT.S 1, 1", false},     {"C.LT.S -inf, +inf", true}, {"C.LT.S NaN, 1", false},
    {"C.LE.S 1, 1", true},      {"C.LE.S 2, 1", false},     {"C.LE.S -0, +0", true},
    {"C.LE.S 1, NaN", false},   {"C.F.S 1, 1", false},
};

constexpr u32 kTaken = 1, kNotTaken = 3, kLikelyNotTaken = 2;

constexpr WordCase kBranchCases[] = {
    {"BC1F, C clear", kTaken},
    {"BC1F, C set", kNotTaken},
    {"BC1T after CTC1 sets C", kTaken},
    {"BC1T, C clear", kNotTaken},
    {"BC1FL, C clear", kTaken},
    {"BC1FL, C set skips its delay slot", kLikelyNotTaken},
    {"BC1TL, C set", kTaken},
    {"BC1TL, C clear skips its delay slot", kLikelyNotTaken},
    {"BC1TL after C.LE.S with a NaN", kLikelyNotTaken},
};

constexpr RecordCase kMoveCases[] = {
    {"CFC1 FCR0 at reset", 0x2E00},
    {"CFC1 FCR31 at reset", 0x01000001},
    {"MFC1 of -1.0 zero-extends", 0x00000000BF800000},
    {"CTC1 writes FCR0; CFC1 zero-extends", 0x00000000CAFE1234},
    {"CTC1 and CFC1 reach every index", 0x0000000089ABCDEF},
};

constexpr u32 kFcr31Clear = 0x01000001;
constexpr u32 kFcr31Set = 0x01800001;

// The word sections in the program's order.
constexpr std::span<const WordCase> kSections[] = {
    kArithmeticCases, kDivisionCases, kMaxMinCases, kSignAndMoveCases, kConversionCases, kAccumulatorCases,
};
constexpr unsigned kCompareWord = [] {
    unsigned words = 0;
    for (auto section : kSections) words += section.size();
    return words;
}();
constexpr unsigned kBranchWord = kCompareWord + 2 * std::size(kCompareCases);
constexpr unsigned kWordCount = kBranchWord + std::size(kBranchCases);

bool isNaN(u32 bits) { return (bits & 0x7F800000) == 0x7F800000 && (bits & 0x007FFFFF) != 0; }

class FpuOps : public testing::Test {
protected:
    static void SetUpTestSuite() { runCopProgram("fpu_ops", std::size(kMoveCases), kWordCount); }

    void SetUp() override {
        ASSERT_EQ(guestWord(guestSymbol("wordCount")), kWordCount) << "the program did not run to its end";
    }

    static u32 word(unsigned index) { return resultWord(index); }

    static void expectWords(std::span<const WordCase> cases, unsigned first) {
        for (unsigned i = 0; i < cases.size(); ++i) {
            const WordCase& c = cases[i];
            SCOPED_TRACE(testing::Message() << "word " << first + i << ": " << c.what);
            if (c.anyNaN) {
                EXPECT_TRUE(isNaN(word(first + i))) << std::hex << word(first + i);
            } else {
                EXPECT_EQ(word(first + i), c.bits) << std::hex << word(first + i);
            }
        }
    }

    static unsigned sectionStart(std::span<const WordCase> wanted) {
        unsigned start = 0;
        for (auto section : kSections) {
            if (section.data() == wanted.data()) break;
            start += section.size();
        }
        return start;
    }
};

TEST_F(FpuOps, MovesZeroExtendAndReachEveryControlRegister) { expectRecords(kMoveCases, 0); }

TEST_F(FpuOps, AddSubtractMultiply) { expectWords(kArithmeticCases, sectionStart(kArithmeticCases)); }
TEST_F(FpuOps, DivisionAndRootsSkipZeroDivisors) { expectWords(kDivisionCases, sectionStart(kDivisionCases)); }
TEST_F(FpuOps, MaxMinAreOrderedAndCopyT) { expectWords(kMaxMinCases, sectionStart(kMaxMinCases)); }
TEST_F(FpuOps, AbsNegMov) { expectWords(kSignAndMoveCases, sectionStart(kSignAndMoveCases)); }
TEST_F(FpuOps, Conversions) { expectWords(kConversionCases, sectionStart(kConversionCases)); }
TEST_F(FpuOps, AccumulatorForms) { expectWords(kAccumulatorCases, sectionStart(kAccumulatorCases)); }

// Each compare runs once with C clear and once with C set beforehand, so a
// compare that does not write C is caught either way; no other FCR31 bit moves.
TEST_F(FpuOps, OrderedCompares) {
    for (unsigned i = 0; i < std::size(kCompareCases); ++i) {
        const CompareCase& c = kCompareCases[i];
        SCOPED_TRACE(c.what);
        const u32 expected = c.condition ? kFcr31Set : kFcr31Clear;
        EXPECT_EQ(word(kCompareWord + 2 * i), expected) << "C clear before";
        EXPECT_EQ(word(kCompareWord + 2 * i + 1), expected) << "C set before";
    }
}

TEST_F(FpuOps, Bc1Branches) { expectWords(kBranchCases, kBranchWord); }

}  // namespace
