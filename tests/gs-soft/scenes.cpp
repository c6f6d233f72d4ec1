// The scenes: each draws with one group of features and states what its
// pixels must be, from the fill rule, the blend formula, the texel that
// lies under a pixel, or the layout the data was uploaded in.
#include <algorithm>
#include <cmath>

#include "scene.h"

using namespace gs;

namespace {

constexpr uint32_t kTextureBp = 512;  // page 16
constexpr uint32_t kClutBp = 768;     // page 24
constexpr uint32_t kDepthPage = 40;

uint64_t tex0(uint32_t tbp, uint32_t tbw, uint32_t psm, uint32_t tw, uint32_t th, uint32_t tfx, bool tcc = true,
              uint32_t cbp = 0, uint32_t cpsm = 0, uint32_t csm = 0, uint32_t csa = 0, uint32_t cld = 0) {
    return tbp | (uint64_t{tbw} << 14) | (uint64_t{psm} << 20) | (uint64_t{tw} << 26) | (uint64_t{th} << 30) |
           (uint64_t{tcc} << 34) | (uint64_t{tfx} << 35) | (uint64_t{cbp} << 37) | (uint64_t{cpsm} << 51) |
           (uint64_t{csm} << 55) | (uint64_t{csa} << 56) | (uint64_t{cld} << 61);
}

uint64_t alphaValue(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t fix = 0) {
    return a | (b << 2) | (c << 4) | (d << 6) | (uint64_t{fix} << 32);
}

uint64_t zbufValue(uint32_t page, uint32_t psm, bool mask) { return page | (uint64_t{psm & 0xF} << 24) | (uint64_t{mask} << 32); }

// TEST fields.
constexpr uint64_t kDepthOn = 1 << 16;
constexpr uint64_t kDepthNever = kDepthOn | (0 << 17);
constexpr uint64_t kDepthAlways = kDepthOn | (1 << 17);
constexpr uint64_t kDepthGequal = kDepthOn | (2 << 17);
constexpr uint64_t kDepthGreater = kDepthOn | (3 << 17);
uint64_t alphaTest(uint32_t mode, uint32_t ref, uint32_t fail) { return 1 | (mode << 1) | (ref << 4) | (fail << 12); }

std::vector<uint8_t> wordsToBytes(const std::vector<uint32_t>& words) {
    std::vector<uint8_t> bytes(words.size() * 4);
    std::memcpy(bytes.data(), words.data(), bytes.size());
    return bytes;
}

// Channel i (0 R, 1 G, 2 B, 3 A) of a colour.
int ch(uint32_t c, int i) { return static_cast<int>((c >> (8 * i)) & 0xFF); }

void flatSpritesAndScissor(Scene& s) {
    const uint32_t green = colour(0, 255, 0), blue = colour(0, 0, 255), yellow = colour(255, 255, 0);
    s.sprite(0, 0, kFrameWidth, kFrameHeight, colour(20, 20, 40));
    s.sprite(10, 10, 40, 30, colour(255, 0, 0));
    // A sprite from (30.5, 20.25) to (60.5, 50.75) covers the pixels whose
    // corner lies inside: x 31-60, y 21-50.
    s.packet.registers({{kRegPrim, kPrimSprite},
                        {kRegRgbaq, green},
                        {kRegXyz2, xyz(488, 324, 0)},
                        {kRegXyz2, xyz(968, 812, 0)}});
    s.expectFrame(31, 21, green);
    s.expectFrame(30, 21, colour(255, 0, 0));
    s.expectFrame(60, 50, green);
    s.expectFrame(61, 50, colour(20, 20, 40));
    s.expectFrame(60, 51, colour(20, 20, 40));
    s.expectCount(0, 0, kFrameWidth, kFrameHeight, green, 30 * 30);
    // The scissor rectangle is inclusive at both ends.
    s.set(kRegScissor_1, scissorValue(70, 99, 10, 39));
    s.sprite(64, 0, 128, 64, blue);
    s.set(kRegScissor_1, scissorValue(0, 127, 0, 95));
    s.expectFrame(70, 10, blue);
    s.expectFrame(69, 10, colour(20, 20, 40));
    s.expectFrame(99, 39, blue);
    s.expectFrame(100, 39, colour(20, 20, 40));
    s.expectCount(0, 0, kFrameWidth, kFrameHeight, blue, 30 * 30);
    // Corners given bottom-right first.
    s.sprite(120, 90, 110, 80, yellow);
    s.expectCount(0, 0, kFrameWidth, kFrameHeight, yellow, 100);

    // Context 2 with its own frame registers, scissor and offset: the
    // vertex (1010, 565) lands at window pixel (10, 65).
    const uint32_t orange = colour(255, 128, 0);
    s.packet.registers({{kRegFrame_2, frameValue(0, 2, kPsmCt32)},
                        {kRegScissor_2, scissorValue(0, 127, 0, 69)},
                        {kRegXyoffset_2, (1000u << 4) | (uint64_t{500u << 4} << 32)},
                        {kRegTest_2, 0}});
    s.packet.registers({{kRegPrim, kPrimSprite | 0x200},
                        {kRegRgbaq, orange},
                        {kRegXyz2, xyz(1010 * 16, 565 * 16, 0)},
                        {kRegXyz2, xyz(1030 * 16, 575 * 16, 0)}});
    s.expectFrame(10, 65, orange);
    s.expectFrame(29, 69, orange);
    s.expectCount(0, 0, kFrameWidth, kFrameHeight, orange, 20 * 5);
}

void gouraudTrianglesAndFillRule(Scene& s) {
    // Two triangles of a strip share their diagonal: added together, no
    // pixel of the square is drawn twice or missed.
    s.set(kRegAlpha_1, alphaValue(0, 2, 2, 1, 0x80));
    s.packet.registers({{kRegPrim, kPrimTriangleStrip | kBlended},
                        {kRegRgbaq, colour(0, 0, 100)},
                        {kRegXyz2, xyz(8 * 16, 8 * 16, 0)},
                        {kRegXyz2, xyz(40 * 16, 8 * 16, 0)},
                        {kRegXyz2, xyz(8 * 16, 40 * 16, 0)},
                        {kRegXyz2, xyz(40 * 16, 40 * 16, 0)}});
    s.expectCount(0, 0, 48, 48, colour(0, 0, 100), 32 * 32);
    s.expectCount(0, 0, 48, 48, colour(0, 0, 200), 0);

    // A right triangle with legs of 70: the samples on its slanted (right)
    // edge are left out, those on its top and left edges kept.
    s.packet.registers({{kRegPrim, kPrimTriangle | kGouraud},
                        {kRegRgbaq, colour(255, 0, 0)},
                        {kRegXyz2, xyz(50 * 16, 10 * 16, 0)},
                        {kRegRgbaq, colour(0, 255, 0)},
                        {kRegXyz2, xyz(120 * 16, 10 * 16, 0)},
                        {kRegRgbaq, colour(0, 0, 255)},
                        {kRegXyz2, xyz(50 * 16, 80 * 16, 0)}});
    s.expectCount(50, 10, 121, 81, colour(0, 0, 0), 71 * 71 - 70 * 71 / 2);
    // (60, 20) weighs the vertices 5/7, 1/7, 1/7.
    s.expectFrame(60, 20, colour(255 * 5 / 7, 255 / 7, 255 / 7), 2);
    s.expectFrame(50, 10, colour(255, 0, 0), 1);

    // Flat shading takes the last vertex's colour.
    s.packet.registers({{kRegPrim, kPrimTriangle},
                        {kRegRgbaq, colour(255, 0, 0)},
                        {kRegXyz2, xyz(0, 50 * 16, 0)},
                        {kRegRgbaq, colour(0, 255, 0)},
                        {kRegXyz2, xyz(40 * 16, 50 * 16, 0)},
                        {kRegRgbaq, colour(0, 0, 255)},
                        {kRegXyz2, xyz(0, 90 * 16, 0)}});
    s.expectFrame(5, 55, colour(0, 0, 255));
    s.expectFrame(30, 55, colour(0, 0, 255));
}

void depthFormats(Scene& s) {
    const uint32_t formats[4] = {kPsmZ32, kPsmZ24, kPsmZ16, kPsmZ16S};
    for (int i = 0; i < 4; ++i) {
        const int x0 = 32 * i, x1 = x0 + 28;
        const uint32_t page = kDepthPage + 8 * i;
        const bool sixteen = formats[i] == kPsmZ16 || formats[i] == kPsmZ16S;
        auto band = [&](int y0, int y1, uint32_t rgba, uint32_t z) { s.sprite(x0, y0, x1, y1, rgba, z); };
        s.set(kRegZbuf_1, zbufValue(page, formats[i], false));
        s.set(kRegTest_1, kDepthAlways);
        band(0, 96, colour(0, 0, 0), 0);
        s.set(kRegTest_1, kDepthGequal);
        band(0, 30, colour(255, 0, 0), 1000);
        band(10, 40, colour(0, 255, 0), 500);
        s.set(kRegTest_1, kDepthGreater);
        band(20, 50, colour(0, 0, 255), 1000);
        // With ZMSK the depth stays 0, so a nearer-looking draw still wins.
        s.set(kRegTest_1, kDepthGequal);
        s.set(kRegZbuf_1, zbufValue(page, formats[i], true));
        band(55, 60, colour(255, 255, 0), 2000);
        s.set(kRegZbuf_1, zbufValue(page, formats[i], false));
        band(55, 60, colour(255, 255, 255), 1);
        // A depth above the format's largest value is stored as the largest.
        band(65, 70, colour(255, 0, 255), 0x20000);
        band(65, 70, colour(0, 255, 255), 0x10000);
        s.set(kRegTest_1, kDepthNever);
        band(75, 80, colour(128, 128, 128), 5);

        s.expectFrame(x0 + 5, 5, colour(255, 0, 0));
        s.expectFrame(x0 + 5, 25, colour(255, 0, 0));
        s.expectFrame(x0 + 5, 35, colour(0, 0, 255));
        s.expectFrame(x0 + 5, 45, colour(0, 0, 255));
        s.expectFrame(x0 + 5, 57, colour(255, 255, 255));
        s.expectFrame(x0 + 5, 67, sixteen ? colour(0, 255, 255) : colour(255, 0, 255));
        s.expectFrame(x0 + 5, 77, colour(0, 0, 0));
        s.expectMemory(formats[i], page * 32, 2, x0 + 5, 5, 1000);
        s.expectMemory(formats[i], page * 32, 2, x0 + 5, 57, 1);
        s.expectMemory(formats[i], page * 32, 2, x0 + 5, 67, sixteen ? 0xFFFF : 0x20000);
    }
    s.set(kRegTest_1, 0);
}

// An 8 x 8 texture whose texel (u, v) is (32u, 32v, 255 - 16u, 0x80).
uint32_t texel8x8(int u, int v) { return colour(32 * u, 32 * v, 255 - 16 * u); }

void uploadTexture8x8(Scene& s) {
    std::vector<uint32_t> texels;
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) texels.push_back(texel8x8(u, v));
    s.upload(kPsmCt32, kTextureBp, 1, 0, 0, 8, 8, wordsToBytes(texels));
}

