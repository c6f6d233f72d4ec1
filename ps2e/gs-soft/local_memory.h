// The GS's 4 MB of local memory and the way each pixel format lays its
// pixels out in it.
//
// Memory is divided into 8 KB pages, each page into 32 blocks of 256 bytes,
// each block into 4 columns of 64 bytes. A buffer is named by its first
// block (BP, units of 64 words) and its width (BW, units of 64 pixels);
// pages run left to right across the buffer's width, then down. Inside a
// page, blocks and columns are arranged per format so that the formats
// that share the memory (a frame drawn as 32-bit read as a texture, a CLUT
// stored as 16-bit, an 8-bit texture uploaded as 32-bit words) meet the way
// the console's do.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace gs {

// Pixel storage modes, as the PSM fields of the GS registers hold them.
enum Psm : uint32_t {
    kPsmCt32 = 0x00,
    kPsmCt24 = 0x01,
    kPsmCt16 = 0x02,
    kPsmCt16S = 0x0A,
    kPsmT8 = 0x13,
    kPsmT4 = 0x14,
    kPsmT8H = 0x1B,
    kPsmT4HL = 0x24,
    kPsmT4HH = 0x2C,
    kPsmZ32 = 0x30,
    kPsmZ24 = 0x31,
    kPsmZ16 = 0x32,
    kPsmZ16S = 0x3A,
};

inline constexpr uint32_t kLocalMemoryBytes = 4 * 1024 * 1024;
inline constexpr uint32_t kWordsPerPage = 2048;
inline constexpr uint32_t kWordsPerBlock = 64;

// Where a format keeps one pixel: the storage unit it addresses (32, 16, 8
// or 4 bits), the page size in pixels, and, for the formats that share a
// 32-bit word with other data (24-bit colour and Z, the 8H/4HL/4HH
// textures), the bits of the word that belong to the pixel.
//
// A pixel's unit offset inside its page is xOffset[x] ^ yOffset[y]: the
// block, column and position bits that x and y choose never overlap.
struct PixelLayout {
    uint32_t psm = kPsmCt32;
    uint32_t unitBits = 32;
    uint32_t pageWidthShift = 6;
    uint32_t pageHeightShift = 5;
    uint32_t fieldShift = 0;
    uint32_t fieldMask = 0xFFFFFFFF;
    uint32_t unitsPerWordShift = 0;            // log2 of the units in a word
    uint32_t unitMask = kLocalMemoryBytes / 4 - 1;  // local memory's size in units, less one
    std::array<uint32_t, 128> xOffset{};
    std::array<uint32_t, 128> yOffset{};
};

// The layout of a PSM value; values that name no format read as PSMCT32.
const PixelLayout& layoutOf(uint32_t psm);

bool isClutFormat(uint32_t psm);
// Formats whose pixels carry 16 bits of colour (5:5:5:1).
bool is16BitColour(uint32_t psm);
uint32_t bitsPerPixel(uint32_t psm);

// The address of pixel (x, y) of a buffer, in the layout's storage units
// (words, halfwords, bytes or nibbles), wrapped to local memory.
inline uint32_t unitAddress(const PixelLayout& layout, uint32_t bp, uint32_t bw, uint32_t x, uint32_t y) {
    const uint32_t pagesPerRow = bw >> (layout.pageWidthShift - 6);
    const uint32_t page = (x >> layout.pageWidthShift) + (y >> layout.pageHeightShift) * pagesPerRow;
    const uint32_t inPage = layout.xOffset[x & ((1u << layout.pageWidthShift) - 1)] ^
                            layout.yOffset[y & ((1u << layout.pageHeightShift) - 1)];
    return (((bp * kWordsPerBlock + page * kWordsPerPage) << layout.unitsPerWordShift) + inPage) & layout.unitMask;
}

// The part of a pixel's address that its row alone decides: the first
// unit of its row of pages, and its row's offset bits inside a page.
struct RowAddress {
    uint32_t base = 0;
    uint32_t yBits = 0;
};

