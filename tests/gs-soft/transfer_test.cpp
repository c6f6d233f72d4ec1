// Transfers between the host and local memory through the entry points:
// host-to-local then local-to-host returns the same data in every format,
// and data written in one format reads back in another as the layout
// pictures say.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "gif_packet.h"
#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/ps2e.h"
#include "reference_layout.h"

using namespace reference_layout;

namespace {

constexpr uint32_t kBp = 96;  // page 3
constexpr uint32_t kBw = 4;
constexpr int kLeft = 5, kTop = 3;

int packedBits(const ReferenceFormat& f) { return f.psm == kPsmCt24 || f.psm == kPsmZ24 ? 24 : f.fieldBits; }

void transferRegisters(GifPacket& p, uint32_t psm, int x, int y, int w, int h, uint32_t direction) {
    const uint64_t buffer = kBp | (uint64_t{kBw} << 16) | (uint64_t{psm} << 24);
    p.registers({{gs::kRegBitbltbuf, buffer | (buffer << 32)},
                 {gs::kRegTrxpos, uint64_t(x) | (uint64_t(y) << 16) | (uint64_t(x) << 32) | (uint64_t(y) << 48)},
                 {gs::kRegTrxreg, uint64_t(w) | (uint64_t(h) << 32)},
                 {gs::kRegTrxdir, direction}});
}

void upload(uint32_t psm, int w, int h, std::vector<uint8_t> bytes) {
    GifPacket p;
    transferRegisters(p, psm, kLeft, kTop, w, h, 0);
    bytes.resize((bytes.size() + 15) / 16 * 16);
    p.tag(static_cast<uint32_t>(bytes.size() / 16), true, kImage, {});
    for (size_t i = 0; i < bytes.size(); i += 16) {
        uint64_t low, high;
        std::memcpy(&low, &bytes[i], 8);
        std::memcpy(&high, &bytes[i + 8], 8);
        p.quadword(low, high);
    }
    GSgifTransfer(p.words.data(), static_cast<uint32_t>(p.quadwords()));
}

// Opens a local-to-host transfer and reads `quadwords` of it, the first
// one alone and the rest in a second call.
std::vector<uint8_t> download(uint32_t psm, int w, int h, size_t quadwords) {
    GifPacket p;
    transferRegisters(p, psm, kLeft, kTop, w, h, 1);
    GSgifTransfer(p.words.data(), static_cast<uint32_t>(p.quadwords()));
    std::vector<uint64_t> data(2 * quadwords);
    GSreadFIFO2(data.data(), 1);
    GSreadFIFO2(data.data() + 2, static_cast<int>(quadwords - 1));
    std::vector<uint8_t> bytes(16 * quadwords);
    std::memcpy(bytes.data(), data.data(), bytes.size());
    return bytes;
}

}  // namespace

TEST(LocalToHost, ReadsBackWhatHostToLocalWroteInEveryFormatThenZeros) {
    std::mt19937 random(7);
    constexpr int kWidth = 24, kHeight = 10;
    for (const ReferenceFormat& f : kReferenceFormats) {
        SCOPED_TRACE(testing::Message() << "PSM 0x" << std::hex << f.psm);
        GSinit();
        std::vector<uint8_t> bytes(kWidth * kHeight * packedBits(f) / 8);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        upload(f.psm, kWidth, kHeight, bytes);
        const size_t quadwords = (bytes.size() + 15) / 16 + 2;
        const std::vector<uint8_t> back = download(f.psm, kWidth, kHeight, quadwords);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), back.begin()));
        EXPECT_TRUE(std::all_of(back.begin() + bytes.size(), back.end(), [](uint8_t b) { return b == 0; }));
    }
}

// A pattern uploaded as 32-bit, and as 4-bit, read back in every format:
// each pixel as the layout pictures place it.
TEST(LocalToHost, ReadsDataWrittenInAnotherFormatAsTheLayoutPicturesPlaceIt) {
    constexpr int kWidth = 40, kHeight = 12;
    for (const ReferenceFormat& writer : {kReferenceFormats[0], kReferenceFormats[5]}) {
        GSinit();
        std::vector<uint8_t> reference(kLocalMemoryBytes);
        const int writeWidth = 96, writeHeight = 40;
        std::vector<uint8_t> bytes(writeWidth * writeHeight * writer.fieldBits / 8);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + (i >> 7));
        upload(writer.psm, writeWidth, writeHeight, bytes);
        for (int y = 0; y < writeHeight; ++y) {
            for (int x = 0; x < writeWidth; ++x) {
                const int index = y * writeWidth + x;
                const uint32_t pixel = writer.fieldBits == 32 ? bytes[4 * index] | (bytes[4 * index + 1] << 8) |
                                                                    (bytes[4 * index + 2] << 16) |
                                                                    (uint32_t{bytes[4 * index + 3]} << 24)
                                                              : (bytes[index / 2] >> (4 * (index & 1))) & 0xF;
                writeBits(reference, referenceBitAddress(writer, kBp, kBw, kLeft + x, kTop + y), writer.fieldBits, pixel);
            }
        }
        for (const ReferenceFormat& reader : kReferenceFormats) {
            SCOPED_TRACE(testing::Message() << "written as 0x" << std::hex << writer.psm << ", read as 0x" << reader.psm);
            const int bits = packedBits(reader);
            std::vector<uint8_t> expected(kWidth * kHeight * bits / 8);
            uint64_t bit = 0;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x, bit += bits) {
                    const uint32_t pixel =
                        readBits(reference, referenceBitAddress(reader, kBp, kBw, kLeft + x, kTop + y), reader.fieldBits);
                    writeBits(expected, bit, reader.fieldBits, pixel);
                }
            }
            const std::vector<uint8_t> back = download(reader.psm, kWidth, kHeight, (expected.size() + 15) / 16);
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), back.begin()));
        }
    }
}