void texturesWrapAndFilter(Scene& s) {
    uploadTexture8x8(s);
    const uint32_t decal = 1, modulate = 0, highlight = 2, highlight2 = 3;
    s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt32, 3, 3, decal));
    s.set(kRegTex1_1, 0);
    s.set(kRegClamp_1, 0);
    // One texel per pixel.
    s.texturedSprite(0, 0, 8, 8, 0, 0, 128, 128, colour(0, 0, 0));
    s.expectFrame(3, 5, texel8x8(3, 5));
    s.expectFrame(7, 0, texel8x8(7, 0));
    // Magnified four times with bilinear filtering: texel centres lie at
    // .5, so (20, 6), at texel coordinates (1.0, 1.5), is half texel 0 and
    // half texel 1 of row 1; (22, 6) is texel 1 alone.
    s.set(kRegTex1_1, 1 << 5);
    s.texturedSprite(16, 0, 48, 32, 0, 0, 128, 128, colour(0, 0, 0));
    s.expectFrame(20, 6, colour(16, 32, 247));
    s.expectFrame(22, 6, texel8x8(1, 1));
    s.set(kRegTex1_1, 0);
    // Repeat, clamp, region clamp (2..5) and region repeat (u & 3 | 4).
    s.texturedSprite(56, 0, 72, 16, 0, 0, 256, 256, colour(0, 0, 0));
    s.expectFrame(56 + 9, 2, texel8x8(1, 2));
    s.set(kRegClamp_1, 1 | (1 << 2));
    s.texturedSprite(56, 20, 72, 36, 0, 0, 256, 256, colour(0, 0, 0));
    s.expectFrame(56 + 12, 22, texel8x8(7, 2));
    s.set(kRegClamp_1, 2 | (2 << 2) | (2 << 4) | (5 << 14) | (uint64_t{0} << 24) | (uint64_t{7} << 34));
    s.texturedSprite(80, 0, 88, 8, 0, 0, 128, 128, colour(0, 0, 0));
    s.expectFrame(80, 1, texel8x8(2, 1));
    s.expectFrame(83, 1, texel8x8(3, 1));
    s.expectFrame(87, 1, texel8x8(5, 1));
    s.set(kRegClamp_1, 3 | (3 << 2) | (3 << 4) | (4 << 14) | (uint64_t{7} << 24) | (uint64_t{0} << 34));
    s.texturedSprite(80, 20, 88, 28, 0, 0, 128, 128, colour(0, 0, 0));
    s.expectFrame(81, 21, texel8x8(5, 1));
    s.expectFrame(86, 21, texel8x8(6, 1));
    s.set(kRegClamp_1, 0);

    // The colour functions, with the texture's alpha (TCC) or without.
    const uint32_t t = texel8x8(3, 5);
    s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt32, 3, 3, modulate));
    s.texturedSprite(96, 0, 104, 8, 0, 0, 128, 128, colour(128, 64, 255, 0x40));
    s.expectFrame(99, 5, colour(ch(t, 0), ch(t, 1) * 64 / 128, std::min(255, ch(t, 2) * 255 / 128), 0x80 * 0x40 / 128));
    s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt32, 3, 3, highlight));
    s.texturedSprite(104, 0, 112, 8, 0, 0, 128, 128, colour(64, 64, 64, 0x20));
    s.expectFrame(107, 5, colour(ch(t, 0) / 2 + 0x20, ch(t, 1) / 2 + 0x20, ch(t, 2) / 2 + 0x20, 0x80 + 0x20));
    s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt32, 3, 3, highlight2));
    s.texturedSprite(112, 0, 120, 8, 0, 0, 128, 128, colour(64, 64, 64, 0x20));
    s.expectFrame(115, 5, colour(ch(t, 0) / 2 + 0x20, ch(t, 1) / 2 + 0x20, ch(t, 2) / 2 + 0x20, 0x80));
    s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt32, 3, 3, decal, false));
    s.texturedSprite(120, 0, 128, 8, 0, 0, 128, 128, colour(64, 64, 64, 0x30));
    s.expectFrame(123, 5, (t & 0xFFFFFF) | (0x30u << 24));

    // Perspective: S runs 0 to 2 and Q 1 to 2 along the top edge, so a
    // pixel samples at (S/Q) of the width, not at its share of the edge.
    s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt32, 3, 3, decal));
    auto vertex = [&](int x, int y, float sv, float tv, float q) {
        s.packet.registers({{kRegRgbaq, colour(0, 0, 0) | (floatBits(q) << 32)},
                            {kRegSt, floatBits(sv) | (floatBits(tv) << 32)},
                            {kRegXyz2, xyz(x * 16, y * 16, 0)}});
    };
    s.set(kRegPrim, kPrimTriangle | kTextured);
    vertex(0, 40, 0.0f, 0.0f, 1.0f);
    vertex(64, 40, 2.0f, 0.0f, 2.0f);
    vertex(0, 90, 0.0f, 1.0f, 1.0f);
    for (int x : {16, 32, 48}) {
        const double along = x / 64.0;
        const double sOverQ = (2.0 * along) / (1.0 + along);
        const double tOverQ = (1.0 / 50.0) / (1.0 + along);
        s.expectFrame(x, 41, texel8x8(static_cast<int>(sOverQ * 8), static_cast<int>(tOverQ * 8)));
    }
}

