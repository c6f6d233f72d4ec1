// Loads and stores, run as guest code (guest/loadstore_ops.S). `bytes` in
// guest memory holds 0x80..0x8F then 0x70..0x7F, so the word at +4 is
// 0x87868584 and the doubleword at +8 is 0x8F8E8D8C8B8A8988. The unaligned
// loads start from the preset 0x1122334455667788.

#include <gtest/gtest.h>

#include "cop/fpu.h"
#include "cpu_records.h"
#include "vu/vu_state.h"

namespace {

constexpr RecordCase kPlainLoadCases[] = {
    {"LB 0x80 sign-extends", 0xFFFFFFFFFFFFFF80},
    {"LB 0x70", 0x70},
    {"LBU 0x80", 0x80},
    {"LH 0x8180 sign-extends", 0xFFFFFFFFFFFF8180},
    {"LH 0x7170", 0x7170},
    {"LHU 0x8180", 0x8180},
    {"LW 0x83828180 sign-extends", 0xFFFFFFFF83828180},
    {"LW 0x73727170", 0x73727170},
    {"LWU 0x83828180 zero-extends", 0x0000000083828180},
    {"LD at +0", 0x8786858483828180},
    {"LD at +8", 0x8F8E8D8C8B8A8988},
    {"LW -4 from a base with bits 32..63 set", 0x73727170},
};

// LWL/LWR merge into rt.w0 = 0x55667788 and clear w1; LDL/LDR merge into
// all of 0x1122334455667788.
constexpr RecordCase kUnalignedLoadCases[] = {
    {"LWL k=0", 0x84667788},
    {"LWL k=1", 0x85847788},
    {"LWL k=2", 0x86858488},
    {"LWL k=3", 0x87868584},
    {"LWR k=0", 0x87868584},
    {"LWR k=1", 0x55878685},
    {"LWR k=2", 0x55668786},
    {"LWR k=3", 0x55667787},
    {"LDL k=0", 0x8822334455667788},
    {"LDL k=1", 0x8988334455667788},
    {"LDL k=2", 0x8A89884455667788},
    {"LDL k=3", 0x8B8A898855667788},
    {"LDL k=4", 0x8C8B8A8988667788},
    {"LDL k=5", 0x8D8C8B8A89887788},
    {"LDL k=6", 0x8E8D8C8B8A898888},
    {"LDL k=7", 0x8F8E8D8C8B8A8988},
    {"LDR k=0", 0x8F8E8D8C8B8A8988},
    {"LDR k=1", 0x118F8E8D8C8B8A89},
    {"LDR k=2", 0x11228F8E8D8C8B8A},
    {"LDR k=3", 0x1122338F8E8D8C8B},
    {"LDR k=4", 0x112233448F8E8D8C},
    {"LDR k=5", 0x11223344558F8E8D},
    {"LDR k=6", 0x1122334455668F8E},
    {"LDR k=7", 0x112233445566778F},
    {"LWR +1 then LWL +4 loads bytes 1..4", 0x0000000084838281},
    {"LWL +3 then LWR +0: bit 31 set, w1 still zero", 0x0000000083828180},
    {"LDR +1 then LDL +8 loads bytes 1..8", 0x8887868584838281},
};

constexpr unsigned kLqRecord = std::size(kPlainLoadCases) + std::size(kUnalignedLoadCases);

class LoadStore : public testing::Test {
protected:
    void SetUp() override { runRecordProgram("cpu_loadstore", kLqRecord + 2); }

