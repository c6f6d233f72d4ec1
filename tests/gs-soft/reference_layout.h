// Pixel addresses computed from the layout pictures alone (layout_tables.h),
// for checking the GS's local memory against them.
#pragma once

#include <cstdint>
#include <vector>

#include "layout_tables.h"
#include "ps2e/gs-soft/local_memory.h"

namespace reference_layout {

using namespace gs;
using namespace layout_tables;

// A format as the layout pictures describe it.
struct ReferenceFormat {
    uint32_t psm;
    int pageWidth, pageHeight, blockWidth, blockHeight;
    int unitBits;  // size of the unit the column picture counts
    int fieldShift, fieldBits;
};

inline constexpr ReferenceFormat kReferenceFormats[] = {
    {kPsmCt32, 64, 32, 8, 8, 32, 0, 32},  {kPsmCt24, 64, 32, 8, 8, 32, 0, 24},   {kPsmCt16, 64, 64, 16, 8, 16, 0, 16},
    {kPsmCt16S, 64, 64, 16, 8, 16, 0, 16}, {kPsmT8, 128, 64, 16, 16, 8, 0, 8},     {kPsmT4, 128, 128, 32, 16, 4, 0, 4},
    {kPsmT8H, 64, 32, 8, 8, 32, 24, 8},   {kPsmT4HL, 64, 32, 8, 8, 32, 24, 4},   {kPsmT4HH, 64, 32, 8, 8, 32, 28, 4},
    {kPsmZ32, 64, 32, 8, 8, 32, 0, 32},   {kPsmZ24, 64, 32, 8, 8, 32, 0, 24},    {kPsmZ16, 64, 64, 16, 8, 16, 0, 16},
    {kPsmZ16S, 64, 64, 16, 8, 16, 0, 16},
};

inline int blockInPage(uint32_t psm, int bx, int by) {
    switch (psm) {
    case kPsmCt16:
    case kPsmT4:
        return kBlocksCt16[by][bx];
    case kPsmCt16S:
        return kBlocksCt16S[by][bx];
    case kPsmZ16:
        return kBlocksZ16[by][bx];
    case kPsmZ16S:
        return kBlocksZ16S[by][bx];
    case kPsmZ32:
    case kPsmZ24:
        return kBlocksZ32[by][bx];
    default:
        return kBlocksCt32[by][bx];
    }
}

inline int unitInColumn(const ReferenceFormat& f, int column, int x, int y) {
    switch (f.unitBits) {
    case 16:
        return kColumnCt16[y % 2][x % 16];
    case 8:
        return kColumnT8[column & 1][y % 4][x % 16];
    case 4:
        return kColumnT4[column & 1][y % 4][x % 32];
    default:
        return kColumnCt32[y % 2][x % 8];
    }
}

// Bit address in local memory of pixel (x, y)'s lowest bit.
inline uint64_t referenceBitAddress(const ReferenceFormat& f, uint32_t bp, uint32_t bw, int x, int y) {
    const int pagesPerRow = static_cast<int>(bw) * 64 / f.pageWidth;
    const int page = x / f.pageWidth + (y / f.pageHeight) * pagesPerRow;
    const int block = blockInPage(f.psm, (x % f.pageWidth) / f.blockWidth, (y % f.pageHeight) / f.blockHeight);
    const int columnHeight = f.blockHeight / 4;
    const int column = (y % f.blockHeight) / columnHeight;
    const uint64_t blockNumber = (bp + static_cast<uint64_t>(page) * 32 + block) % (kLocalMemoryBytes / 256);
    return (blockNumber * 256 + column * 64) * 8 + static_cast<uint64_t>(unitInColumn(f, column, x, y)) * f.unitBits +
           f.fieldShift;
}

inline uint32_t readBits(const std::vector<uint8_t>& memory, uint64_t bit, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value |= uint32_t{(memory[(bit + i) / 8] >> ((bit + i) % 8)) & 1u} << i;
    return value;
}

inline void writeBits(std::vector<uint8_t>& memory, uint64_t bit, int count, uint32_t value) {
    for (int i = 0; i < count; ++i) {
        uint8_t& byte = memory[(bit + i) / 8];
        const uint8_t mask = static_cast<uint8_t>(1u << ((bit + i) % 8));
        byte = static_cast<uint8_t>(((value >> i) & 1) ? (byte | mask) : (byte & ~mask));
    }
}

}  // namespace reference_layout
