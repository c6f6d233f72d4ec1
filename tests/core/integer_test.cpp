// The integer instructions of the primary and SPECIAL tables, run as guest
// code (guest/integer_ops.S): one record per case, in the program's order.

#include <gtest/gtest.h>

#include "core/ee_state.h"
#include "cpu_records.h"

namespace {

constexpr unsigned kIntegerRecords = 62;

constexpr RecordCase kImmediateCases[] = {
    {"ADDI 0x7FFFFFFF + 1 wraps, sign-extended", 0xFFFFFFFF80000000},
    {"ADDIU reads only rs.w0: 5 - 6", 0xFFFFFFFFFFFFFFFF},
    {"ADDIU ignores rs.w1", 0x1010},
    {"DADDI carries into bit 32", 0x0000000100000000},
    {"DADDIU 0 + (-1)", 0xFFFFFFFFFFFFFFFF},
    {"DADDIU wraps at 2^63", 0x8000000000000000},
    {"SLTI -1 < 0", 1},
    {"SLTI 0x80000000 is positive as 64 bits", 0},
    {"SLTI 0xFFFFFFFF00000000 < -1", 1},
    {"SLTIU imm 0xFFFF is 2^64-1: below it", 1},
    {"SLTIU imm 0xFFFF is 2^64-1: equal", 0},
    {"SLTIU imm 0x8000 is 0xFFFF...8000", 1},
    {"ANDI zero-extends and clears w1", 0x8001},
    {"ORI keeps w1", 0x1234567880001234},
    {"XORI keeps w1", 0xFFFFFFFF00007FFE},
    {"LUI 0x8000 sign-extends", 0xFFFFFFFF80000000},
    {"LUI 0x7FFF", 0x7FFF0000},
    {"ORI into LUI 0x8000 keeps w1 all ones", 0xFFFFFFFF80001234},
};

constexpr RecordCase kWordCases[] = {
    {"ADD 0x7FFFFFFF + 1 wraps without exception", 0xFFFFFFFF80000000},
    {"ADDU ignores w1 of both operands", 3},
    {"SUB 0x80000000 - 1", 0x7FFFFFFF},
    {"SUBU 0 - 1", 0xFFFFFFFFFFFFFFFF},
    {"SLL 0x40000000 by 1 sign-extends", 0xFFFFFFFF80000000},
    {"SLL ignores rt.w1", 0xFFFFFFFF80000000},
    {"SRL by 0 sign-extends", 0xFFFFFFFF80000000},
    {"SRL zero-fills", 1},
    {"SRA sign-fills", 0xFFFFFFFFF8000000},
    {"SRA by 0 of a positive word clears w1", 0x70000000},
    {"SLLV 0x40000000 by 1 sign-extends", 0xFFFFFFFF80000000},
    {"SLLV uses the low 5 bits of rs (33 -> 1)", 0xFFFFFFFF80000000},
    {"SRLV by 0 sign-extends", 0xFFFFFFFF80000000},
    {"SRLV by 4", 0x0000000008000000},
    {"SRLV uses the low 5 bits of rs (36 -> 4)", 0x0000000008000000},
    {"SRAV by 4", 0xFFFFFFFFF8000000},
    {"SRAV uses the low 5 bits of rs (0xFFFFFFE4 -> 4)", 0xFFFFFFFFF8000000},
};

constexpr RecordCase kDoublewordCases[] = {
    {"DADD wraps at 2^63", 0x8000000000000000},
    {"DADDU carries into bit 32", 0x0000000100000000},
    {"DSUB 0 - 1", 0xFFFFFFFFFFFFFFFF},
    {"DSUBU borrows from bit 32", 0x00000000FFFFFFFF},
    {"AND", 0x0F000F00F000F000},
    {"OR", 0xFFF0FFF0FFF0FFF0},
    {"XOR", 0xF0F0F0F00FF00FF0},
    {"NOR", 0x000F000F000F000F},
    {"SLT -1 < 1", 1},
    {"SLT 0x80000000 is positive as 64 bits", 0},
    {"SLT compares bits 32..63", 1},
    {"SLTU 2^64-1 < 1 is false", 0},
    {"SLTU 1 < 2^32", 1},
    {"DSLL by 4 crosses bit 32", 0x0000000800000010},
    {"DSRL zero-fills", 0x0FFFFFFFFFFFFFFF},
    {"DSRA sign-fills", 0xF800000000000000},
    {"DSLL32 by 0 shifts by 32", 0x0000000100000000},
    {"DSRL32 by 31 shifts by 63", 1},
    {"DSRA32 by 0 shifts by 32", 0xFFFFFFFF80000000},
    {"DSLLV uses the low 6 bits of rs (0x44 -> 4)", 0x0000000800000010},
    {"DSRLV by 63", 1},
    {"DSRAV uses the low 6 bits of rs (0xFFFFFFC4 -> 4)", 0xF800000000000000},
    {"MOVZ with rt 0 moves all 64 bits", 0x123456789ABCDEF0},
    {"MOVZ with only bits 32..63 of rt set does not move", kPatternLow},
    {"MOVN with only bits 32..63 of rt set moves", 0x123456789ABCDEF0},
    {"MOVN with rt 0 does not move", kPatternLow},
    {"MTSA then MFSA keep all 64 bits", 0x123456789ABCDEF0},
};

static_assert(std::size(kImmediateCases) + std::size(kWordCases) + std::size(kDoublewordCases) == kIntegerRecords);

class IntegerOps : public testing::Test {
protected:
    void SetUp() override { runRecordProgram("cpu_integer", kIntegerRecords); }
};

TEST_F(IntegerOps, ImmediateForms) { expectRecords(kImmediateCases, 0); }

TEST_F(IntegerOps, WordRegisterFormsAndShifts) { expectRecords(kWordCases, std::size(kImmediateCases)); }

TEST_F(IntegerOps, DoublewordFormsMovesAndSa) {
    expectRecords(kDoublewordCases, std::size(kImmediateCases) + std::size(kWordCases));
    EXPECT_EQ(ee.sa, 0x123456789ABCDEF0u);  // MTSA does not mask
}

}  // namespace
