// The displayed picture: the read circuits' buffers, sizes and positions,
// and the merge of circuit 1 over circuit 2 or the background colour.
#include <gtest/gtest.h>

#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/gs-soft/picture.h"
#include "ps2e/ps2e.h"

namespace {

constexpr uint32_t kPmode = 0x12000000, kSmode2 = 0x12000020, kDispfb1 = 0x12000070, kDisplay1 = 0x12000080,
                   kDispfb2 = 0x12000090, kDisplay2 = 0x120000A0, kBgcolor = 0x120000E0;

uint64_t dispfb(uint32_t fbp, uint32_t fbw, uint32_t psm) { return fbp | (fbw << 9) | (psm << 15); }
uint64_t display(uint32_t dw, uint32_t dh, uint32_t magh = 0) {
    return (uint64_t{magh} << 23) | (uint64_t{dw - 1} << 32) | (uint64_t{dh - 1} << 44);
}

// Fills a 64 x 32 buffer of one colour at page `fbp`.
void fill(uint32_t fbp, uint32_t psm, uint32_t value) {
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 64; ++x) gs::state.memory.writePixel(psm, fbp * 32, 1, x, y, value);
}

uint32_t merged(uint32_t over, uint32_t under, uint32_t alpha) {
    uint32_t out = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const uint32_t a = (over >> (8 * i)) & 0xFF, b = (under >> (8 * i)) & 0xFF;
        out |= ((a * alpha + b * (255 - alpha)) / 255) << (8 * i);
    }
    return out;
}

}  // namespace

TEST(DisplayedPicture, ReadCircuitsMergeOverEachOtherOrTheBackground) {
    GSinit();
    DisplayedPicture picture = composeDisplayedPicture();
    EXPECT_EQ(640, picture.width);
    EXPECT_EQ(448, picture.height);
    EXPECT_EQ(0xFF000000u, picture.pixels[1000]);

    const uint32_t first = 0x40102030, second = 0x80C08040;
    fill(0, gs::kPsmCt32, first);
    fill(1, gs::kPsmCt32, second);
    GSwrite64(kDispfb1, dispfb(0, 1, gs::kPsmCt32));
    GSwrite64(kDisplay1, display(32, 16));
    GSwrite64(kDispfb2, dispfb(1, 1, gs::kPsmCt32));
    GSwrite64(kDisplay2, display(32, 16));
    GSwrite64(kBgcolor, 0x0000FF);

    // Circuit 1 alone, over the background.
    GSwrite64(kPmode, 0x1 | (1 << 5) | (0xFF << 8));
    picture = composeDisplayedPicture();
    ASSERT_EQ(32, picture.width);
    ASSERT_EQ(16, picture.height);
    EXPECT_EQ(first | 0xFF000000u, picture.pixels[5]);

    // ALP 0x80 over circuit 2; with SLBG over the background instead; with
    // MMOD 0 the pixel's own alpha, doubled, weighs it.
    GSwrite64(kPmode, 0x3 | (1 << 5) | (0x80 << 8));
    EXPECT_EQ(merged(first, second, 0x80), composeDisplayedPicture().pixels[5]);
    GSwrite64(kPmode, 0x3 | (1 << 5) | (1 << 7) | (0x80 << 8));
    EXPECT_EQ(merged(first, 0x0000FF, 0x80), composeDisplayedPicture().pixels[5]);
    GSwrite64(kPmode, 0x3);
    EXPECT_EQ(merged(first, second, 0x80), composeDisplayedPicture().pixels[5]);

    // Circuit 2 alone, a 16-bit buffer, magnified four times across, in
    // interlaced field mode: 8 buffer pixels by 8 lines.
    fill(1, gs::kPsmCt16, 0x801F);
    GSwrite64(kDispfb2, dispfb(1, 1, gs::kPsmCt16));
    GSwrite64(kDisplay2, display(32, 16, 3));
    GSwrite64(kSmode2, 0x3);
    GSwrite64(kPmode, 0x2);
    picture = composeDisplayedPicture();
    EXPECT_EQ(8, picture.width);
    EXPECT_EQ(8, picture.height);
    EXPECT_EQ(0xFF0000F8u, picture.pixels[3]);
}
