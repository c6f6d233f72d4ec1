// Textures: the CLUT buffer and how TEX0 fills it, and texel fetches with
// the wrap modes, TEXA alpha expansion and filtering of one primitive.
#pragma once

#include <array>
#include <cstdint>

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

// Everything a primitive's texel fetches need, decoded once per primitive.
struct TextureSetup {
    const PixelLayout* layout = nullptr;
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

// Texel (u, v), already wrapped, as R, G, B, A bytes.
uint32_t texelColour(const TextureSetup& texture, int u, int v);

// Samples at texel coordinates with 4 fraction bits (12.4), the way the
// primitive's filter says: nearest takes the texel under the point,
// bilinear weighs the four around it, texel centres lying at .5.
uint32_t sampleTexture(const TextureSetup& texture, int u16, int v16);

}  // namespace gs
