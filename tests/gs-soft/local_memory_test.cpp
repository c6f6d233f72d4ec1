// Local memory: every format's pixels land where the console's layout
// pictures put them, so data written in one format reads back in another
// as on the console.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "ps2e/gs-soft/local_memory.h"
#include "reference_layout.h"

using namespace gs;

namespace {

using namespace reference_layout;

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
