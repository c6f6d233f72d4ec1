#include "ps2e/gs-soft/pixel_pipeline.h"

#include <algorithm>

#include "ps2e/gs-soft/gs_state.h"

namespace gs {
namespace {

enum AlphaTestMode : uint32_t { kNever, kAlways, kLess, kLequal, kEqual, kGequal, kGreater, kNotEqual };
enum AlphaFail : uint32_t { kFailKeep, kFailFrameOnly, kFailDepthOnly, kFailRgbOnly };
enum DepthTestMode : uint32_t { kDepthNever, kDepthAlways, kDepthGequal, kDepthGreater };

// With the depth test switched off (TEST ZTE 0) the depth unit neither
// tests nor writes, whatever ZMSK says, so a program that never set ZBUF
// does not have depth values written over its frame.
constexpr bool kDepthWritesNeedDepthTest = true;

// A 24-bit frame keeps no alpha; blending reads its destination alpha as
// 0x80 (1.0).
constexpr uint32_t kFrame24DestinationAlpha = 0x80;

bool alphaPasses(uint32_t mode, uint32_t alpha, uint32_t ref) {
    switch (mode) {
    case kNever:
        return false;
    case kAlways:
        return true;
    case kLess:
        return alpha < ref;
    case kLequal:
        return alpha <= ref;
    case kEqual:
        return alpha == ref;
    case kGequal:
        return alpha >= ref;
    case kGreater:
        return alpha > ref;
    default:
        return alpha != ref;
    }
}

uint32_t channel(uint32_t colour, unsigned index) { return (colour >> (8 * index)) & 0xFF; }

// FBMSK names bits of the 32-bit colour; a 16-bit frame masks the five top
// bits of each colour and the alpha bit.
uint32_t frameMaskFor(uint32_t fbmsk, bool frame16) {
    if (!frame16) return fbmsk;
    return ((fbmsk >> 3) & 0x1F) | (((fbmsk >> 11) & 0x1F) << 5) | (((fbmsk >> 19) & 0x1F) << 10) |
           (((fbmsk >> 31) & 1) << 15);
}

uint32_t encodeFrame(const DrawContext& context, uint32_t colour) {
    if (!context.frame16) return colour;
    return ((colour >> 3) & 0x1F) | (((colour >> 11) & 0x1F) << 5) | (((colour >> 19) & 0x1F) << 10) |
           ((colour >> 31) << 15);
}

uint32_t decodeFrame(const DrawContext& context, uint32_t stored) {
    if (context.frame16)
        return ((stored & 0x1F) << 3) | (((stored >> 5) & 0x1F) << 11) | (((stored >> 10) & 0x1F) << 19) |
               ((stored & 0x8000) ? 0x80000000u : 0);
    if (context.frame24) return stored | (kFrame24DestinationAlpha << 24);
    return stored;
}

// Blending: ((A - B) * C >> 7) + D for each colour channel, A, B and D
// chosen among the source, the destination and 0, C among the source
// alpha, the destination alpha and FIX.
int blendChannel(const DrawContext& context, int source, int destination, int sourceAlpha, int destinationAlpha) {
    const int choices[3] = {source, destination, 0};
    const int factors[3] = {sourceAlpha, destinationAlpha, static_cast<int>(context.blendFix)};
    const int a = choices[context.blendA < 3 ? context.blendA : 2];
    const int b = choices[context.blendB < 3 ? context.blendB : 2];
    const int c = factors[context.blendC < 3 ? context.blendC : 2];
    const int d = choices[context.blendD < 3 ? context.blendD : 2];
    return (((a - b) * c) >> 7) + d;
}

}  // namespace

void makeDrawContext(DrawContext& context, float lod) {
    const auto& reg = state.reg;
    const uint64_t prim = reg[kRegPrim];
    const uint64_t attributes = field(reg[kRegPrmodecont], 0, 1) ? prim : reg[kRegPrmode];
    context.gouraud = field(attributes, 3, 1);
    context.textured = field(attributes, 4, 1);
    context.fogged = field(attributes, 5, 1);
    context.blended = field(attributes, 6, 1);
    context.uvCoordinates = field(attributes, 8, 1);
    const uint32_t c = field(attributes, 9, 1);

    const uint64_t frame = reg[kRegFrame_1 + c];
    context.framePsm = field(frame, 24, 6);
    context.frameLayout = &layoutOf(context.framePsm);
    context.frameBp = field(frame, 0, 9) * 32;
    context.frameBw = field(frame, 16, 6);
    context.frame16 = is16BitColour(context.framePsm);
    context.frame24 = context.framePsm == kPsmCt24 || context.framePsm == kPsmZ24;
    context.frameMask = frameMaskFor(field(frame, 32, 32), context.frame16);

    const uint64_t test = reg[kRegTest_1 + c];
    const uint64_t zbuf = reg[kRegZbuf_1 + c];
    const uint32_t depthPsm = 0x30 | field(zbuf, 24, 4);
    context.depthLayout = &layoutOf(depthPsm);
    context.depthBp = field(zbuf, 0, 9) * 32;
    context.depthTest = field(test, 16, 1);
    context.depthTestMode = field(test, 17, 2);
    context.depthWrite = !field(zbuf, 32, 1) && (context.depthTest || !kDepthWritesNeedDepthTest);
    context.depthMax = bitsPerPixel(depthPsm) == 32 ? 0xFFFFFFFF : bitsPerPixel(depthPsm) == 24 ? 0xFFFFFF : 0xFFFF;
    context.alphaTest = field(test, 0, 1);
    context.alphaTestMode = field(test, 1, 3);
    context.alphaRef = field(test, 4, 8);
    context.alphaFail = field(test, 12, 2);
    context.destinationAlphaTest = field(test, 14, 1) && !context.frame24;
    context.destinationAlphaPass = field(test, 15, 1);

    const uint64_t tex0 = reg[kRegTex0_1 + c];
    context.textureFunction = field(tex0, 35, 2);
    context.textureAlpha = field(tex0, 34, 1);
    if (context.textured)
        context.texture = makeTextureSetup(tex0, reg[kRegTex1_1 + c], reg[kRegClamp_1 + c], reg[kRegTexa], lod);

    const uint64_t alpha = reg[kRegAlpha_1 + c];
    context.blendA = field(alpha, 0, 2);
    context.blendB = field(alpha, 2, 2);
    context.blendC = field(alpha, 4, 2);
    context.blendD = field(alpha, 6, 2);
    context.blendFix = field(alpha, 32, 8);
    context.blendOnlyHighAlpha = field(reg[kRegPabe], 0, 1);
    context.clampColour = field(reg[kRegColclamp], 0, 1);
    context.forceAlphaHigh = field(reg[kRegFba_1 + c], 0, 1);
    context.dither = field(reg[kRegDthe], 0, 1) && context.frame16;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int value = static_cast<int>(field(reg[kRegDimx], row * 16 + column * 4, 3));
            context.ditherMatrix[row][column] = value >= 4 ? value - 8 : value;
        }
    }
    context.fogColour = field(reg[kRegFogcol], 0, 24);
    context.scanMask = field(reg[kRegScanmsk], 0, 2);

    const uint64_t scissor = reg[kRegScissor_1 + c];
    context.scissorLeft = static_cast<int>(field(scissor, 0, 11));
    context.scissorRight = static_cast<int>(field(scissor, 16, 11));
    context.scissorTop = static_cast<int>(field(scissor, 32, 11));
    context.scissorBottom = static_cast<int>(field(scissor, 48, 11));
    const uint64_t offset = reg[kRegXyoffset_1 + c];
    context.offsetX = static_cast<int>(field(offset, 0, 16));
    context.offsetY = static_cast<int>(field(offset, 32, 16));

    const bool alphaTestMatters = context.alphaTest && context.alphaTestMode != kAlways;
    context.plainWrites = context.frameLayout->unitBits == 32 && context.frameLayout->fieldMask == 0xFFFFFFFF && context.frameMask == 0 && !context.blended &&
                          !alphaTestMatters && !context.destinationAlphaTest && context.scanMask < 2 &&
                          (!context.depthTest || context.depthTestMode == kDepthAlways);
}