// CLUT colours used by the CLUT scene.
uint32_t clut32Entry(int i) { return colour(i, 255 - i, (i * 7) & 255); }
uint16_t clut16(int r5, int g5, int b5, bool a) { return static_cast<uint16_t>(r5 | (g5 << 5) | (b5 << 10) | (a << 15)); }
uint16_t clutB(int j) { return clut16(2 * j, 31 - j, j, true); }
uint16_t clutC(int j) { return clut16(31 - j, j, 0, false); }
uint16_t clutD(int j) { return clut16(j, j, 31, true); }
// A 16-bit colour as the texture unit expands it, with TEXA TA0 0x10, TA1 0x80.
uint32_t expanded(uint16_t c) {
    return colour((c & 0x1F) << 3, ((c >> 5) & 0x1F) << 3, ((c >> 10) & 0x1F) << 3, (c & 0x8000) ? 0x80 : 0x10);
}

std::vector<uint8_t> clut16Bytes(uint16_t (*entry)(int)) {
    std::vector<uint8_t> bytes;
    for (int j = 0; j < 16; ++j) {
        bytes.push_back(static_cast<uint8_t>(entry(j)));
        bytes.push_back(static_cast<uint8_t>(entry(j) >> 8));
    }
    return bytes;
}

void clutTextures(Scene& s) {
    // A 256-colour CLUT stored as 16 x 16 32-bit pixels in the CSM1
    // arrangement: each pair of rows holds 32 entries, the first row
    // entries 0-7 then 16-23, the second 8-15 then 24-31.
    std::vector<uint32_t> clut(256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) clut[y * 16 + x] = clut32Entry((y / 2) * 32 + (y % 2) * 8 + (x / 8) * 16 + x % 8);
    s.upload(kPsmCt32, kClutBp, 1, 0, 0, 16, 16, wordsToBytes(clut));
    std::vector<uint8_t> indices(256);
    for (int i = 0; i < 256; ++i) indices[i] = static_cast<uint8_t>(i);
    s.upload(kPsmT8, kTextureBp, 2, 0, 0, 16, 16, indices);
    s.set(kRegTex1_1, 0);
    s.set(kRegClamp_1, 0);
    s.set(kRegTex0_1, tex0(kTextureBp, 2, kPsmT8, 4, 4, 1, true, kClutBp, kPsmCt32, 0, 0, 1));
    s.texturedSprite(0, 0, 16, 16, 0, 0, 256, 256, 0);
    for (auto [u, v] : {std::pair{9, 0}, {0, 1}, {10, 3}, {15, 15}, {7, 8}})
        s.expectFrame(u, v, clut32Entry(v * 16 + u));

    // 16-colour CLUTs of 16-bit entries (8 x 2, in order) in two CLUT
    // buffer slots chosen by CSA.
    s.set(kRegTexa, 0x10 | (uint64_t{0x80} << 32));
    s.upload(kPsmCt16, kClutBp + 32, 1, 0, 0, 8, 2, clut16Bytes(clutB));
    s.upload(kPsmCt16, kClutBp + 64, 1, 0, 0, 8, 2, clut16Bytes(clutC));
    std::vector<uint8_t> nibbles(32);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; u += 2) nibbles[(v * 8 + u) / 2] = static_cast<uint8_t>(((u + v) & 15) | (((u + 1 + v) & 15) << 4));
    s.upload(kPsmT4, kTextureBp + 64, 2, 0, 0, 8, 8, nibbles);
    auto t4 = [&](uint32_t cbp, uint32_t csm, uint32_t csa, uint32_t cld) {
        return tex0(kTextureBp + 64, 2, kPsmT4, 3, 3, 1, true, cbp, kPsmCt16, csm, csa, cld);
    };
    s.set(kRegTex0_1, t4(kClutBp + 32, 0, 0, 1));
    s.set(kRegTex0_1, t4(kClutBp + 64, 0, 1, 1));
    s.set(kRegTex0_1, t4(0, 0, 0, 0));
    s.texturedSprite(20, 0, 28, 8, 0, 0, 128, 128, 0);
    s.set(kRegTex0_1, t4(0, 0, 1, 0));
    s.texturedSprite(30, 0, 38, 8, 0, 0, 128, 128, 0);
    s.expectFrame(20 + 3, 2, expanded(clutB(5)));
    s.expectFrame(30 + 3, 2, expanded(clutC(5)));
    s.expectFrame(30 + 7, 7, expanded(clutC(14)));

    // CLD 4 loads only when CBP differs from CBP0: the same CBP again keeps
    // the buffer even though memory changed; a new one loads.
    s.set(kRegTex0_1, t4(kClutBp + 32, 0, 2, 2));
    s.upload(kPsmCt16, kClutBp + 32, 1, 0, 0, 8, 2, clut16Bytes(clutC));
    s.set(kRegTex0_1, t4(kClutBp + 32, 0, 2, 4));
    s.texturedSprite(40, 0, 48, 8, 0, 0, 128, 128, 0);
    s.expectFrame(40 + 3, 2, expanded(clutB(5)));
    s.set(kRegTex0_1, t4(kClutBp + 64, 0, 3, 4));
    s.texturedSprite(50, 0, 58, 8, 0, 0, 128, 128, 0);
    s.expectFrame(50 + 3, 2, expanded(clutC(5)));

    // CSM2: the entries lie in a row of a 16-bit buffer, from TEXCLUT's
    // COU x 16 and COV.
    std::vector<uint8_t> row = clut16Bytes(clutD);
    s.upload(kPsmCt16, kClutBp + 96, 1, 16, 3, 16, 1, row);
    s.set(kRegTexclut, 1 | (1 << 6) | (3 << 12));
    s.set(kRegTex0_1, t4(kClutBp + 96, 1, 4, 1));
    s.texturedSprite(60, 0, 68, 8, 0, 0, 128, 128, 0);
    s.expectFrame(60 + 3, 2, expanded(clutD(5)));
}

