// One runner for every scene: draw it through GSgifTransfer, check what the
// scene says its pixels must be, and compare the displayed picture with the
// scene's golden PNG pixel for pixel. CORVANE_WRITE_GOLDENS=1 writes the
// goldens instead (look at each one before keeping it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ps2e/gs-soft/picture.h"
#include "ps2e/ps2e.h"
#include "scene.h"
#include "support/golden.h"

namespace {

constexpr uint32_t kPmode = 0x12000000;
constexpr uint32_t kDispfb1 = 0x12000070;
constexpr uint32_t kDisplay1 = 0x12000080;

void baseSetUp(Scene& s) {
    s.packet.registers({{gs::kRegFrame_1, frameValue(0, 2, gs::kPsmCt32)},
                        {gs::kRegZbuf_1, uint64_t{1} << 32},
                        {gs::kRegScissor_1, scissorValue(0, kFrameWidth - 1, 0, kFrameHeight - 1)},
                        {gs::kRegXyoffset_1, 0},
                        {gs::kRegTest_1, 0},
                        {gs::kRegPrmodecont, 1},
                        {gs::kRegColclamp, 1}});
    s.sprite(0, 0, kFrameWidth, kFrameHeight, colour(0, 0, 0));
}

// Read circuit 1 shows the 128 x 96 frame, with ALP 0xFF.
void showFrame(uint32_t psm) {
    GSwrite64(kPmode, 0xFF21);
    GSwrite64(kDispfb1, (2u << 9) | (psm << 15));
    GSwrite64(kDisplay1, (uint64_t{kFrameWidth - 1} << 32) | (uint64_t{kFrameHeight - 1} << 44));
}

bool closeEnough(uint32_t got, uint32_t expected, int tolerance) {
    for (int i = 0; i < 4; ++i) {
        const int a = static_cast<int>((got >> (8 * i)) & 0xFF), b = static_cast<int>((expected >> (8 * i)) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

class SceneTest : public testing::TestWithParam<SceneEntry> {};

}  // namespace

TEST_P(SceneTest, DrawsWhatTheRulesSayAndMatchesItsGolden) {
    const SceneEntry& entry = GetParam();
    GSinit();
    Scene scene;
    baseSetUp(scene);
    entry.build(scene);
    GSgifTransfer(scene.packet.words.data(), static_cast<uint32_t>(scene.packet.quadwords()));
    showFrame(scene.framePsm);

    for (const MemoryCheck& c : scene.memoryChecks) {
        const uint32_t got = gs::state.memory.readPixel(c.psm, c.bp, c.bw, c.x, c.y);
        EXPECT_TRUE(closeEnough(got, c.expected, c.tolerance))
            << "PSM 0x" << std::hex << c.psm << " pixel (" << std::dec << c.x << ", " << c.y << "): 0x" << std::hex << got
            << ", expected 0x" << c.expected;
    }
    for (const CountCheck& c : scene.countChecks) {
        int count = 0;
        for (int y = c.y0; y < c.y1; ++y)
            for (int x = c.x0; x < c.x1; ++x)
                count += (gs::state.memory.readPixel(gs::kPsmCt32, 0, 2, x, y) & 0xFFFFFF) == (c.colour & 0xFFFFFF);
        EXPECT_EQ(c.expected, count) << "pixels of 0x" << std::hex << (c.colour & 0xFFFFFF) << " in [" << std::dec << c.x0
                                     << ", " << c.x1 << ") x [" << c.y0 << ", " << c.y1 << ")";
    }

    const DisplayedPicture picture = composeDisplayedPicture();
    ASSERT_EQ(kFrameWidth, picture.width);
    ASSERT_EQ(kFrameHeight, picture.height);
    EXPECT_TRUE(matchesGoldenPicture(goldenFile(std::string(entry.name) + ".png"),
                                     {picture.width, picture.height, picture.pixels}));
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneTest, testing::ValuesIn(kScenes),
                         [](const testing::TestParamInfo<SceneEntry>& info) { return std::string(info.param.name); });