uint32_t applyFog(const DrawContext& context, uint32_t colour, uint32_t fog) {
    uint32_t out = colour & 0xFF000000u;
    for (unsigned i = 0; i < 3; ++i)
        out |= ((fog * channel(colour, i) + (255 - fog) * channel(context.fogColour, i)) >> 8) << (8 * i);
    return out;
}

void drawFragment(const DrawContext& context, int x, int y, uint32_t colour, uint32_t z) {
    if (context.scanMask >= 2 && static_cast<uint32_t>(y & 1) == (context.scanMask == 2 ? 1u : 0u)) return;
    const uint32_t sourceAlpha = colour >> 24;
    bool writeFrame = true;
    bool writeDepth = context.depthWrite;
    uint32_t keepBits = context.frameMask;
    if (context.alphaTest && !alphaPasses(context.alphaTestMode, sourceAlpha, context.alphaRef)) {
        switch (context.alphaFail) {
        case kFailKeep:
            return;
        case kFailFrameOnly:
            writeDepth = false;
            break;
        case kFailDepthOnly:
            writeFrame = false;
            break;
        default:
            writeDepth = false;
            keepBits |= context.frame16 ? 0x8000 : 0xFF000000u;
            break;
        }
    }
    const PixelLayout& frameLayout = *context.frameLayout;
    const uint32_t frameAddress = unitAddress(frameLayout, context.frameBp, context.frameBw, x, y);
    const uint32_t stored = state.memory.readUnit(frameLayout, frameAddress);
    if (context.destinationAlphaTest) {
        const uint32_t bit = context.frame16 ? (stored >> 15) & 1 : (stored >> 31) & 1;
        if (bit != context.destinationAlphaPass) return;
    }
    uint32_t depthAddress = 0;
    if (context.depthTest || writeDepth) {
        z = std::min(z, context.depthMax);
        depthAddress = unitAddress(*context.depthLayout, context.depthBp, context.frameBw, x, y);
        if (context.depthTest) {
            const uint32_t current = state.memory.readUnit(*context.depthLayout, depthAddress);
            const bool passes = context.depthTestMode == kDepthAlways    ? true
                                : context.depthTestMode == kDepthGequal  ? z >= current
                                : context.depthTestMode == kDepthGreater ? z > current
                                                                         : false;
            if (!passes) return;
        }
    }
    if (writeFrame) {
        uint32_t out = colour & 0xFF000000u;
        const bool blend = context.blended && (!context.blendOnlyHighAlpha || (sourceAlpha & 0x80));
        const uint32_t destination = blend ? decodeFrame(context, stored) : 0;
        for (unsigned i = 0; i < 3; ++i) {
            int value = static_cast<int>(channel(colour, i));
            if (blend)
                value = blendChannel(context, value, static_cast<int>(channel(destination, i)), static_cast<int>(sourceAlpha),
                                     static_cast<int>(destination >> 24));
            if (context.dither) value += context.ditherMatrix[y & 3][x & 3];
            value = context.clampColour ? std::clamp(value, 0, 255) : value & 0xFF;
            out |= static_cast<uint32_t>(value) << (8 * i);
        }
        if (context.forceAlphaHigh) out |= 0x80000000u;
        const uint32_t encoded = encodeFrame(context, out);
        state.memory.writeUnit(frameLayout, frameAddress, (stored & keepBits) | (encoded & ~keepBits));
    }
    if (writeDepth) state.memory.writeUnit(*context.depthLayout, depthAddress, z);
}