void blending(Scene& s) {
    const uint32_t cd = colour(100, 150, 200, 0x40);
    s.sprite(0, 0, kFrameWidth, kFrameHeight, cd);
    const uint32_t cs = colour(200, 50, 120, 0x60);
    auto check = [&](int x, int a, int b, int c, int d, uint32_t source, bool clamp = true) {
        uint32_t out = static_cast<uint32_t>(ch(source, 3)) << 24;
        for (int i = 0; i < 3; ++i) {
            const int choices[3] = {ch(source, i), ch(cd, i), 0};
            const int value = blendFormula(choices[a], choices[b], c, choices[d]);
            out |= static_cast<uint32_t>(clamp ? std::clamp(value, 0, 255) : value & 0xFF) << (8 * i);
        }
        s.expectFrame(x + 3, 3, out);
    };
    s.set(kRegAlpha_1, alphaValue(0, 1, 0, 1));
    s.sprite(0, 0, 10, 10, cs, 0, kBlended);
    check(0, 0, 1, 0x60, 1, cs);
    s.set(kRegAlpha_1, alphaValue(1, 0, 1, 0));
    s.sprite(10, 0, 20, 10, cs, 0, kBlended);
    check(10, 1, 0, 0x40, 0, cs);
    s.set(kRegAlpha_1, alphaValue(0, 2, 2, 1, 0x80));
    s.sprite(20, 0, 30, 10, cs, 0, kBlended);
    check(20, 0, 2, 0x80, 1, cs);
    s.set(kRegColclamp, 0);
    s.sprite(30, 0, 40, 10, cs, 0, kBlended);
    check(30, 0, 2, 0x80, 1, cs, false);
    s.set(kRegColclamp, 1);
    s.set(kRegAlpha_1, alphaValue(2, 0, 2, 1, 0x40));
    s.sprite(40, 0, 50, 10, cs, 0, kBlended);
    check(40, 2, 0, 0x40, 1, cs);
    // PABE: only sources with alpha bit 7 set are blended.
    s.set(kRegPabe, 1);
    s.set(kRegAlpha_1, alphaValue(0, 1, 0, 1));
    s.sprite(50, 0, 60, 10, cs, 0, kBlended);
    s.expectFrame(53, 3, cs);
    const uint32_t high = colour(200, 50, 120, 0x90);
    s.sprite(60, 0, 70, 10, high, 0, kBlended);
    check(60, 0, 1, 0x90, 1, high);
    s.set(kRegPabe, 0);
    // With PRMODECONT 0 the attributes come from PRMODE, not PRIM.
    s.set(kRegAlpha_1, alphaValue(0, 1, 0, 1));
    s.set(kRegPrmodecont, 0);
    s.set(kRegPrmode, kBlended);
    s.sprite(80, 0, 90, 10, cs);
    check(80, 0, 1, 0x60, 1, cs);
    s.set(kRegPrmode, 0);
    s.sprite(90, 0, 100, 10, cs, 0, kBlended);
    s.expectFrame(93, 3, cs);
    s.set(kRegPrmodecont, 1);
    // FBA sets alpha bit 7 of what is stored.
    s.set(kRegFba_1, 1);
    s.sprite(70, 0, 80, 10, cs);
    s.expectFrame(73, 3, (cs & 0xFFFFFF) | 0xE0000000u);
    s.set(kRegFba_1, 0);
}

