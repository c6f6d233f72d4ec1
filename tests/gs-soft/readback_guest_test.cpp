// A guest program draws blended sprites, a textured sprite and a Gouraud
// triangle with the software GS and reads the frame back through DMA
// channel 1 and through the VIF1 FIFO; the words it receives are the
// colours the blend formula, the texture and the shading give.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

// The test plugins, with the software GS in the GS slot.
PluginConfig softGsConfig() {
    PluginConfig config = testPluginConfig();
    config.gs = CORVANE_GS_SOFT_FROM_TEST_PLUGINS;
    return config;
}

// ((A - B) * C >> 7) + D on each colour channel, clamped; alpha is the
// source's.
unsigned blend(unsigned a, unsigned b, unsigned c, unsigned d, unsigned alpha) {
    unsigned out = alpha << 24;
    for (int i = 0; i < 3; ++i) {
        const int ca = static_cast<int>((a >> (8 * i)) & 0xFF), cb = static_cast<int>((b >> (8 * i)) & 0xFF);
        const int cd = static_cast<int>((d >> (8 * i)) & 0xFF);
        const int product = (ca - cb) * static_cast<int>(c);
        const int value = (product >= 0 ? product / 128 : -((-product + 127) / 128)) + cd;
        out |= static_cast<unsigned>(std::clamp(value, 0, 255)) << (8 * i);
    }
    return out;
}

}  // namespace

TEST(GsReadback, AGuestProgramReadsWhatItDrewBackThroughDmaAndTheFifo) {
    useTestPlugins(softGsConfig());
    ASSERT_TRUE(loadGuestProgram("gs_readback"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const unsigned background = 0x40C89664;  // (100, 150, 200), alpha 0x40
    const unsigned cs = 200 | (50 << 8) | (120 << 16);
    const unsigned alphaBlend = blend(cs, background, 0x60, background, 0x60);
    const unsigned fixAdd = blend(cs, 0, 0x30, background, 0x60);
    const unsigned green = 10 | (240 << 8) | (60 << 16);
    const unsigned reverse = blend(background, green, 0xA0, green, 0x20);
    const u32 dma = guestSymbol("dmaPixels");
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 8; ++x) {
            const unsigned expected = x < 4 ? alphaBlend : fixAdd;
            EXPECT_EQ(guestWord(dma + 4 * (row * 8 + x)), expected) << "DMA pixel " << x << ", row " << row;
        }
    }
    const u32 fifo = guestSymbol("fifoPixels");
    for (int x = 0; x < 4; ++x) EXPECT_EQ(guestWord(fifo + 4 * x), reverse) << "FIFO pixel " << x;
    // The textured sprite shows each texel once.
    const u32 texture = guestSymbol("texturePixels");
    for (unsigned v = 0; v < 4; ++v)
        for (unsigned u = 0; u < 4; ++u)
            EXPECT_EQ(guestWord(texture + 4 * (v * 4 + u)), 0x80000000u | (v << 16) | (u << 8) | (0x11 * (u + v)))
                << "texel " << u << ", " << v;
    // Along the triangle's top edge from the red corner to the green one:
    // pixel i is (8 - i)/8 red and i/8 green.
    const u32 triangle = guestSymbol("trianglePixels");
    for (unsigned i = 0; i < 8; ++i)
        EXPECT_EQ(guestWord(triangle + 4 * i), 0x80000000u | ((255 * i / 8) << 8) | (255 * (8 - i) / 8)) << "pixel " << i;
    const u32 restored = guestSymbol("restored");
    EXPECT_EQ(guestWord(restored), 0u);
    EXPECT_EQ(guestWord(restored + 4), 0u);
}

// A GS plugin without GSreadFIFO2 (the recording one) gives zeros: the
// program's buffers, filled with ones before, come back cleared.
TEST(GsReadback, AGsWithoutTheReadEntryPointGivesZeros) {
    useTestPlugins();
    ASSERT_TRUE(loadGuestProgram("gs_readback"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const u32 dma = guestSymbol("dmaPixels");
    const u32 fifo = guestSymbol("fifoPixels");
    for (int i = 0; i < 16; ++i) EXPECT_EQ(guestWord(dma + 4 * i), 0u) << i;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(guestWord(fifo + 4 * i), 0u) << i;
}
