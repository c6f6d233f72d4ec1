#include "ps2e/gs-soft/local_memory.h"

namespace gs {
namespace {

// Block numbers inside a page, from the block's column bx and row by. The
// 32-bit colour arrangement (8 x 4 blocks) also serves the 8-bit textures,
// the 16-bit one (4 x 8 blocks) the 4-bit textures. Each interleaves the
// low bits of bx and by.
constexpr uint32_t blockCt32(uint32_t bx, uint32_t by) {
    return (bx & 1) | ((by & 1) << 1) | ((bx & 2) << 1) | ((by & 2) << 2) | ((bx & 4) << 2);
}
constexpr uint32_t blockCt16(uint32_t bx, uint32_t by) {
    return (by & 1) | ((bx & 1) << 1) | ((by & 2) << 1) | ((bx & 2) << 2) | ((by & 4) << 2);
}
constexpr uint32_t blockCt16S(uint32_t bx, uint32_t by) {
    return (by & 1) | ((bx & 1) << 1) | (by & 4) | ((by & 2) << 2) | ((bx & 2) << 3);
}

// The Z formats use their colour twin's arrangement with the two top block
// bits flipped, so a Z buffer at the same address as a frame buffer does
// not share blocks with it pixel for pixel.
constexpr uint32_t kZBlockFlip = 0x18;

// Word of a 32-bit column (8 x 2 pixels) that holds pixel (x, y).
constexpr uint32_t wordInColumn(uint32_t x, uint32_t y) { return (x & 1) | ((y & 1) << 1) | (((x >> 1) & 3) << 2); }

// The 8- and 4-bit columns (16 x 4 and 32 x 4 pixels) spread each row over
// two byte lanes of eight words; odd columns swap their row pairs.
constexpr uint32_t packedRow(uint32_t x, uint32_t y, uint32_t lanesPerWordShift) {
    const uint32_t column = (y >> 2) & 3;
    const uint32_t row = (y & 3) ^ (column & 1);
    const uint32_t word = (x & 7) + 8 * ((row ^ (row >> 1)) & 1);
    const uint32_t lane = ((x >> 3) & ((1u << (lanesPerWordShift - 1)) - 1)) * 2 + (row >> 1);
    return (word << lanesPerWordShift) + lane;
}

constexpr uint32_t offsetInPage(uint32_t psm, uint32_t x, uint32_t y) {
    switch (psm) {
    case kPsmCt16:
    case kPsmCt16S:
    case kPsmZ16:
    case kPsmZ16S: {
        uint32_t block = psm == kPsmCt16 || psm == kPsmZ16 ? blockCt16(x >> 4, y >> 3) : blockCt16S(x >> 4, y >> 3);
        if (psm == kPsmZ16 || psm == kPsmZ16S) block ^= kZBlockFlip;
        return block * 128 + ((y >> 1) & 3) * 32 + wordInColumn(x & 7, y & 1) * 2 + ((x >> 3) & 1);
    }
    case kPsmT8:
        return blockCt32(x >> 4, y >> 4) * 256 + ((y >> 2) & 3) * 64 + packedRow(x, y, 2);
    case kPsmT4:
        return blockCt16(x >> 5, y >> 4) * 512 + ((y >> 2) & 3) * 128 + packedRow(x, y, 3);
    default: {
        uint32_t block = blockCt32(x >> 3, y >> 3);
        if (psm == kPsmZ32 || psm == kPsmZ24) block ^= kZBlockFlip;
        return block * 64 + ((y >> 1) & 3) * 16 + wordInColumn(x & 7, y & 1);
    }
    }
}

constexpr PixelLayout makeLayout(uint32_t psm) {
    PixelLayout layout;
    layout.psm = psm;
    switch (psm) {
    case kPsmCt16:
    case kPsmCt16S:
    case kPsmZ16:
    case kPsmZ16S:
        layout.unitBits = 16;
        layout.pageHeightShift = 6;
        layout.fieldMask = 0xFFFF;
        break;
    case kPsmT8:
        layout.unitBits = 8;
        layout.pageWidthShift = 7;
        layout.pageHeightShift = 6;
        layout.fieldMask = 0xFF;
        break;
    case kPsmT4:
        layout.unitBits = 4;
        layout.pageWidthShift = 7;
        layout.pageHeightShift = 7;
        layout.fieldMask = 0xF;
        break;
    case kPsmCt24:
    case kPsmZ24:
        layout.fieldMask = 0xFFFFFF;
        break;
    case kPsmT8H:
        layout.fieldShift = 24;
        layout.fieldMask = 0xFF;
        break;
    case kPsmT4HL:
        layout.fieldShift = 24;
        layout.fieldMask = 0xF;
        break;
    case kPsmT4HH:
        layout.fieldShift = 28;
        layout.fieldMask = 0xF;
        break;
    default:
        break;
    }
    layout.unitsPerWordShift = layout.unitBits == 32 ? 0 : layout.unitBits == 16 ? 1 : layout.unitBits == 8 ? 2 : 3;
    layout.unitMask = ((kLocalMemoryBytes / 4) << layout.unitsPerWordShift) - 1;
    const uint32_t origin = offsetInPage(psm, 0, 0);
    for (uint32_t x = 0; x < (1u << layout.pageWidthShift); ++x) layout.xOffset[x] = offsetInPage(psm, x, 0);
    for (uint32_t y = 0; y < (1u << layout.pageHeightShift); ++y) layout.yOffset[y] = offsetInPage(psm, 0, y) ^ origin;
    return layout;
}

constexpr std::array<uint32_t, 13> kFormats = {kPsmCt32, kPsmCt24, kPsmCt16, kPsmCt16S, kPsmT8,  kPsmT4,  kPsmT8H,
                                               kPsmT4HL, kPsmT4HH, kPsmZ32,  kPsmZ24,   kPsmZ16, kPsmZ16S};

const std::array<PixelLayout, 13> kLayouts = [] {
    std::array<PixelLayout, 13> layouts{};
    for (size_t i = 0; i < kFormats.size(); ++i) layouts[i] = makeLayout(kFormats[i]);
    return layouts;
}();

// PSM value (6 bits) to its entry in kLayouts; unknown values use PSMCT32.
const std::array<uint8_t, 64> kLayoutIndex = [] {
    std::array<uint8_t, 64> index{};
    for (size_t i = 0; i < kFormats.size(); ++i) index[kFormats[i]] = static_cast<uint8_t>(i);
    return index;
}();

}  // namespace

const PixelLayout& layoutOf(uint32_t psm) { return kLayouts[kLayoutIndex[psm & 63]]; }

bool isClutFormat(uint32_t psm) {
    return psm == kPsmT8 || psm == kPsmT4 || psm == kPsmT8H || psm == kPsmT4HL || psm == kPsmT4HH;
}

bool is16BitColour(uint32_t psm) { return psm == kPsmCt16 || psm == kPsmCt16S || psm == kPsmZ16 || psm == kPsmZ16S; }

uint32_t bitsPerPixel(uint32_t psm) {
    switch (psm) {
    case kPsmCt24:
    case kPsmZ24:
        return 24;
    case kPsmCt16:
    case kPsmCt16S:
    case kPsmZ16:
    case kPsmZ16S:
        return 16;
    case kPsmT8:
    case kPsmT8H:
        return 8;
    case kPsmT4:
    case kPsmT4HL:
    case kPsmT4HH:
        return 4;
    default:
        return 32;
    }
}

}  // namespace gs
