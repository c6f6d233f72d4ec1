// A guest program draws blended sprites with the software GS and reads the
// frame back through DMA channel 1 and through the VIF1 FIFO; the words it
// receives are the colours the blend formula gives.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

// The bundled plugins beside corvane-run, with the software GS.
PluginConfig softGsConfig() {
    PluginConfig config;
    config.dir = CORVANE_BUNDLED_PLUGIN_DIR;
    config.gs = "gs-soft.so";
    config.spu = "null_spu2.so";
    config.pad = "null_pad.so";
    config.cdvd = "null_cdvd.so";
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

TEST(GsReadback, AGuestProgramReadsBlendedPixelsBackThroughDmaAndTheFifo) {
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