void drawSpan(const DrawContext& context, int y, int x0, int x1, uint32_t colour, uint32_t z) {
    if (!context.plainWrites) {
        for (int x = x0; x < x1; ++x) drawFragment(context, x, y, colour, z);
        return;
    }
    if (context.forceAlphaHigh) colour |= 0x80000000u;
    const PixelLayout& layout = *context.frameLayout;
    uint32_t* words = state.memory.words();
    const RowAddress row = rowAddress(layout, context.frameBp, context.frameBw, static_cast<uint32_t>(y));
    // 32-bit pages are 64 pixels wide: one page's base serves each run of
    // up to 64 pixels.
    for (int x = x0; x < x1;) {
        const int pageEnd = std::min(x1, (x | 63) + 1);
        const uint32_t pageBase = row.base + static_cast<uint32_t>(x >> 6) * kWordsPerPage;
        for (; x < pageEnd; ++x) words[(pageBase + (layout.xOffset[x & 63] ^ row.yBits)) & layout.unitMask] = colour;
    }
    if (context.depthWrite) {
        z = std::min(z, context.depthMax);
        const PixelLayout& depthLayout = *context.depthLayout;
        const RowAddress depthRow = rowAddress(depthLayout, context.depthBp, context.frameBw, static_cast<uint32_t>(y));
        for (int x = x0; x < x1; ++x)
            state.memory.writeUnit(depthLayout, unitAddressInRow(depthLayout, depthRow, static_cast<uint32_t>(x)), z);
    }
}

void drawPlainRun(const DrawContext& context, int y, int x0, const uint32_t* colours, int count, uint32_t z) {
    if (!context.plainWrites) {
        for (int i = 0; i < count; ++i) drawFragment(context, x0 + i, y, colours[i], z);
        return;
    }
    const uint32_t alphaBit = context.forceAlphaHigh ? 0x80000000u : 0;
    const PixelLayout& layout = *context.frameLayout;
    uint32_t* words = state.memory.words();
    const RowAddress row = rowAddress(layout, context.frameBp, context.frameBw, static_cast<uint32_t>(y));
    for (int i = 0; i < count; ++i)
        words[unitAddressInRow(layout, row, static_cast<uint32_t>(x0 + i))] = colours[i] | alphaBit;
    if (context.depthWrite) {
        z = std::min(z, context.depthMax);
        const PixelLayout& depthLayout = *context.depthLayout;
        const RowAddress depthRow = rowAddress(depthLayout, context.depthBp, context.frameBw, static_cast<uint32_t>(y));
        for (int i = 0; i < count; ++i)
            state.memory.writeUnit(depthLayout, unitAddressInRow(depthLayout, depthRow, static_cast<uint32_t>(x0 + i)), z);
    }
}

}  // namespace gs
