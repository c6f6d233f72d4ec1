// The micro-mode upper tables called from the host.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "support/guest_machine.h"
#include "vu/vu_state.h"
#include "vu/vu_upper.h"

namespace {

// A micro-mode upper word: dest mask xyzw, ft, fs, and bits 10..6 / 5..0.
constexpr u32 upperWord(u32 ft, u32 fs, u32 fd, u32 function) {
    return 0xFu << 21 | ft << 16 | fs << 11 | fd << 6 | function;
}

class VuMicroUpper : public ::testing::Test {
protected:
    void SetUp() override {
        resetMachine();
        for (VuState* unit : {&vu0, &vu1}) {
            unit->vf[1] = VuVector{{9, 9, 9, 9}};
            unit->vf[2] = VuVector{{1, 2, 3, 4}};
            unit->vf[3] = VuVector{{10, 20, 30, 40}};
            unit->vuAcc = VuVector{{100, 100, 100, 100}};
            unit->vi[kViI] = std::bit_cast<u32>(0.5f);
        }
    }
    static void run(u32 word) {
        vu1.code = word;
        vu1RunUpper();
    }
    static void expectVector(const VuVector& actual, std::array<float, 4> expected) {
        for (unsigned lane = 0; lane < 4; ++lane) EXPECT_EQ(actual.f[lane], expected[lane]) << "lane " << lane;
    }
};

TEST_F(VuMicroUpper, SubTableMembersWriteAccAndUseTheirOwnOperand) {
    run(upperWord(3, 2, 1, 0x3C));  // SUBAx: row 1 would be VF1 if misread as fd
    expectVector(vu1.vuAcc, {-9, -8, -7, -6});
    expectVector(vu1.vf[1], {9, 9, 9, 9});
    EXPECT_EQ(vu1.vi[kViMac], 0x00F0u) << "a single instruction leaves its flags settled";
    run(upperWord(0, 2, 8, 0x3E));  // ADDAi: adds I, no multiply
    expectVector(vu1.vuAcc, {1.5f, 2.5f, 3.5f, 4.5f});
    run(upperWord(0, 2, 9, 0x3E));  // SUBAi: VF[fs] - I
    expectVector(vu1.vuAcc, {0.5f, 1.5f, 2.5f, 3.5f});
    run(upperWord(3, 2, 0xB, 0x3E));  // OPMULA
    expectVector(vu1.vuAcc, {2 * 30, 3 * 10, 1 * 20, 3.5f});
    run(upperWord(1, 2, 7, 0x3D));  // ABS, into ft
    expectVector(vu1.vf[1], {1, 2, 3, 4});
    EXPECT_EQ(vu1.vi[kViMac], 0u) << "ADDAi/SUBAi set no flag bit; ABS and OPMULA leave them";
    expectVector(vu0.vuAcc, {100, 100, 100, 100});
}

TEST_F(VuMicroUpper, FunctionCodesFollowTheMacroLayoutOnTheirOwnUnit) {
    run(upperWord(3, 2, 1, 0x28));  // ADD
    expectVector(vu1.vf[1], {11, 22, 33, 44});
    run(upperWord(3, 2, 4, 0x1B));  // MULw
    expectVector(vu1.vf[4], {40, 80, 120, 160});
    run(upperWord(0, 2, 6, 0x28));  // ADD of VF0, which reads (0, 0, 0, 1) after a reset
    expectVector(vu1.vf[6], {1, 2, 3, 5});
    expectVector(vu0.vf[1], {9, 9, 9, 9});
    vu0.code = upperWord(3, 2, 5, 0x2C);  // SUB on VU0
    vu0RunUpper();
    expectVector(vu0.vf[5], {-9, -18, -27, -36});
    EXPECT_EQ(vu0.vi[kViMac], 0x00F0u);
}

TEST_F(VuMicroUpper, UnassignedCodesAndRowsChangeNothing) {
    const VuState before = vu1;
    for (u32 function = 0x30; function <= 0x3B; ++function) run(upperWord(3, 2, 1, function));
    for (u32 row = 0x0C; row < 32; ++row)
        for (u32 function = 0x3C; function <= 0x3F; ++function) run(upperWord(3, 2, row, function));
    run(upperWord(3, 2, 7, 0x3F));   // CLIPw
    run(upperWord(3, 2, 0xB, 0x3F));  // NOP
    EXPECT_EQ(std::memcmp(&before, &vu1, offsetof(VuState, code)), 0);
}

}  // namespace