inline RowAddress rowAddress(const PixelLayout& layout, uint32_t bp, uint32_t bw, uint32_t y) {
    const uint32_t pagesPerRow = bw >> (layout.pageWidthShift - 6);
    const uint32_t pageRow = (y >> layout.pageHeightShift) * pagesPerRow;
    return {(bp * kWordsPerBlock + pageRow * kWordsPerPage) << layout.unitsPerWordShift,
            layout.yOffset[y & ((1u << layout.pageHeightShift) - 1)]};
}

// The same address as unitAddress, from the row's part and x.
inline uint32_t unitAddressInRow(const PixelLayout& layout, const RowAddress& row, uint32_t x) {
    const uint32_t pageColumn = (x >> layout.pageWidthShift) * (kWordsPerPage << layout.unitsPerWordShift);
    return (row.base + pageColumn + (layout.xOffset[x & ((1u << layout.pageWidthShift) - 1)] ^ row.yBits)) &
           layout.unitMask;
}

class LocalMemory {
public:
    // The pixel's own bits, shifted down (a 24-bit colour without the byte
    // above it, an 8H texel from the top byte of its word).
    uint32_t readPixel(uint32_t psm, uint32_t bp, uint32_t bw, uint32_t x, uint32_t y) const;
    // Stores the pixel's own bits and leaves the rest of its word alone.
    void writePixel(uint32_t psm, uint32_t bp, uint32_t bw, uint32_t x, uint32_t y, uint32_t value);

    uint32_t readUnit(const PixelLayout& layout, uint32_t address) const;
    void writeUnit(const PixelLayout& layout, uint32_t address, uint32_t value);

    uint32_t* words() { return words_.data(); }
    const uint32_t* words() const { return words_.data(); }
    void clear() { words_.fill(0); }

private:
    alignas(64) std::array<uint32_t, kLocalMemoryBytes / 4> words_{};
};

inline uint32_t LocalMemory::readUnit(const PixelLayout& layout, uint32_t address) const {
    switch (layout.unitBits) {
    case 32:
        return (words_[address] >> layout.fieldShift) & layout.fieldMask;
    case 16:
        return reinterpret_cast<const uint16_t*>(words_.data())[address];
    case 8:
        return reinterpret_cast<const uint8_t*>(words_.data())[address];
    default:
        return (reinterpret_cast<const uint8_t*>(words_.data())[address >> 1] >> ((address & 1) * 4)) & 0xF;
    }
}

inline void LocalMemory::writeUnit(const PixelLayout& layout, uint32_t address, uint32_t value) {
    switch (layout.unitBits) {
    case 32: {
        const uint32_t bits = layout.fieldMask << layout.fieldShift;
        words_[address] = (words_[address] & ~bits) | ((value << layout.fieldShift) & bits);
        break;
    }
    case 16:
        reinterpret_cast<uint16_t*>(words_.data())[address] = static_cast<uint16_t>(value);
        break;
    case 8:
        reinterpret_cast<uint8_t*>(words_.data())[address] = static_cast<uint8_t>(value);
        break;
    default: {
        uint8_t& byte = reinterpret_cast<uint8_t*>(words_.data())[address >> 1];
        const uint32_t shift = (address & 1) * 4;
        byte = static_cast<uint8_t>((byte & ~(0xF << shift)) | ((value & 0xF) << shift));
        break;
    }
    }
}

inline uint32_t LocalMemory::readPixel(uint32_t psm, uint32_t bp, uint32_t bw, uint32_t x, uint32_t y) const {
    const PixelLayout& layout = layoutOf(psm);
    return readUnit(layout, unitAddress(layout, bp, bw, x & 2047, y & 2047));
}

inline void LocalMemory::writePixel(uint32_t psm, uint32_t bp, uint32_t bw, uint32_t x, uint32_t y, uint32_t value) {
    const PixelLayout& layout = layoutOf(psm);
    writeUnit(layout, unitAddress(layout, bp, bw, x & 2047, y & 2047), value);
}

}  // namespace gs
