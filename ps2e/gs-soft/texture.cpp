#include "ps2e/gs-soft/texture.h"

#include <cmath>

#include "ps2e/gs-soft/gs_state.h"

namespace gs {
namespace {

// TEX0 CLD: when a TEX0 write loads the CLUT buffer, and which of the two
// CLUT base registers (CBP0, CBP1) it compares with or sets.
enum ClutLoadControl : uint32_t {
    kClutKeep = 0,
    kClutLoad = 1,
    kClutLoadSetCbp0 = 2,
    kClutLoadSetCbp1 = 3,
    kClutLoadIfNotCbp0 = 4,
    kClutLoadIfNotCbp1 = 5,
};

// CSM1 stores a 256-colour CLUT as 16 x 16 pixels whose rows hold, in
// turn, eight entries and the eight that come sixteen later: the index's
// bits 3 and 4 are swapped.
uint32_t csm1Position(uint32_t index) { return (index & ~0x18u) | ((index & 0x08) << 1) | ((index & 0x10) >> 1); }

// Only 16-bit entries can be stored in the CSM2 arrangement (one row of a
// buffer from COU, COV); a 32-bit CPSM there is read as 16-bit entries.
void loadClutEntries(uint64_t tex0) {
    const uint32_t psm = field(tex0, 20, 6);
    const uint32_t cbp = field(tex0, 37, 14);
    const uint32_t cpsm = field(tex0, 51, 4);
    const bool csm2 = field(tex0, 55, 1);
    const uint32_t csa = field(tex0, 56, 5);
    const bool eightBit = psm == kPsmT8 || psm == kPsmT8H;
    const uint32_t entries = eightBit ? 256 : 16;
    if (csm2) {
        const uint64_t texclut = state.reg[kRegTexclut];
        const uint32_t cbw = field(texclut, 0, 6);
        const uint32_t cou = field(texclut, 6, 6) * 16;
        const uint32_t cov = field(texclut, 12, 10);
        for (uint32_t i = 0; i < entries; ++i)
            state.clut[(csa * 16 + i) & 511] = static_cast<uint16_t>(state.memory.readPixel(kPsmCt16, cbp, cbw, cou + i, cov));
        return;
    }
    const uint32_t rowLength = eightBit ? 16 : 8;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint32_t position = eightBit ? csm1Position(i) : i;
        const uint32_t x = position % rowLength;
        const uint32_t y = position / rowLength;
        if (cpsm == kPsmCt32 || cpsm == kPsmCt24) {
            const uint32_t colour = state.memory.readPixel(kPsmCt32, cbp, 1, x, y);
            const uint32_t slot = ((csa & 15) * 16 + i) & 255;
            state.clut[slot] = static_cast<uint16_t>(colour);
            state.clut[slot + 256] = static_cast<uint16_t>(colour >> 16);
        } else {
            state.clut[(csa * 16 + i) & 511] = static_cast<uint16_t>(state.memory.readPixel(cpsm, cbp, 1, x, y));
        }
    }
}

uint32_t expand16(uint32_t value, uint32_t ta0, uint32_t ta1, bool aem) {
    const uint32_t rgb = ((value & 0x1F) << 3) | (((value >> 5) & 0x1F) << 11) | (((value >> 10) & 0x1F) << 19);
    uint32_t alpha;
    if (value & 0x8000)
        alpha = ta1;
    else
        alpha = aem && (value & 0x7FFF) == 0 ? 0 : ta0;
    return rgb | (alpha << 24);
}

WrapAxis wrapAxis(uint32_t mode, uint32_t sizeLog2, uint32_t min, uint32_t max) {
    WrapAxis axis;
    axis.mode = mode;
    // Sizes above 1024 are not drawable; they are held at 1024.
    axis.size = 1 << (sizeLog2 > 10 ? 10 : sizeLog2);
    axis.min = static_cast<int>(min);
    axis.max = static_cast<int>(max);
    return axis;
}

// TEX1 MMIN values 2-5 pick a mipmap level and a filter inside it; with
// level 0 only, their filter is what is left.
bool minifyBilinear(uint32_t mmin) { return mmin == 1 || mmin == 4 || mmin == 5; }

}  // namespace

