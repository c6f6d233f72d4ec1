// The VIF1 commands one at a time, sent from the host: every UNPACK format
// and sign mode, the address with ITOP and its wrap, MPG, DIRECT, the
// settings registers and the micro-program starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory/bus.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"
#include "vif_codes.h"

namespace {

constexpr u32 K = kUntouched;
constexpr u32 kCheckMark = 0x600D;

class Vif : public testing::Test {
protected:
    void SetUp() override {
        useTestPlugins();
        resetMachine();
        clearRecording();
        fillVu1Memories();
    }
};

std::vector<RecordedCall> gifTransfers() {
    std::vector<RecordedCall> found;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.library == "gs" && call.entry == "GSgifTransfer") found.push_back(call);
    }
    return found;
}

struct UnpackCase {
    const char* format;
    u32 code;
    std::vector<u32> payload;
    std::vector<Quadword> written;  // from quadword 10 on
};

const UnpackCase kUnpackCases[] = {
    {"S-32", unpackCode(0, 0, 2, 10), {0x11223344, 0x80000001},
     {{0x11223344, 0x11223344, 0x11223344, 0x11223344}, {0x80000001, 0x80000001, 0x80000001, 0x80000001}}},
    {"S-16 signed", unpackCode(0, 1, 2, 10), {0x7FFF8001},
     {{0xFFFF8001, 0xFFFF8001, 0xFFFF8001, 0xFFFF8001}, {0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF}}},
    {"S-16 unsigned", unpackCode(0, 1, 2, 10 | kUnsigned), {0x7FFF8001},
     {{0x8001, 0x8001, 0x8001, 0x8001}, {0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF}}},
    {"S-8 signed, three vectors in one word", unpackCode(0, 2, 3, 10), {0x00FF7F80},
     {{0xFFFFFF80, 0xFFFFFF80, 0xFFFFFF80, 0xFFFFFF80}, {0x7F, 0x7F, 0x7F, 0x7F},
      {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}}},
    {"S-8 unsigned", unpackCode(0, 2, 1, 10 | kUnsigned), {0xAAAAAA80}, {{128, 128, 128, 128}}},
    {"V2-32", unpackCode(1, 0, 2, 10), {1, 2, 3, 4}, {{1, 2, K, K}, {3, 4, K, K}}},
    {"V2-16 signed", unpackCode(1, 1, 2, 10), {0x8000FFFF, 0x00020001},
     {{0xFFFFFFFF, 0xFFFF8000, K, K}, {1, 2, K, K}}},
    {"V2-16 unsigned", unpackCode(1, 1, 2, 10 | kUnsigned), {0x8000FFFF, 0x00020001},
     {{0xFFFF, 0x8000, K, K}, {1, 2, K, K}}},
    {"V2-8 signed, padded to a word", unpackCode(1, 2, 3, 10), {0xFE030281, 0xBEEF807F},
     {{0xFFFFFF81, 2, K, K}, {3, 0xFFFFFFFE, K, K}, {0x7F, 0xFFFFFF80, K, K}}},
    {"V2-8 unsigned", unpackCode(1, 2, 3, 10 | kUnsigned), {0xFE030281, 0xBEEF807F},
     {{0x81, 2, K, K}, {3, 0xFE, K, K}, {0x7F, 0x80, K, K}}},
    {"V3-32", unpackCode(2, 0, 2, 10), {1, 2, 3, 4, 5, 6}, {{1, 2, 3, K}, {4, 5, 6, K}}},
    {"V3-16 signed", unpackCode(2, 1, 2, 10), {0x0001FFFF, 0x80000002, 0x7FFF0003},
     {{0xFFFFFFFF, 1, 2, K}, {0xFFFF8000, 3, 0x7FFF, K}}},
    {"V3-16 unsigned", unpackCode(2, 1, 2, 10 | kUnsigned), {0x0001FFFF, 0x80000002, 0x7FFF0003},
     {{0xFFFF, 1, 2, K}, {0x8000, 3, 0x7FFF, K}}},
    {"V3-8 signed, the second vector across a word", unpackCode(2, 2, 2, 10), {0x7F80FF01, 0x1234FE02},
     {{1, 0xFFFFFFFF, 0xFFFFFF80, K}, {0x7F, 2, 0xFFFFFFFE, K}}},
    {"V3-8 unsigned", unpackCode(2, 2, 2, 10 | kUnsigned), {0x7F80FF01, 0x1234FE02},
     {{1, 0xFF, 0x80, K}, {0x7F, 2, 0xFE, K}}},
    {"V4-32", unpackCode(3, 0, 2, 10), {1, 2, 3, 4, 5, 6, 7, 8}, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
    {"V4-16 signed", unpackCode(3, 1, 1, 10), {0x7FFF8000, 0x0001FFFF}, {{0xFFFF8000, 0x7FFF, 0xFFFFFFFF, 1}}},
    {"V4-16 unsigned", unpackCode(3, 1, 1, 10 | kUnsigned), {0x7FFF8000, 0x0001FFFF}, {{0x8000, 0x7FFF, 0xFFFF, 1}}},
    {"V4-8 signed", unpackCode(3, 2, 2, 10), {0x7F80FF01, 0x04030201},
     {{1, 0xFFFFFFFF, 0xFFFFFF80, 0x7F}, {1, 2, 3, 4}}},
    {"V4-8 unsigned", unpackCode(3, 2, 2, 10 | kUnsigned), {0x7F80FF01, 0x04030201},
     {{1, 0xFF, 0x80, 0x7F}, {1, 2, 3, 4}}},
    {"V4-5", unpackCode(3, 3, 3, 10), {0x7FFF8C41, 0x5555FFFF},
     {{8, 16, 24, 0x80}, {0xF8, 0xF8, 0xF8, 0}, {0xF8, 0xF8, 0xF8, 0x80}}},
};

// Each packet ends in a MARK, which shows that the payload took exactly its
// own words; quadwords 9 and the one after the vectors stay untouched.
TEST_F(Vif, UnpackExpandsEveryFormatIntoConsecutiveQuadwords) {
    for (const UnpackCase& row : kUnpackCases) {
        SCOPED_TRACE(row.format);
        fillVu1Memories();
        hostStore<u32>(memory.hw + kVif1Registers + kVif1Mark, 0);
        std::vector<u32> packet{row.code};
        packet.insert(packet.end(), row.payload.begin(), row.payload.end());
        packet.push_back(vifCode(Mark, 0, kCheckMark));
        sendToVif(packet);

        EXPECT_EQ(vif1Register(kVif1Mark), kCheckMark);
        EXPECT_EQ(dataQuadword(9), (Quadword{K, K, K, K}));
        for (u32 i = 0; i < row.written.size(); ++i) EXPECT_EQ(dataQuadword(10 + i), row.written[i]) << "vector " << i;
        EXPECT_EQ(dataQuadword(10 + static_cast<u32>(row.written.size())), (Quadword{K, K, K, K}));
    }
}

TEST_F(Vif, UnpackAddressAddsItopWithFlgAndWrapsInsideDataMemory) {
    sendToVif({vifCode(Itop, 0, 0x3FF), unpackCode(3, 0, 3, 0x3FF | kFlg), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
               unpackCode(0, 0, 1, 0x220), 77});
    EXPECT_EQ(vif1Register(kVif1Itop), 0x1FFu);
    EXPECT_EQ(dataQuadword(0x3FE), (Quadword{1, 2, 3, 4}));
    EXPECT_EQ(dataQuadword(0x3FF), (Quadword{5, 6, 7, 8}));
    EXPECT_EQ(dataQuadword(0), (Quadword{9, 10, 11, 12}));
    // Without FLG the address is its low nine bits alone.
    EXPECT_EQ(dataQuadword(0x20), (Quadword{77, 77, 77, 77}));
}

// Masked UNPACK is not interpreted, so its data words run as commands; the
// 4-bit formats other than V4-5 take their payload and write nothing; num
// 0 has no payload.
TEST_F(Vif, UnpacksThatWriteNothingKeepTheStreamInStep) {
    sendToVif({vifCode(MaskedUnpack, 1, 10), vifCode(Mark, 0, 0x42)});
    EXPECT_EQ(vif1Register(kVif1Mark), 0x42u);
    sendToVif({unpackCode(0, 3, 9, 10), 0x11111111, 0x22222222, vifCode(Mark, 0, 0x43)});
    EXPECT_EQ(vif1Register(kVif1Mark), 0x43u);
    sendToVif({unpackCode(3, 0, 0, 10), vifCode(Mark, 0, 0x44)});
    EXPECT_EQ(vif1Register(kVif1Mark), 0x44u);
    for (u32 q = 0; q < 1024; ++q) ASSERT_EQ(dataQuadword(q), (Quadword{K, K, K, K})) << "quadword " << q;
}

TEST_F(Vif, MpgLoadsPairsIntoMicroMemoryAndWrapsAtItsEnd) {
    std::vector<u32> packet{vifCode(Mpg, 0, 4)};
    for (u32 i = 0; i < 512; ++i) packet.push_back(0x1000 + i);
    sendToVif(packet);
    EXPECT_EQ(microWord(28), K);
    for (u32 i = 0; i < 512; ++i) ASSERT_EQ(microWord(32 + 4 * i), 0x1000 + i) << "word " << i;
    EXPECT_EQ(microWord(32 + 4 * 512), K);

    sendToVif({vifCode(Mpg, 2, 2047), 0xA, 0xB, 0xC, 0xD});
    EXPECT_EQ(microWord(0x3FF8), 0xAu);
    EXPECT_EQ(microWord(0x3FFC), 0xBu);
    EXPECT_EQ(microWord(0), 0xCu);
    EXPECT_EQ(microWord(4), 0xDu);
}

TEST_F(Vif, DirectPassesWholeQuadwordsToTheGs) {
    sendToVif({vifCode(Direct, 0, 2), 1, 2, 3, 4, 5, 6, 7, 8, vifCode(Mark, 0, 1)});
    // A payload that starts in a tag's upper half: the split quadword is
    // gathered before it goes out.
    sendToVif({vifCode(DirectHl, 0, 2), 9});
    sendToVif({10, 11, 12, 13, 14, 15, 16});
    std::vector<RecordedCall> calls = gifTransfers();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].args, std::vector<u64>{2});
    EXPECT_EQ(calls[0].data, (std::vector<u32>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(calls[1].data, (std::vector<u32>{9, 10, 11, 12}));
    EXPECT_EQ(calls[2].data, (std::vector<u32>{13, 14, 15, 16}));
    EXPECT_EQ(vif1Register(kVif1Mark), 1u);

    // imm16 0 stands for 65535 quadwords.
    clearRecording();
    std::vector<u32> longPacket(1 + 65535 * 4, 0);
    longPacket[0] = vifCode(Direct, 0, 0);
    longPacket.push_back(vifCode(Mark, 0, 2));
    sendToVif(longPacket);
    calls = gifTransfers();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, std::vector<u64>{65535});
    EXPECT_EQ(vif1Register(kVif1Mark), 2u);
}