void testsAndMasks(Scene& s) {
    s.sprite(0, 0, 64, kFrameHeight, colour(0, 0, 0, 0x00));
    s.sprite(64, 0, 128, kFrameHeight, colour(0, 0, 0, 0x80));
    s.set(kRegZbuf_1, zbufValue(kDepthPage, kPsmZ32, false));
    s.set(kRegTest_1, kDepthAlways);
    s.sprite(0, 0, 128, 96, colour(0, 0, 0, 0), 100);
    s.sprite(64, 0, 128, kFrameHeight, colour(0, 0, 0, 0x80), 100);
    const uint32_t bp = kDepthPage * 32;
    auto withDepth = [](uint64_t test) { return test | kDepthAlways; };
    const uint32_t kLess = 2, kGreater = 6, kKeep = 0, kFrameOnly = 1, kDepthOnly = 2, kRgbOnly = 3;
    s.set(kRegTest_1, withDepth(alphaTest(kLess, 0x50, kKeep)));
    s.sprite(0, 0, 10, 10, colour(255, 0, 0, 0x40), 1);
    s.expectFrame(5, 5, colour(255, 0, 0, 0x40));
    s.set(kRegTest_1, withDepth(alphaTest(kGreater, 0x50, kKeep)));
    s.sprite(10, 0, 20, 10, colour(0, 255, 0, 0x40), 2);
    s.expectFrame(15, 5, colour(0, 0, 0, 0));
    s.expectMemory(kPsmZ32, bp, 2, 15, 5, 100);
    s.set(kRegTest_1, withDepth(alphaTest(kGreater, 0x50, kFrameOnly)));
    s.sprite(20, 0, 30, 10, colour(0, 0, 255, 0x40), 7);
    s.expectFrame(25, 5, colour(0, 0, 255, 0x40));
    s.expectMemory(kPsmZ32, bp, 2, 25, 5, 100);
    s.set(kRegTest_1, withDepth(alphaTest(kGreater, 0x50, kDepthOnly)));
    s.sprite(30, 0, 40, 10, colour(255, 255, 0, 0x40), 9);
    s.expectFrame(35, 5, colour(0, 0, 0, 0));
    s.expectMemory(kPsmZ32, bp, 2, 35, 5, 9);
    s.set(kRegTest_1, withDepth(alphaTest(kGreater, 0x50, kRgbOnly)));
    s.sprite(40, 0, 50, 10, colour(255, 255, 255, 0x40), 11);
    s.expectFrame(45, 5, colour(255, 255, 255, 0x00));
    s.expectMemory(kPsmZ32, bp, 2, 45, 5, 100);

    // Destination alpha test: the left half's stored alpha bit is 0, the
    // right half's 1.
    const uint64_t kDate = 1 << 14, kDatm = 1 << 15;
    s.set(kRegTest_1, kDate | kDatm);
    s.sprite(54, 20, 74, 30, colour(0, 255, 255));
    s.expectFrame(60, 25, colour(0, 0, 0, 0));
    s.expectFrame(70, 25, colour(0, 255, 255));
    s.set(kRegTest_1, kDate);
    s.sprite(54, 40, 74, 50, colour(255, 0, 255));
    s.expectFrame(60, 45, colour(255, 0, 255));
    s.expectFrame(70, 45, colour(0, 0, 0, 0x80));
    s.set(kRegTest_1, 0);

    // FBMSK bits keep what the frame holds.
    s.set(kRegFrame_1, frameValue(0, 2, kPsmCt32, 0x0000FF00));
    s.sprite(0, 60, 10, 70, colour(255, 255, 255));
    s.set(kRegFrame_1, frameValue(0, 2, kPsmCt32));
    s.expectFrame(5, 65, colour(255, 0, 255));
}