void loadClut(uint64_t tex0) {
    if (!isClutFormat(field(tex0, 20, 6))) return;
    const uint32_t cbp = field(tex0, 37, 14);
    switch (field(tex0, 61, 3)) {
    case kClutLoad:
        loadClutEntries(tex0);
        break;
    case kClutLoadSetCbp0:
        loadClutEntries(tex0);
        state.cbp0 = cbp;
        break;
    case kClutLoadSetCbp1:
        loadClutEntries(tex0);
        state.cbp1 = cbp;
        break;
    case kClutLoadIfNotCbp0:
        if (cbp == state.cbp0) break;
        loadClutEntries(tex0);
        state.cbp0 = cbp;
        break;
    case kClutLoadIfNotCbp1:
        if (cbp == state.cbp1) break;
        loadClutEntries(tex0);
        state.cbp1 = cbp;
        break;
    default:
        break;
    }
}

TextureSetup makeTextureSetup(uint64_t tex0, uint64_t tex1, uint64_t clamp, uint64_t texa, float lod) {
    TextureSetup texture;
    texture.psm = field(tex0, 20, 6);
    texture.layout = &layoutOf(texture.psm);
    texture.tbp = field(tex0, 0, 14);
    texture.tbw = field(tex0, 14, 6);
    texture.u = wrapAxis(field(clamp, 0, 2), field(tex0, 26, 4), field(clamp, 4, 10), field(clamp, 14, 10));
    texture.v = wrapAxis(field(clamp, 2, 2), field(tex0, 30, 4), field(clamp, 24, 10), field(clamp, 34, 10));
    texture.ta0 = field(texa, 0, 8);
    texture.ta1 = field(texa, 32, 8);
    texture.aem = field(texa, 15, 1);
    texture.bilinear = lod <= 0.0f ? field(tex1, 5, 1) != 0 : minifyBilinear(field(tex1, 6, 3));
    if (isClutFormat(texture.psm)) {
        const uint32_t cpsm = field(tex0, 51, 4);
        const uint32_t csa = field(tex0, 56, 5);
        const bool eightBit = texture.psm == kPsmT8 || texture.psm == kPsmT8H;
        const uint32_t entries = eightBit ? 256 : 16;
        for (uint32_t i = 0; i < entries; ++i) {
            if (cpsm == kPsmCt32 || cpsm == kPsmCt24) {
                const uint32_t slot = ((csa & 15) * 16 + i) & 255;
                texture.palette[i] = state.clut[slot] | (uint32_t{state.clut[slot + 256]} << 16);
            } else {
                texture.palette[i] = expand16(state.clut[(csa * 16 + i) & 511], texture.ta0, texture.ta1, texture.aem);
            }
        }
    }
    return texture;
}

uint32_t texelColour(const TextureSetup& texture, int u, int v) {
    const uint32_t value = state.memory.readUnit(*texture.layout, unitAddress(*texture.layout, texture.tbp, texture.tbw,
                                                                              static_cast<uint32_t>(u) & 2047,
                                                                              static_cast<uint32_t>(v) & 2047));
    switch (texture.psm) {
    case kPsmCt32:
    case kPsmZ32:
        return value;
    case kPsmCt24:
    case kPsmZ24:
        return value | ((texture.aem && value == 0 ? 0 : texture.ta0) << 24);
    case kPsmCt16:
    case kPsmCt16S:
    case kPsmZ16:
    case kPsmZ16S:
        return expand16(value, texture.ta0, texture.ta1, texture.aem);
    default:
        return texture.palette[value];
    }
}

uint32_t sampleTexture(const TextureSetup& texture, int u16, int v16) {
    if (!texture.bilinear) return texelColour(texture, wrap(texture.u, u16 >> 4), wrap(texture.v, v16 >> 4));
    const int u = u16 - 8;
    const int v = v16 - 8;
    const int fu = u & 15;
    const int fv = v & 15;
    const int u0 = wrap(texture.u, u >> 4);
    const int u1 = wrap(texture.u, (u >> 4) + 1);
    const int v0 = wrap(texture.v, v >> 4);
    const int v1 = wrap(texture.v, (v >> 4) + 1);
    const uint32_t t00 = texelColour(texture, u0, v0);
    const uint32_t t10 = texelColour(texture, u1, v0);
    const uint32_t t01 = texelColour(texture, u0, v1);
    const uint32_t t11 = texelColour(texture, u1, v1);
    uint32_t out = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        const int top = static_cast<int>((t00 >> shift) & 0xFF) * (16 - fu) + static_cast<int>((t10 >> shift) & 0xFF) * fu;
        const int bottom = static_cast<int>((t01 >> shift) & 0xFF) * (16 - fu) + static_cast<int>((t11 >> shift) & 0xFF) * fu;
        out |= static_cast<uint32_t>((top * (16 - fv) + bottom * fv) >> 8) << shift;
    }
    return out;
}

}  // namespace gs
