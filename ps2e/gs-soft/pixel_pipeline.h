// The per-pixel part of drawing: texture colour functions, fog, the alpha,
// destination alpha and depth tests, blending, dithering, colour clamping
// and the masked writes of colour and depth, for one drawing context.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ps2e/gs-soft/local_memory.h"
#include "ps2e/gs-soft/texture.h"

namespace gs {

// The drawing environment of one primitive: which context and which
// attributes, decoded once from the registers.
struct DrawContext {
    // PRIM attributes (from PRIM or PRMODE, as PRMODECONT says).
    bool gouraud = false;
    bool textured = false;
    bool fogged = false;
    bool blended = false;
    bool uvCoordinates = false;  // FST: UV rather than ST/Q

    // Frame buffer.
    const PixelLayout* frameLayout = nullptr;
    uint32_t framePsm = 0;
    uint32_t frameBp = 0;
    uint32_t frameBw = 0;
    uint32_t frameMask = 0;  // FBMSK in the frame format's own bits
    bool frame16 = false;
    bool frame24 = false;

    // Depth buffer.
    const PixelLayout* depthLayout = nullptr;
    uint32_t depthBp = 0;
    bool depthTest = false;
    uint32_t depthTestMode = 0;
    bool depthWrite = false;
    uint32_t depthMax = 0;

    // Tests.
    bool alphaTest = false;
    uint32_t alphaTestMode = 0;
    uint32_t alphaRef = 0;
    uint32_t alphaFail = 0;
    bool destinationAlphaTest = false;
    uint32_t destinationAlphaPass = 0;

    // Colour functions and blending.
    uint32_t textureFunction = 0;
    bool textureAlpha = false;  // TCC
    uint32_t blendA = 0;
    uint32_t blendB = 0;
    uint32_t blendC = 0;
    uint32_t blendD = 0;
    uint32_t blendFix = 0;
    bool blendOnlyHighAlpha = false;  // PABE
    bool clampColour = true;          // COLCLAMP
    bool forceAlphaHigh = false;      // FBA
    bool dither = false;
    int ditherMatrix[4][4] = {};
    uint32_t fogColour = 0;
    uint32_t scanMask = 0;

    int scissorLeft = 0;
    int scissorRight = 0;
    int scissorTop = 0;
    int scissorBottom = 0;
    int offsetX = 0;  // 12.4
    int offsetY = 0;

    TextureSetup texture;

    // Writes need nothing from the destination and store whole 32-bit
    // pixels: spans can be filled directly.
    bool plainWrites = false;
};

// Decodes the registers for a primitive; `lod` chooses the texture filter.
void makeDrawContext(DrawContext& context, float lod);

// TEX0 TFX: how the texel and the shaded colour combine.
enum TextureFunction : uint32_t { kModulate, kDecal, kHighlight, kHighlight2 };

inline uint32_t textureChannel(uint32_t colour, unsigned index) { return (colour >> (8 * index)) & 0xFF; }

// The colour a fragment has after the texture function, from its shaded
// colour and texel (both R, G, B, A).
inline uint32_t applyTextureFunction(const DrawContext& context, uint32_t shaded, uint32_t texel) {
    const uint32_t shadedAlpha = shaded >> 24;
    const uint32_t texelAlpha = texel >> 24;
    uint32_t rgb = 0;
    for (unsigned i = 0; i < 3; ++i) {
        uint32_t value;
        if (context.textureFunction == kDecal) {
            value = textureChannel(texel, i);
        } else {
            value = (textureChannel(texel, i) * textureChannel(shaded, i)) >> 7;
            if (context.textureFunction != kModulate) value += shadedAlpha;
        }
        rgb |= std::min<uint32_t>(value, 255) << (8 * i);
    }
    uint32_t alpha = shadedAlpha;
    if (context.textureAlpha) {
        switch (context.textureFunction) {
        case kModulate:
            alpha = (texelAlpha * shadedAlpha) >> 7;
            break;
        case kHighlight:
            alpha = texelAlpha + shadedAlpha;
            break;
        default:
            alpha = texelAlpha;
            break;
        }
    }
    return rgb | (std::min<uint32_t>(alpha, 255) << 24);
}

// Fog blends towards FOGCOL by the fog coefficient.
uint32_t applyFog(const DrawContext& context, uint32_t colour, uint32_t fog);

// Runs a fragment at window pixel (x, y), inside the scissor, through the
// tests, blending and writes.
void drawFragment(const DrawContext& context, int x, int y, uint32_t colour, uint32_t z);

// A run of fragments of one colour and depth on row y, from x0 up to x1
// (exclusive), inside the scissor.
void drawSpan(const DrawContext& context, int y, int x0, int x1, uint32_t colour, uint32_t z);

// A run of `count` fragments of one depth with their own colours on row y
// from x0, inside the scissor.
void drawPlainRun(const DrawContext& context, int y, int x0, const uint32_t* colours, int count, uint32_t z);

}  // namespace gs