void fogAndLines(Scene& s) {
    s.set(kRegFogcol, 10 | (20 << 8) | (200 << 16));
    auto foggedSprite = [&](int x0, uint32_t fog) {
        s.packet.registers({{kRegPrim, kPrimSprite | kFogged},
                            {kRegRgbaq, colour(200, 100, 50)},
                            {kRegXyzf2, xyz(x0 * 16, 0, 0) | (uint64_t{fog} << 56)},
                            {kRegXyzf2, xyz((x0 + 10) * 16, 10 * 16, 0) | (uint64_t{fog} << 56)}});
    };
    foggedSprite(0, 0x40);
    s.expectFrame(5, 5, colour((0x40 * 200 + 191 * 10) >> 8, (0x40 * 100 + 191 * 20) >> 8, (0x40 * 50 + 191 * 200) >> 8));
    foggedSprite(10, 0xFF);
    s.expectFrame(15, 5, colour(255 * 200 >> 8, 255 * 100 >> 8, 255 * 50 >> 8));

    // Points cover the pixel nearest them; lines leave their last pixel to
    // the next line of a strip.
    s.packet.registers({{kRegPrim, kPrimPoint},
                        {kRegRgbaq, colour(255, 255, 255)},
                        {kRegXyz2, xyz(5 * 16, 20 * 16, 0)},
                        {kRegXyz2, xyz(7 * 16 + 8, 20 * 16 + 7, 0)}});
    s.expectFrame(5, 20, colour(255, 255, 255));
    s.expectFrame(8, 20, colour(255, 255, 255));
    s.expectCount(0, 18, 12, 23, colour(255, 255, 255), 2);
    s.packet.registers({{kRegPrim, kPrimLine},
                        {kRegRgbaq, colour(0, 255, 0)},
                        {kRegXyz2, xyz(10 * 16, 30 * 16, 0)},
                        {kRegXyz2, xyz(30 * 16, 30 * 16, 0)}});
    s.expectCount(0, 30, kFrameWidth, 31, colour(0, 255, 0), 20);
    s.packet.registers({{kRegPrim, kPrimLineStrip},
                        {kRegRgbaq, colour(255, 255, 0)},
                        {kRegXyz2, xyz(40 * 16, 40 * 16, 0)},
                        {kRegXyz2, xyz(60 * 16, 60 * 16, 0)},
                        {kRegXyz2, xyz(80 * 16, 40 * 16, 0)}});
    s.expectFrame(50, 50, colour(255, 255, 0));
    s.expectFrame(60, 60, colour(255, 255, 0));
    s.expectFrame(80, 40, colour(0, 0, 0));
    s.expectCount(38, 38, 82, 62, colour(255, 255, 0), 40);
    s.packet.registers({{kRegPrim, kPrimLine | kGouraud},
                        {kRegRgbaq, colour(255, 0, 0)},
                        {kRegXyz2, xyz(10 * 16, 80 * 16, 0)},
                        {kRegRgbaq, colour(0, 0, 255)},
                        {kRegXyz2, xyz(50 * 16, 80 * 16, 0)}});
    s.expectFrame(30, 80, colour(127, 0, 127), 1);
}

