// Textures: the CLUT buffer and how TEX0 fills it, and texel fetches with
// the wrap modes, TEXA alpha expansion and filtering of one primitive.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ps2e/gs-soft/local_memory.h"

namespace gs {

// A TEX0 (or TEX2) write with a CLUT format loads the CLUT buffer as its
// CLD field says.
void loadClut(uint64_t tex0);

// CLAMP WMS/WMT modes.
enum WrapMode : uint32_t { kWrapRepeat = 0, kWrapClamp = 1, kWrapRegionClamp = 2, kWrapRegionRepeat = 3 };

struct WrapAxis {
    uint32_t mode = kWrapRepeat;
    int size = 1;
    int min = 0;  // REGION_REPEAT: the mask
    int max = 0;  // REGION_REPEAT: the fixed bits
};

// How a texel's stored bits become a colour.
enum class TexelKind : uint8_t { kDirect32, kDirect24, kDirect16, kPalette };

// Everything a primitive's texel fetches need, decoded once per primitive.
struct TextureSetup {
    const LocalMemory* memory = nullptr;
    const PixelLayout* layout = nullptr;
    TexelKind kind = TexelKind::kDirect32;
    uint32_t psm = 0;
    uint32_t tbp = 0;
    uint32_t tbw = 0;
    WrapAxis u;
    WrapAxis v;
    uint32_t ta0 = 0;
    uint32_t ta1 = 0;
    bool aem = false;
    bool bilinear = false;
    // CLUT formats: every index's colour, already in R, G, B, A form.
    std::array<uint32_t, 256> palette{};
};

// tex1 chooses the filter: the level-0 texture is sampled with MMAG's
// filter when the level of detail is 0 or less, with MMIN's otherwise.
TextureSetup makeTextureSetup(uint64_t tex0, uint64_t tex1, uint64_t clamp, uint64_t texa, float lod);

// Texture coordinates (12.4) taken from guest floats are held within this
// bound before any texel arithmetic, so nothing after can overflow; the
// wrap modes place a held coordinate like any other outside the texture.
inline constexpr int kTexelCoordinateLimit = 1 << 28;

inline int wrap(const WrapAxis& axis, int c) {
    switch (axis.mode) {
    case kWrapRepeat:
        return c & (axis.size - 1);
    case kWrapClamp:
        return c < 0 ? 0 : c >= axis.size ? axis.size - 1 : c;
    case kWrapRegionClamp:
        return c < axis.min ? axis.min : c > axis.max ? axis.max : c;
    default:
        return ((c & axis.min) | axis.max) & 2047;
    }
}

// A 16-bit colour as R, G, B, A bytes; TEXA gives the alpha: TA1 for the
// alpha bit set, TA0 otherwise, or 0 under AEM when the colour is black.
inline uint32_t expand16(uint32_t value, uint32_t ta0, uint32_t ta1, bool aem) {
    const uint32_t rgb = ((value & 0x1F) << 3) | (((value >> 5) & 0x1F) << 11) | (((value >> 10) & 0x1F) << 19);
    uint32_t alpha;
    if (value & 0x8000)
        alpha = ta1;
    else
        alpha = aem && (value & 0x7FFF) == 0 ? 0 : ta0;
    return rgb | (alpha << 24);
}

inline uint32_t decodeTexel(const TextureSetup& texture, uint32_t value) {
    switch (texture.kind) {
    case TexelKind::kDirect32:
        return value;
    case TexelKind::kDirect24:
        return value | ((texture.aem && value == 0 ? 0 : texture.ta0) << 24);
    case TexelKind::kDirect16:
        return expand16(value, texture.ta0, texture.ta1, texture.aem);
    default:
        return texture.palette[value & 0xFF];
    }
}

// Texel (u, v), already wrapped, as R, G, B, A bytes.
inline uint32_t texelColour(const TextureSetup& texture, int u, int v) {
    const PixelLayout& layout = *texture.layout;
    const uint32_t address = unitAddress(layout, texture.tbp, texture.tbw, static_cast<uint32_t>(u) & 2047,
                                         static_cast<uint32_t>(v) & 2047);
    return decodeTexel(texture, texture.memory->readUnit(layout, address));
}

// Weighs four texels by 4-bit fractions fu, fv (of 16).
inline uint32_t bilinearMix(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int fu, int fv) {
    // Two channels at a time: R and B in the low halves, G and A above.
    uint32_t out = 0;
    for (unsigned shift = 0; shift < 16; shift += 8) {
        const uint64_t mask = 0x00FF00FF;
        const uint64_t a = (t00 >> shift) & mask, b = (t10 >> shift) & mask;
        const uint64_t c = (t01 >> shift) & mask, d = (t11 >> shift) & mask;
        const uint64_t top = a * static_cast<uint64_t>(16 - fu) + b * static_cast<uint64_t>(fu);
        const uint64_t bottom = c * static_cast<uint64_t>(16 - fu) + d * static_cast<uint64_t>(fu);
        const uint64_t mixed = (top * static_cast<uint64_t>(16 - fv) + bottom * static_cast<uint64_t>(fv)) >> 8;
        out |= static_cast<uint32_t>(mixed & mask) << shift;
    }
    return out;
}

// Samples at texel coordinates with 4 fraction bits (12.4), the way the
// primitive's filter says: nearest takes the texel under the point,
// bilinear weighs the four around it, texel centres lying at .5.
inline uint32_t sampleTexture(const TextureSetup& texture, int u16, int v16) {
    if (!texture.bilinear) return texelColour(texture, wrap(texture.u, u16 >> 4), wrap(texture.v, v16 >> 4));
    const int u = u16 - 8;
    const int v = v16 - 8;
    const int u0 = wrap(texture.u, u >> 4);
    const int u1 = wrap(texture.u, (u >> 4) + 1);
    const int v0 = wrap(texture.v, v >> 4);
    const int v1 = wrap(texture.v, (v >> 4) + 1);
    const PixelLayout& layout = *texture.layout;
    const RowAddress row0 = rowAddress(layout, texture.tbp, texture.tbw, static_cast<uint32_t>(v0) & 2047);
    const RowAddress row1 = rowAddress(layout, texture.tbp, texture.tbw, static_cast<uint32_t>(v1) & 2047);
    const uint32_t x0 = static_cast<uint32_t>(u0) & 2047;
    const uint32_t x1 = static_cast<uint32_t>(u1) & 2047;
    const LocalMemory& memory = *texture.memory;
    const uint32_t t00 = decodeTexel(texture, memory.readUnit(layout, unitAddressInRow(layout, row0, x0)));
    const uint32_t t10 = decodeTexel(texture, memory.readUnit(layout, unitAddressInRow(layout, row0, x1)));
    const uint32_t t01 = decodeTexel(texture, memory.readUnit(layout, unitAddressInRow(layout, row1, x0)));
    const uint32_t t11 = decodeTexel(texture, memory.readUnit(layout, unitAddressInRow(layout, row1, x1)));
    return bilinearMix(t00, t10, t01, t11, u & 15, v & 15);
}

// Samples rows of texels for a sprite, whose texel columns depend on the
// pixel's x alone: pixel i of a row samples at u16 = (uStart + i * uStep)
// >> 16 (16.16 fixed point of 12.4 texel coordinates). The texel columns
// the row needs are found once per sprite; each texel row is fetched once
// for all the pixels that share it, and kept for the next pixel row while
// it still lies under it. Gives what sampleTexture gives.
class TextureRowSampler {
public:
    TextureRowSampler(const TextureSetup& texture, int64_t uStart, int64_t uStep, int count);
    void sampleRow(int v16, uint32_t* out);

private:
    struct Pixel {
        uint16_t left;   // index into the texel columns (left texel when bilinear)
        uint16_t right;  // bilinear: the right texel
        uint32_t weight;  // bilinear: the right texel's weight of 16
    };
    // Texel row v, fetched unless already held, into the slot that does
    // not hold row keepV.
    const std::vector<uint32_t>& texelRow(int v, int keepV);

    const TextureSetup& texture_;
    // The texel columns: each one's page (first unit in a row of pages)
    // and x offset bits inside the page.
    std::vector<uint32_t> pages_;
    std::vector<uint32_t> offsets_;
    std::vector<Pixel> pixels_;
    std::vector<uint32_t> rows_[2];  // fetched texel rows
    int rowV_[2] = {-1, -1};
};

}  // namespace gs
