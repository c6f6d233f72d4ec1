#include "ps2e/gs-soft/texture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    texture.memory = &state.memory;
    texture.layout = &layoutOf(texture.psm);
    switch (texture.psm) {
    case kPsmCt24:
    case kPsmZ24:
        texture.kind = TexelKind::kDirect24;
        break;
    case kPsmCt16:
    case kPsmCt16S:
    case kPsmZ16:
    case kPsmZ16S:
        texture.kind = TexelKind::kDirect16;
        break;
    default:
        texture.kind = isClutFormat(texture.psm) ? TexelKind::kPalette : TexelKind::kDirect32;
        break;
    }
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

namespace {

// Reads a texel of a layout whose storage unit is UnitBits wide and turns
// it into a colour as Kind says.
template <uint32_t UnitBits, TexelKind Kind>
uint32_t fetchTexel(const TextureSetup& texture, const uint8_t* bytes, uint32_t address) {
    uint32_t value;
    if constexpr (UnitBits == 32) {
        uint32_t word;
        std::memcpy(&word, bytes + 4 * address, 4);
        value = (word >> texture.layout->fieldShift) & texture.layout->fieldMask;
    } else if constexpr (UnitBits == 16) {
        uint16_t half;
        std::memcpy(&half, bytes + 2 * address, 2);
        value = half;
    } else if constexpr (UnitBits == 8) {
        value = bytes[address];
    } else {
        value = (bytes[address >> 1] >> ((address & 1) * 4)) & 0xF;
    }
    if constexpr (Kind == TexelKind::kDirect32) {
        return value;
    } else if constexpr (Kind == TexelKind::kPalette) {
        return texture.palette[value];
    } else {
        return decodeTexel(texture, value);
    }
}

// Bilinear weighting two channels at a time in 32 bits: R and B, then G
// and A, each in its own 16-bit lane.
inline uint32_t mixTexels(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t fu, uint32_t fv) {
    constexpr uint32_t kLanes = 0x00FF00FF;
    uint32_t out = 0;
    for (unsigned shift = 0; shift < 16; shift += 8) {
        const uint32_t top = ((t00 >> shift) & kLanes) * (16 - fu) + ((t10 >> shift) & kLanes) * fu;
        const uint32_t bottom = ((t01 >> shift) & kLanes) * (16 - fu) + ((t11 >> shift) & kLanes) * fu;
        out |= (((top * (16 - fv) + bottom * fv) >> 8) & kLanes) << shift;
    }
    return out;
}

template <uint32_t UnitBits, TexelKind Kind>
void fetchRow(const TextureSetup& texture, const RowAddress& row, const uint32_t* pages, const uint32_t* offsets,
              size_t count, uint32_t* out) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(texture.memory->words());
    const uint32_t mask = texture.layout->unitMask;
    for (size_t i = 0; i < count; ++i)
        out[i] = fetchTexel<UnitBits, Kind>(texture, bytes, (row.base + pages[i] + (offsets[i] ^ row.yBits)) & mask);
}

void fetchTexelRow(const TextureSetup& texture, const RowAddress& row, const uint32_t* pages, const uint32_t* offsets,
                   size_t count, uint32_t* out) {
    switch (texture.layout->unitBits) {
    case 32:
        if (texture.kind == TexelKind::kPalette)
            fetchRow<32, TexelKind::kPalette>(texture, row, pages, offsets, count, out);
        else if (texture.kind == TexelKind::kDirect32)
            fetchRow<32, TexelKind::kDirect32>(texture, row, pages, offsets, count, out);
        else
            fetchRow<32, TexelKind::kDirect24>(texture, row, pages, offsets, count, out);
        break;
    case 16:
        fetchRow<16, TexelKind::kDirect16>(texture, row, pages, offsets, count, out);
        break;
    case 8:
        fetchRow<8, TexelKind::kPalette>(texture, row, pages, offsets, count, out);
        break;
    default:
        fetchRow<4, TexelKind::kPalette>(texture, row, pages, offsets, count, out);
        break;
    }
}

}  // namespace

TextureRowSampler::TextureRowSampler(const TextureSetup& texture, int64_t uStart, int64_t uStep, int count)
    : texture_(texture), pixels_(static_cast<size_t>(count)) {
    if (count == 0) return;
    const PixelLayout& layout = *texture.layout;
    const uint32_t pageUnits = kWordsPerPage << layout.unitsPerWordShift;
    std::vector<int> columnOfX(2048, -1);
    auto column = [&](int u) {
        const uint32_t x = static_cast<uint32_t>(wrap(texture.u, u)) & 2047;
        if (columnOfX[x] < 0) {
            columnOfX[x] = static_cast<int>(pages_.size());
            pages_.push_back((x >> layout.pageWidthShift) * pageUnits);
            offsets_.push_back(layout.xOffset[x & ((1u << layout.pageWidthShift) - 1)]);
        }
        return static_cast<uint16_t>(columnOfX[x]);
    };
    int64_t u = uStart;
    for (Pixel& pixel : pixels_) {
        const int u16 = static_cast<int>(std::clamp<int64_t>(u >> 16, -kTexelCoordinateLimit, kTexelCoordinateLimit));
        if (texture.bilinear) {
            const int left = u16 - 8;
            pixel.left = column(left >> 4);
            pixel.right = column((left >> 4) + 1);
            pixel.weight = static_cast<uint32_t>(left & 15);
        } else {
            pixel.left = pixel.right = column(u16 >> 4);
            pixel.weight = 0;
        }
        u += uStep;
    }
    rows_[0].resize(pages_.size());
    rows_[1].resize(pages_.size());
}

const std::vector<uint32_t>& TextureRowSampler::texelRow(int v, int keepV) {
    for (int i = 0; i < 2; ++i)
        if (rowV_[i] == v) return rows_[i];
    const int target = rowV_[0] == keepV ? 1 : 0;
    const RowAddress row = rowAddress(*texture_.layout, texture_.tbp, texture_.tbw, static_cast<uint32_t>(v) & 2047);
    fetchTexelRow(texture_, row, pages_.data(), offsets_.data(), pages_.size(), rows_[target].data());
    rowV_[target] = v;
    return rows_[target];
}

void TextureRowSampler::sampleRow(int v16, uint32_t* out) {
    const size_t count = pixels_.size();
    if (!texture_.bilinear) {
        const std::vector<uint32_t>& texels = texelRow(wrap(texture_.v, v16 >> 4), -1);
        for (size_t i = 0; i < count; ++i) out[i] = texels[pixels_[i].left];
        return;
    }
    const int v = v16 - 8;
    const int v0 = wrap(texture_.v, v >> 4);
    const int v1 = wrap(texture_.v, (v >> 4) + 1);
    // Each fetch keeps the other row's slot.
    const std::vector<uint32_t>& top = texelRow(v0, v1);
    const std::vector<uint32_t>& bottom = texelRow(v1, v0);
    const uint32_t fv = static_cast<uint32_t>(v & 15);
    for (size_t i = 0; i < count; ++i) {
        const Pixel& p = pixels_[i];
        out[i] = mixTexels(top[p.left], top[p.right], bottom[p.left], bottom[p.right], p.weight, fv);
    }
}

}  // namespace gs
