// Local memory: every format's pixels land where the console's layout
// pictures put them, so data written in one format reads back in another
// as on the console.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "layout_tables.h"
#include "ps2e/gs-soft/local_memory.h"

using namespace gs;
using namespace layout_tables;

namespace {

// A format as the layout pictures describe it.
struct ReferenceFormat {
    uint32_t psm;
    int pageWidth, pageHeight, blockWidth, blockHeight;
    int unitBits;  // size of the unit the column picture counts
    int fieldShift, fieldBits;
};

constexpr ReferenceFormat kReferenceFormats[] = {
    {kPsmCt32, 64, 32, 8, 8, 32, 0, 32},  {kPsmCt24, 64, 32, 8, 8, 32, 0, 24},   {kPsmCt16, 64, 64, 16, 8, 16, 0, 16},
    {kPsmCt16S, 64, 64, 16, 8, 16, 0, 16}, {kPsmT8, 128, 64, 16, 16, 8, 0, 8},     {kPsmT4, 128, 128, 32, 16, 4, 0, 4},
    {kPsmT8H, 64, 32, 8, 8, 32, 24, 8},   {kPsmT4HL, 64, 32, 8, 8, 32, 24, 4},   {kPsmT4HH, 64, 32, 8, 8, 32, 28, 4},
    {kPsmZ32, 64, 32, 8, 8, 32, 0, 32},   {kPsmZ24, 64, 32, 8, 8, 32, 0, 24},    {kPsmZ16, 64, 64, 16, 8, 16, 0, 16},
    {kPsmZ16S, 64, 64, 16, 8, 16, 0, 16},
};

int blockInPage(uint32_t psm, int bx, int by) {
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

int unitInColumn(const ReferenceFormat& f, int column, int x, int y) {
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
uint64_t referenceBitAddress(const ReferenceFormat& f, uint32_t bp, uint32_t bw, int x, int y) {
    const int pagesPerRow = static_cast<int>(bw) * 64 / f.pageWidth;
    const int page = x / f.pageWidth + (y / f.pageHeight) * pagesPerRow;
    const int block = blockInPage(f.psm, (x % f.pageWidth) / f.blockWidth, (y % f.pageHeight) / f.blockHeight);
    const int columnHeight = f.blockHeight / 4;
    const int column = (y % f.blockHeight) / columnHeight;
    const uint64_t blockNumber = (bp + static_cast<uint64_t>(page) * 32 + block) % (kLocalMemoryBytes / 256);
    return (blockNumber * 256 + column * 64) * 8 + static_cast<uint64_t>(unitInColumn(f, column, x, y)) * f.unitBits +
           f.fieldShift;
}

uint32_t readBits(const std::vector<uint8_t>& memory, uint64_t bit, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value |= uint32_t{(memory[(bit + i) / 8] >> ((bit + i) % 8)) & 1u} << i;
    return value;
}

void writeBits(std::vector<uint8_t>& memory, uint64_t bit, int count, uint32_t value) {
    for (int i = 0; i < count; ++i) {
        uint8_t& byte = memory[(bit + i) / 8];
        const uint8_t mask = static_cast<uint8_t>(1u << ((bit + i) % 8));
        byte = static_cast<uint8_t>(((value >> i) & 1) ? (byte | mask) : (byte & ~mask));
    }
}

uint32_t pattern(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u;
    return h ^ (h >> 15);
}

// The region each format fills: two pages by two pages of its own, in a
// buffer two pages wide that starts at page 5.
constexpr uint32_t kBasePage = 5;

uint32_t bufferWidth(const ReferenceFormat& f) { return static_cast<uint32_t>(2 * f.pageWidth / 64); }

}  // namespace

TEST(LocalMemoryLayout, EachFormatPutsEveryPixelWhereTheLayoutPicturesSay) {
    auto memory = std::make_unique<LocalMemory>();
    for (const ReferenceFormat& f : kReferenceFormats) {
        SCOPED_TRACE(testing::Message() << "PSM 0x" << std::hex << f.psm);
        memory->clear();
        const uint32_t bw = bufferWidth(f);
        const uint32_t fieldMask = f.fieldBits == 32 ? 0xFFFFFFFF : (1u << f.fieldBits) - 1;
        for (int y = 0; y < 2 * f.pageHeight; ++y)
            for (int x = 0; x < 2 * f.pageWidth; ++x) memory->writePixel(f.psm, kBasePage * 32, bw, x, y, pattern(x, y));
        std::vector<uint8_t> bytes(kLocalMemoryBytes);
        std::memcpy(bytes.data(), memory->words(), kLocalMemoryBytes);
        int wrong = 0;
        for (int y = 0; y < 2 * f.pageHeight && wrong < 5; ++y) {
            for (int x = 0; x < 2 * f.pageWidth && wrong < 5; ++x) {
                const uint32_t stored = readBits(bytes, referenceBitAddress(f, kBasePage * 32, bw, x, y), f.fieldBits);
                if (stored != (pattern(x, y) & fieldMask)) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
                    ++wrong;
                }
            }
        }
    }
}

// Each format writes its pattern into the reference memory image and into
// the GS; then every format reads the GS's memory and must find what the
// pictures put at that pixel: a CLUT written as 32-bit read as 16-bit, an
// 8-bit texture uploaded as 32-bit words, a frame read as a 4-bit texture.
TEST(LocalMemoryLayout, DataWrittenInOneFormatReadsBackInEveryOtherAsThePicturesSay) {
    auto memory = std::make_unique<LocalMemory>();
    std::vector<uint8_t> reference(kLocalMemoryBytes);
    for (const ReferenceFormat& writer : kReferenceFormats) {
        memory->clear();
        std::fill(reference.begin(), reference.end(), 0);
        const uint32_t writerBw = bufferWidth(writer);
        for (int y = 0; y < 2 * writer.pageHeight; ++y) {
            for (int x = 0; x < 2 * writer.pageWidth; ++x) {
                memory->writePixel(writer.psm, kBasePage * 32, writerBw, x, y, pattern(x, y));
                writeBits(reference, referenceBitAddress(writer, kBasePage * 32, writerBw, x, y), writer.fieldBits,
                          pattern(x, y));
            }
        }
        for (const ReferenceFormat& reader : kReferenceFormats) {
            SCOPED_TRACE(testing::Message() << "written as 0x" << std::hex << writer.psm << ", read as 0x" << reader.psm);
            // The reader looks at the same pages through a buffer of its
            // own page width, one page further down than it starts.
            const uint32_t readerBw = bufferWidth(reader);
            int wrong = 0;
            for (int y = 0; y < 2 * reader.pageHeight && wrong < 3; ++y) {
                for (int x = 0; x < 2 * reader.pageWidth && wrong < 3; ++x) {
                    const uint32_t expected =
                        readBits(reference, referenceBitAddress(reader, kBasePage * 32, readerBw, x, y), reader.fieldBits);
                    const uint32_t got = memory->readPixel(reader.psm, kBasePage * 32, readerBw, x, y);
                    if (got != expected) {
                        ADD_FAILURE() << "pixel (" << x << ", " << y << "): 0x" << std::hex << got << " not 0x" << expected;
                        ++wrong;
                    }
                }
            }
        }
    }
}

// A buffer that starts mid-page takes its blocks in order from its first
// block; addresses wrap at the end of the 4 MB.
TEST(LocalMemoryLayout, BuffersStartAtAnyBlockAndWrapAtTheEndOfMemory) {
    auto memory = std::make_unique<LocalMemory>();
    const ReferenceFormat& ct32 = kReferenceFormats[0];
    const uint32_t lastBlocks = kLocalMemoryBytes / 256 - 3;
    for (uint32_t bp : {3u, lastBlocks}) {
        memory->clear();
        std::vector<uint8_t> reference(kLocalMemoryBytes);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 128; ++x) {
                memory->writePixel(kPsmCt32, bp, 2, x, y, pattern(x, y));
                writeBits(reference, referenceBitAddress(ct32, bp, 2, x, y), 32, pattern(x, y));
            }
        }
        EXPECT_EQ(0, std::memcmp(reference.data(), memory->words(), kLocalMemoryBytes)) << "BP " << bp;
    }
}