void frame16AndDither(Scene& s) {
    s.framePsm = kPsmCt16;
    s.set(kRegFrame_1, frameValue(0, 2, kPsmCt16));
    s.sprite(0, 0, kFrameWidth, kFrameHeight, colour(0, 0, 0, 0));
    s.sprite(0, 0, 32, 32, colour(100, 100, 100));
    const uint32_t grey12 = 12 | (12 << 5) | (12 << 10) | (1 << 15);
    s.expectMemory(kPsmCt16, 0, 2, 5, 5, grey12);
    // DIMX row 0: -4, +3, 0, 0.
    s.set(kRegDimx, 4 | (3 << 4));
    s.set(kRegDthe, 1);
    s.sprite(40, 0, 72, 32, colour(101, 101, 101));
    s.set(kRegDthe, 0);
    s.expectMemory(kPsmCt16, 0, 2, 40, 0, grey12);
    s.expectMemory(kPsmCt16, 0, 2, 41, 0, 13 | (13 << 5) | (13 << 10) | (1 << 15));
    s.expectMemory(kPsmCt16, 0, 2, 42, 0, grey12);
    // Blending reads the 16-bit destination back as 8-bit channels.
    s.set(kRegAlpha_1, alphaValue(0, 1, 2, 1, 0x40));
    s.sprite(0, 40, 32, 72, colour(200, 0, 0, 0x80));
    s.sprite(0, 40, 32, 72, colour(0, 0, 0, 0x80), 0, kBlended);
    s.expectMemory(kPsmCt16, 0, 2, 5, 45, (blendFormula(0, 200, 0x40, 200) >> 3) | (1 << 15));
}