TEST_F(Vif, SettingsCommandsFillTheRegisterBlock) {
    hostStore<u32>(memory.hw + kVif1Registers + kVif1Tops, 0x77);
    hostStore<u32>(memory.hw + kVif1Registers + kVif1Stat, 0xFFFF);
    // The interrupt bit (31) changes nothing.
    sendToVif({vifCode(Stcycl, 0x12, 0x3402), vifCode(Stmod, 0, 3), vifCode(0x80 | Mark, 0, 0xBEEF),
               vifCode(Base, 0, 0x3FE), vifCode(Itop, 0, 0x205), vifCode(Stmask), 0xA5A5A5A5, vifCode(Strow), 1, 2, 3, 4,
               vifCode(Stcol), 5, 6, 7, 8, vifCode(Nop, 0x12, 0x3456), vifCode(0x06), vifCode(0x10), vifCode(0x13)});
    EXPECT_EQ(vif1Register(kVif1Cl), 0x01123402u);
    EXPECT_EQ(vif1Register(kVif1Wl), 0x00011234u);
    EXPECT_EQ(vif1Register(kVif1Mode), 1u);
    EXPECT_EQ(vif1Register(kVif1Mark), 0xBEEFu);
    EXPECT_EQ(vif1Register(kVif1Base), 0x1FEu);
    EXPECT_EQ(vif1Register(kVif1Itop), 0x005u);
    EXPECT_EQ(vif1Register(kVif1Mask), 0xA5A5A5A5u);
    for (u32 i = 0; i < 4; ++i) {
        EXPECT_EQ(vif1Register(static_cast<Vif1Register>(kVif1Row + 4 * i)), 1 + i);
        EXPECT_EQ(vif1Register(static_cast<Vif1Register>(kVif1Col + 4 * i)), 5 + i);
    }
    EXPECT_EQ(vif1Register(kVif1Stat), 0xFFFFu);

    sendToVif({vifCode(Offset, 0, 0x3FF)});
    EXPECT_EQ(vif1Register(kVif1Ofst), 0x1FFu);
    EXPECT_EQ(vif1Register(kVif1Base), 0x77u);
    EXPECT_EQ(vif1Register(kVif1Stat), 0xFF7Fu);
}

// The micro-program itself is not run yet; these check where the VIF
// leaves tpc for it.
TEST_F(Vif, MscalSetsTheStartAndMscntKeepsIt) {
    sendToVif({vifCode(Mscal, 0, 3)});
    EXPECT_EQ(vu1.tpc, 24u);
    sendToVif({vifCode(0x80 | Mscalf, 0, 2)});
    EXPECT_EQ(vu1.tpc, 16u);
    vu1.tpc = 0x48;  // where a program that ran would have stopped
    sendToVif({vifCode(Mscnt, 0, 5)});
    EXPECT_EQ(vu1.tpc, 0x48u);
}

}  // namespace
