// The VU lower family: the micro-mode lower tables called from the host on
// both units.
// Expected values are worked out by hand from the rules.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "memory/bus.h"
#include "support/guest_machine.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"

namespace {

using Quadword = std::array<u32, 4>;

constexpr u32 raw(float value) { return std::bit_cast<u32>(value); }
constexpr u32 kInfinity = 0x7F800000;

Quadword dataQuadword(const VuState& unit, u32 index) {
    Quadword value{};
    std::memcpy(value.data(), unit.dataMem + 16 * index, 16);
    return value;
}

void setDataQuadword(VuState& unit, u32 index, const Quadword& value) {
    std::memcpy(unit.dataMem + 16 * index, value.data(), 16);
}

Quadword vf(const VuState& unit, unsigned index) {
    return {unit.vf[index].u[0], unit.vf[index].u[1], unit.vf[index].u[2], unit.vf[index].u[3]};
}

void setVf(VuState& unit, unsigned index, const Quadword& value) {
    for (unsigned lane = 0; lane < 4; ++lane) unit.vf[index].u[lane] = value[lane];
}

bool isNaN(u32 bits) { return std::isnan(std::bit_cast<float>(bits)); }

// A micro-mode lower word: opcode in bits 31..25, then the dest mask, ft/it,
// fs/is and the low eleven bits.
constexpr u32 microWord(u32 opcode, u32 dest, u32 t, u32 s, u32 low) {
    return opcode << 25 | dest << 21 | t << 16 | s << 11 | low;
}
// The 0x40 group: a sub-table member at (row, sub-table), or a function code.
constexpr u32 groupWord(u32 dest, u32 t, u32 s, u32 row, u32 subTable) {
    return microWord(0x40, dest, t, s, row << 6 | (0x3C + subTable));
}

void runLower(VuState& unit, u32 word) {
    unit.code = word;
    if (&unit == &vu0) vu0RunLower();
    else vu1RunLower();
}

class VuLowerMicro : public ::testing::Test {
  protected:
    void SetUp() override { resetMachine(); }
};

TEST_F(VuLowerMicro, IntegerOperationsAndFmand) {
    struct Case {
        const char* name;
        u32 word, is, isValue, it, itValue;
        unsigned dest;
        u32 expected;
    };
    const Case cases[] = {
        {"IADDIU with imm15 = 0x7FFF", microWord(0x08, 0xF, 2, 1, 0x7FF), 1, 1, 0, 0, 2, 0x8000},
        {"ISUBIU 0 - 1", microWord(0x09, 0, 2, 1, 1), 1, 0x10000, 0, 0, 2, 0xFFFFFFFF},
        {"IADDI with imm5 = 0x1F adds -1", microWord(0x40, 0, 2, 1, 0x1F << 6 | 0x32), 1, 5, 0, 0, 2, 4},
        {"ISUB", microWord(0x40, 0, 3, 1, 4 << 6 | 0x31), 1, 2, 3, 0x10005, 4, 0xFFFFFFFD},
        {"FMAND with slot 0xFFFF and MAC 0x0008", microWord(0x1A, 0, 2, 1, 0), 1, 0xFFFF, 0, 0, 2, 0x0008},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (VuState* unit : {&vu0, &vu1}) {
            unit->vi[c.is] = c.isValue;
            unit->vi[c.it] = c.itValue;
            unit->vi[kViMac] = 0x0008;
            runLower(*unit, c.word);
            EXPECT_EQ(unit->vi[c.dest], c.expected);
        }
    }
}

TEST_F(VuLowerMicro, LoadsAndStoresWrapInsideEachUnit) {
    setDataQuadword(vu0, 0, {1, 2, 3, 4});
    vu0.vi[1] = 1;
    runLower(vu0, microWord(0x00, 0xF, 5, 1, 0x7FF));
    EXPECT_EQ(vf(vu0, 5), (Quadword{1, 2, 3, 4})) << "LQ offset 0x7FF is -1";

    setDataQuadword(vu1, 3, {5, 6, 7, 8});
    setVf(vu1, 5, {0x7FA5A5A5, 0, 0xFFC00001, 0});  // NaNs in the lanes the load leaves
    vu1.vi[1] = 0x403;  // VU1 has 1024 quadwords
    runLower(vu1, microWord(0x00, 0x5, 5, 1, 0));
    EXPECT_EQ(vf(vu1, 5), (Quadword{0x7FA5A5A5, 6, 0xFFC00001, 8})) << "LQ.yw";

    setVf(vu1, 6, {0x11, 0x22, 0x33, 0x44});
    setDataQuadword(vu1, 1, {0xA0, 0xA1, 0xA2, 0xA3});
    vu1.vi[2] = 0x3FF;
    runLower(vu1, microWord(0x01, 0x8, 2, 6, 2));
    EXPECT_EQ(dataQuadword(vu1, 1), (Quadword{0x11, 0xA1, 0xA2, 0xA3})) << "SQ.x at 0x3FF + 2 wraps to quadword 1";

    setDataQuadword(vu1, 7, {0xAAAA0001, 0xBBBB0002, 0xCCCC0003, 0xDDDD0004});
    vu1.vi[3] = 0x12340000;
    vu1.vi[4] = 6;
    runLower(vu1, microWord(0x04, 0x5, 3, 4, 1));
    EXPECT_EQ(vu1.vi[3], 0x12340004u) << "ILW.yw takes w's low half";
    vu1.vi[3] = 0xFFFF9999;
    runLower(vu1, microWord(0x05, 0xA, 3, 4, 1));
    EXPECT_EQ(dataQuadword(vu1, 7), (Quadword{0xAAAA9999, 0xBBBB0002, 0xCCCC9999, 0xDDDD0004})) << "ISW.xz";
}

TEST_F(VuLowerMicro, ElementaryFunctionsAndMfp) {
    struct Case {
        const char* name;
        u32 word;
        float expected;
    };
    setVf(vu1, 1, {raw(1), raw(2), raw(3), raw(4)});
    setVf(vu1, 2, {raw(-4), 0, 0, 0});
    const Case cases[] = {
        {"ESADD", groupWord(0, 0, 1, 0x1C, 0), 14.0f},
        {"ERSADD", groupWord(0, 0, 1, 0x1C, 1), static_cast<float>(1.0 / 14.0)},
        {"ERSQRT of w", groupWord(3, 0, 1, 0x1E, 1), 0.5f},
        {"ESQRT of y", groupWord(1, 0, 1, 0x1E, 0), static_cast<float>(std::sqrt(2.0))},
    };
    for (const Case& c : cases) {
        runLower(vu1, c.word);
        EXPECT_EQ(vu1.vi[kViP], raw(c.expected)) << c.name;
    }
    runLower(vu1, groupWord(0, 0, 2, 0x1E, 0));
    EXPECT_TRUE(isNaN(vu1.vi[kViP])) << "ESQRT of -4";
    vu1.vi[kViP] = 0x12345678;
    runLower(vu1, groupWord(0x6, 7, 0, 0x19, 0));
    EXPECT_EQ(vf(vu1, 7), (Quadword{0, 0x12345678, 0x12345678, 0})) << "MFP.yz";
}

TEST_F(VuLowerMicro, XtopOnlyOnVu1AndNoOpsLeaveTheRegisters) {
    const u32 top = 0x2AB;
    std::memcpy(memory.hw + (kVif1TopAddress & kHwMask), &top, 4);
    vu1.vi[5] = 0xFFFF;
    vu0.vi[5] = 0xFFFF;
    runLower(vu1, groupWord(0, 5, 0, 0x1A, 0));
    runLower(vu0, groupWord(0, 5, 0, 0x1A, 0));
    EXPECT_EQ(vu1.vi[5], top);
    EXPECT_EQ(vu0.vi[5], 0xFFFFu);

    for (u32 word : {groupWord(0xF, 1, 2, 0x0E, 3), groupWord(0xF, 1, 2, 0x0D, 2), groupWord(0xF, 1, 2, 0x10, 3),
                     microWord(0x40, 0, 1, 2, 0x33), microWord(0x1B, 0, 1, 2, 0)}) {
        const VuState before = vu1;
        runLower(vu1, word);
        EXPECT_EQ(std::memcmp(before.vf, vu1.vf, sizeof vu1.vf), 0) << std::hex << word;
        EXPECT_EQ(std::memcmp(before.vi, vu1.vi, sizeof vu1.vi), 0) << std::hex << word;
    }
}

TEST_F(VuLowerMicro, RandomSequenceIsSharedAndSurvivesReset) {
    runLower(vu0, groupWord(0x8, 1, 0, 0x10, 0));
    EXPECT_EQ(vu0.vi[kViR], raw(1.0f + 41.0f / 32768.0f)) << "the first draw is 41";
    EXPECT_EQ(vu0.vf[1].u[0], vu0.vi[kViR]);

    emuReset();
    EXPECT_EQ(vuRandomState, 2745024u) << "a machine reset does not reseed";
    runLower(vu1, groupWord(0, 1, 0, 0x10, 0));
    EXPECT_NE(vu1.vi[kViR], raw(1.0f + 41.0f / 32768.0f)) << "VU1 continues VU0's sequence";
    for (int i = 0; i < 1000; ++i) {
        vu1.vi[kViR] = raw(-7.5f);
        runLower(vu1, groupWord(0, 1, 0, 0x10, 0));
        const float value = std::bit_cast<float>(vu1.vi[kViR]);
        ASSERT_TRUE(value >= 1.0f && value < 2.0f) << value;
    }
}

}  // namespace