void transfers(Scene& s) {
    // 24-bit pixels come three bytes each and leave the word's top byte.
    std::vector<uint32_t> base(8, 0xAB000000u);
    s.upload(kPsmCt32, 0, 2, 0, 0, 4, 2, wordsToBytes(base));
    std::vector<uint8_t> packed24(24);
    for (int i = 0; i < 24; ++i) packed24[i] = static_cast<uint8_t>(10 * i + 1);
    s.upload(kPsmCt24, 0, 2, 0, 0, 4, 2, packed24);
    for (int k = 0; k < 8; ++k)
        s.expectMemory(kPsmCt32, 0, 2, k % 4, k / 4,
                       0xAB000000u | packed24[3 * k] | (packed24[3 * k + 1] << 8) | (packed24[3 * k + 2] << 16));
    // 4-bit pixels come two to a byte, the first in the low nibble.
    s.upload(kPsmT4, kTextureBp + 128, 2, 3, 1, 4, 1, {0x21, 0x43});
    for (int k = 0; k < 4; ++k) s.expectMemory(kPsmT4, kTextureBp + 128, 2, 3 + k, 1, static_cast<uint32_t>(k + 1));

    // A copy inside local memory, and in-place shifts right by one pixel in
    // both horizontal orders: right to left (DIR 2) moves the row, left to
    // right (DIR 0) repeats its first pixel.
    uploadTexture8x8(s);
    auto copy = [&](uint32_t sbp, uint32_t sbw, int sx, int sy, uint32_t dbp, int dx, int dy, int w, int h, uint32_t dir) {
        s.packet.registers(
            {{kRegBitbltbuf, sbp | (uint64_t{sbw} << 16) | (uint64_t{dbp} << 32) | (uint64_t{2} << 48)},
             {kRegTrxpos, uint64_t(sx) | (uint64_t(sy) << 16) | (uint64_t(dx) << 32) | (uint64_t(dy) << 48) | (uint64_t{dir} << 59)},
             {kRegTrxreg, uint64_t(w) | (uint64_t(h) << 32)},
             {kRegTrxdir, 2}});
    };
    copy(kTextureBp, 1, 0, 0, 0, 16, 16, 8, 8, 0);
    s.expectFrame(16 + 3, 16 + 5, texel8x8(3, 5));
    s.expectFrame(16 + 7, 16 + 7, texel8x8(7, 7));
    copy(0, 2, 16, 16, 0, 17, 16, 7, 1, 2);
    copy(0, 2, 16, 17, 0, 17, 17, 7, 1, 0);
    for (int k = 1; k < 8; ++k) {
        s.expectFrame(16 + k, 16, texel8x8(k - 1, 0));
        s.expectFrame(16 + k, 17, texel8x8(0, 1));
    }
}

// 16- and 24-bit textures take their alpha from TEXA: TA1 for a set alpha
// bit, TA0 otherwise, and 0 for black under AEM.
void directTextureFormatsAndTexa(Scene& s) {
    const uint16_t texels16[4] = {clut16(31, 0, 0, true), clut16(0, 31, 0, false), clut16(0, 0, 0, false),
                                  clut16(0, 0, 0, true)};
    std::vector<uint8_t> bytes16;
    for (uint16_t t : texels16) {
        bytes16.push_back(static_cast<uint8_t>(t));
        bytes16.push_back(static_cast<uint8_t>(t >> 8));
    }
    s.upload(kPsmCt16, kTextureBp, 1, 0, 0, 2, 2, bytes16);
    s.upload(kPsmCt24, kTextureBp + 32, 1, 0, 0, 2, 1, {10, 20, 30, 0, 0, 0});
    s.set(kRegTex1_1, 0);
    s.set(kRegClamp_1, 0);
    const uint32_t decal = 1;
    for (int aem = 0; aem < 2; ++aem) {
        const int y = 20 * aem;
        s.set(kRegTexa, 0x30 | (uint64_t(aem) << 15) | (uint64_t{0x70} << 32));
        s.set(kRegTex0_1, tex0(kTextureBp, 1, kPsmCt16, 1, 1, decal));
        s.texturedSprite(0, y, 16, y + 16, 0, 0, 32, 32, 0);
        s.set(kRegTex0_1, tex0(kTextureBp + 32, 1, kPsmCt24, 1, 0, decal));
        s.texturedSprite(20, y, 36, y + 16, 0, 0, 32, 16, 0);
        s.expectFrame(2, y + 2, colour(248, 0, 0, 0x70));
        s.expectFrame(10, y + 2, colour(0, 248, 0, 0x30));
        s.expectFrame(2, y + 10, colour(0, 0, 0, aem ? 0 : 0x30));
        s.expectFrame(10, y + 10, colour(0, 0, 0, 0x70));
        s.expectFrame(22, y + 2, colour(10, 20, 30, 0x30));
        s.expectFrame(30, y + 2, colour(0, 0, 0, aem ? 0 : 0x30));
    }
}

}  // namespace

const std::vector<SceneEntry> kScenes = {
    {"flat_sprites_and_scissor", flatSpritesAndScissor},
    {"gouraud_triangles_and_fill_rule", gouraudTrianglesAndFillRule},
    {"depth_formats", depthFormats},
    {"textures_wrap_filter_and_colour_functions", texturesWrapAndFilter},
    {"clut_textures", clutTextures},
    {"direct_texture_formats_and_texa", directTextureFormatsAndTexa},
    {"blending", blending},
    {"alpha_and_destination_tests_and_masks", testsAndMasks},
    {"fog_points_and_lines", fogAndLines},
    {"frame16_dither_and_blend", frame16AndDither},
    {"transfers", transfers},
};