    static void expectWords(const char* area, std::span<const u32> expected) {
        const u32 base = guestSymbol(area);
        for (unsigned i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(guestWord(base + 4 * i), expected[i]) << area << " word " << i;
        }
    }
    static void expectDoubles(const char* area, std::span<const u64> expected) {
        const u32 base = guestSymbol(area);
        for (unsigned i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(guestDouble(base + 8 * i), expected[i]) << area << " doubleword " << i;
        }
    }
};

TEST_F(LoadStore, PlainLoadsExtendAndKeepTheUpperHalf) { expectRecords(kPlainLoadCases, 0); }

TEST_F(LoadStore, UnalignedLoadsAtEveryAlignment) {
    expectRecords(kUnalignedLoadCases, std::size(kPlainLoadCases));
}

// LQ writes all 128 bits and does not clear the low four address bits.
TEST_F(LoadStore, QuadwordLoadAtAnyAddress) {
    EXPECT_EQ(recordLow(kLqRecord), 0x8786858483828180u);
    EXPECT_EQ(recordHigh(kLqRecord), 0x8F8E8D8C8B8A8988u);
    EXPECT_EQ(recordLow(kLqRecord + 1), 0x8F8E8D8C8B8A8988u);
    EXPECT_EQ(recordHigh(kLqRecord + 1), 0x7776757473727170u);
}

// rt.w0 = 0x44332211 into words of 0xA3A2A1A0, store k at word k + k.
TEST_F(LoadStore, UnalignedWordStoresAtEveryAlignment) {
    constexpr u32 swl[] = {0xA3A2A144, 0xA3A24433, 0xA3443322, 0x44332211};
    constexpr u32 swr[] = {0x44332211, 0x332211A0, 0x2211A1A0, 0x11A2A1A0};
    expectWords("swlArea", swl);
    expectWords("swrArea", swr);
}

// rt = 0x8877665544332211 into doublewords of 0xB7B6B5B4B3B2B1B0.
TEST_F(LoadStore, UnalignedDoublewordStoresAtEveryAlignment) {
    constexpr u64 sdl[] = {0xB7B6B5B4B3B2B188, 0xB7B6B5B4B3B28877, 0xB7B6B5B4B3887766, 0xB7B6B5B488776655,
                           0xB7B6B58877665544, 0xB7B6887766554433, 0xB788776655443322, 0x8877665544332211};
    constexpr u64 sdr[] = {0x8877665544332211, 0x77665544332211B0, 0x665544332211B1B0, 0x5544332211B2B1B0,
                           0x44332211B3B2B1B0, 0x332211B4B3B2B1B0, 0x2211B5B4B3B2B1B0, 0x11B6B5B4B3B2B1B0};
    constexpr u64 pair[] = {0x8877665544332211};  // SDL at +7 and SDR at +0
    expectDoubles("sdlArea", sdl);
    expectDoubles("sdrArea", sdr);
    expectDoubles("sdPairArea", pair);
}

// Into 0xEE bytes: SB +1, SH +2, SW +4, SD +8 of 0x1122334455667788, and
// SQ of the pattern at +24, which is not a multiple of 16.
TEST_F(LoadStore, PlainStoresWriteOnlyTheirBytes) {
    constexpr u32 plain[] = {0x778888EE, 0x55667788, 0x55667788, 0x11223344, 0xEEEEEEEE, 0xEEEEEEEE,
                             0xCAFEF00D, 0xDEADBEEF, 0x89ABCDEF, 0x01234567, 0xEEEEEEEE, 0xEEEEEEEE};
    expectWords("plainArea", plain);
}

// LWC1/SWC1 move the 32 bits as they are; LQC2/SQC2 at +8 move the 16
// bytes starting there.
TEST_F(LoadStore, CoprocessorTransfers) {
    EXPECT_EQ(fpu.fpr[1].u, 0x73727170u);
    constexpr u32 vf1[] = {0x8B8A8988, 0x8F8E8D8C, 0x73727170, 0x77767574};
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(vu0.vf[1].u[i], vf1[i]) << "lane " << i;
    constexpr u32 cop[] = {0x73727170, 0xEEEEEEEE, 0x8B8A8988, 0x8F8E8D8C, 0x73727170, 0x77767574, 0xEEEEEEEE};
    expectWords("copArea", cop);
}

}  // namespace
