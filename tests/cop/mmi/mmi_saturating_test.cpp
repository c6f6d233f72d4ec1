// The byte and halfword saturating add and subtract handlers (the word forms
// run the definition itself) against their lane-by-lane definition, on the same register file: random registers (rd may be rs or
// rt, and rs may be rt) holding lanes drawn from random bits and from the
// values where saturation starts (each lane type's minimum and maximum, one
// inside them, zero, plus and minus one, the sign boundary). The whole
// register file afterwards must match.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "cop/mmi_saturating.h"
#include "core/ee_state.h"

namespace {

using Handler = void (*)();

struct SaturatingForm {
    const char* name;
    Handler lanes;
    Handler vector;
    unsigned laneBytes;
};

template <typename Lane, SaturatingOp op>
SaturatingForm form(const char* name) {
    return {name, lanewiseSaturated<Lane, op>, vectorSaturated<Lane, op>, sizeof(Lane)};
}

std::vector<SaturatingForm> allForms() {
    using enum SaturatingOp;
    return {form<s8, add>("PADDSB"),      form<s16, add>("PADDSH"),      form<s8, subtract>("PSUBSB"),
            form<s16, subtract>("PSUBSH"), form<u8, add>("PADDUB"),      form<u16, add>("PADDUH"),
            form<u8, subtract>("PSUBUB"), form<u16, subtract>("PSUBUH")};
}

// A lane of the given width: random bits half of the time, otherwise one of
// the values around the signed and unsigned limits.
u32 laneValue(std::mt19937& rng, unsigned laneBytes) {
    const unsigned bits = laneBytes * 8;
    const u32 ones = (1u << bits) - 1;
    const u32 signBit = 1u << (bits - 1);
    const std::array<u32, 10> edges{0, 1, ones, ones - 1, signBit, signBit - 1, signBit + 1, signBit - 2, 2, ones - 2};
    if (rng() & 1) return rng() & ones;
    return edges[rng() % edges.size()] & ones;
}

void fillRegister(std::mt19937& rng, Reg128& reg, unsigned laneBytes) {
    for (unsigned offset = 0; offset < sizeof(Reg128); offset += laneBytes) {
        const u32 value = laneValue(rng, laneBytes);
        std::memcpy(reg.b + offset, &value, laneBytes);
    }
}

u32 encodeRegisters(unsigned rs, unsigned rt, unsigned rd) { return rs << 21 | rt << 16 | rd << 11; }

TEST(MmiSaturating, VectorHandlersMatchTheLaneDefinition) {
    std::mt19937 rng(0x5A7u);
    for (const SaturatingForm& form : allForms()) {
        for (int trial = 0; trial < 4000; ++trial) {
            const unsigned rs = 1 + rng() % 31;
            const unsigned rt = rng() % 4 == 0 ? rs : 1 + rng() % 31;
            const unsigned rd = rng() % 4 == 0 ? rs : rng() % 4 == 0 ? rt : 1 + rng() % 31;
            for (Reg128& reg : ee.gpr) fillRegister(rng, reg, form.laneBytes);
            ee.code = encodeRegisters(rs, rt, rd);
            const std::array<Reg128, 32> before = std::to_array(ee.gpr);

            form.lanes();
            const std::array<Reg128, 32> expected = std::to_array(ee.gpr);
            std::memcpy(ee.gpr, before.data(), sizeof(ee.gpr));
            form.vector();

            ASSERT_EQ(std::memcmp(ee.gpr, expected.data(), sizeof(ee.gpr)), 0)
                << form.name << " rs " << rs << " rt " << rt << " rd " << rd << " trial " << trial;
        }
    }
}

// The definition itself at the limits, so that a fault shared by both paths
// shows too.
TEST(MmiSaturating, LanesClampAtTheirLimits) {
    EXPECT_EQ((saturatedLane<s16, SaturatingOp::add>(0x7FFF, 1)), 0x7FFF);
    EXPECT_EQ((saturatedLane<s16, SaturatingOp::subtract>(-0x8000, 1)), -0x8000);
    EXPECT_EQ((saturatedLane<s8, SaturatingOp::subtract>(0, -0x80)), 0x7F);
    EXPECT_EQ((saturatedLane<s32, SaturatingOp::add>(-0x7FFFFFFF - 1, -1)), -0x7FFFFFFF - 1);
    EXPECT_EQ((saturatedLane<u8, SaturatingOp::add>(0xF0, 0x20)), 0xFF);
    EXPECT_EQ((saturatedLane<u16, SaturatingOp::subtract>(1, 2)), 0);
    EXPECT_EQ((saturatedLane<u32, SaturatingOp::add>(0xFFFFFFFFu, 1)), 0xFFFFFFFFu);
    EXPECT_EQ((saturatedLane<u32, SaturatingOp::subtract>(5, 3)), 2u);
}

}  // namespace
