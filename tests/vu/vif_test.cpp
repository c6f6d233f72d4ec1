// The VIF1 command stream sent from the host (every UNPACK format and sign
// mode, ITOP and the address wrap, MPG, DIRECT, the settings and the
// micro-program starts), the same stream cut into pieces anywhere, and a
// DMA chain whose tags cut payloads.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/work_budget.h"
#include "debugger/debug_log.h"
#include "devices/dma_chain.h"
#include "memory/bus.h"
#include "plugins/recording.h"
#include "support/golden.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 vifCode(u32 command, u32 num = 0, u32 imm16 = 0) { return command << 24 | num << 16 | imm16; }
constexpr u32 unpackCode(u32 vn, u32 vl, u32 num, u32 address) { return vifCode(0x60 | vn << 2 | vl, num, address); }

enum VifCommand : u32 {
    Nop = 0x00, Stcycl = 0x01, Offset = 0x02, Base = 0x03, Itop = 0x04, Stmod = 0x05, Mark = 0x07, Mscal = 0x14,
    Mscalf = 0x15, Mscnt = 0x17, Stmask = 0x20, Strow = 0x30, Stcol = 0x31, Mpg = 0x4A, Direct = 0x50,
    DirectHl = 0x51, MaskedUnpack = 0x70,
};
constexpr u32 kUnsigned = 0x4000, kFlg = 0x8000;
constexpr u32 K = 0xDDDDDDDD;  // fills both VU1 memories before each test

using Quadword = std::array<u32, 4>;

void send(std::vector<u32> words) { vifCommandStream(words.data(), static_cast<u32>(words.size())); }
Quadword dataQuadword(u32 index) {
    return {hostLoad<u32>(vu1.dataMem + index * 16), hostLoad<u32>(vu1.dataMem + index * 16 + 4),
            hostLoad<u32>(vu1.dataMem + index * 16 + 8), hostLoad<u32>(vu1.dataMem + index * 16 + 12)};
}
u32 microWord(u32 byteOffset) { return hostLoad<u32>(vu1.microMem + byteOffset); }
void setRegister(Vif1Register reg, u32 value) { hostStore<u32>(memory.hw + kVif1Registers + reg, value); }
std::vector<u32> registerBlock(u32 words) {
    std::vector<u32> block(words);
    for (u32 i = 0; i < words; ++i) block[i] = hostLoad<u32>(memory.hw + kVif1Registers + 4 * i);
    return block;
}

void fillVu1Memories() {
    for (u32 at = 0; at < 0x4000; at += 4) {
        hostStore<u32>(vu1.dataMem + at, K);
        hostStore<u32>(vu1.microMem + at, K);
    }
}

void startFresh() {
    useTestPlugins();
    resetMachine();
    clearRecording();
    fillVu1Memories();
}

// The words of every GSgifTransfer so far, in order, and their quadword count.
std::vector<u32> gsWords(u32& quadwords) {
    std::vector<u32> words;
    quadwords = 0;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.library != "gs" || call.entry != "GSgifTransfer") continue;
        words.insert(words.end(), call.data.begin(), call.data.end());
        quadwords += static_cast<u32>(call.args.at(0));
    }
    return words;
}

class Vif : public testing::Test {
protected:
    void SetUp() override { startFresh(); }
};

struct UnpackCase {
    const char* format;
    u32 code;
    std::vector<u32> payload;
};

// Each writes from quadword 10 on; the golden log holds quadwords 9 to 10 +
// num of each, so it shows what was written and that nothing around it was.
const UnpackCase kUnpackCases[] = {
    {"S-32", unpackCode(0, 0, 2, 10), {0x11223344, 7}},
    {"S-16", unpackCode(0, 1, 2, 10), {0x7FFF8001}},
    {"S-16 unsigned", unpackCode(0, 1, 1, 10 | kUnsigned), {0x7FFF8001}},
    {"S-8, three in a word", unpackCode(0, 2, 3, 10), {0x00FF7F80}},
    {"S-8 unsigned", unpackCode(0, 2, 1, 10 | kUnsigned), {0xAAAAAA80}},
    {"V2-32", unpackCode(1, 0, 2, 10), {1, 2, 3, 4}},
    {"V2-16", unpackCode(1, 1, 1, 10), {0x8000FFFF}},
    {"V2-16 unsigned", unpackCode(1, 1, 1, 10 | kUnsigned), {0x8000FFFF}},
    {"V2-8, padded to a word", unpackCode(1, 2, 3, 10), {0xFE030281, 0xBEEF807F}},
    {"V2-8 unsigned", unpackCode(1, 2, 1, 10 | kUnsigned), {0xBEEFFE81}},
    {"V3-32", unpackCode(2, 0, 2, 10), {1, 2, 3, 4, 5, 6}},
    {"V3-16", unpackCode(2, 1, 2, 10), {0x0001FFFF, 0x80000002, 0x7FFF0003}},
    {"V3-16 unsigned", unpackCode(2, 1, 1, 10 | kUnsigned), {0x0001FFFF, 0xBEEF8000}},
    {"V3-8, the second across a word", unpackCode(2, 2, 2, 10), {0x7F80FF01, 0x1234FE02}},
    {"V3-8 unsigned", unpackCode(2, 2, 1, 10 | kUnsigned), {0xBE80FF01}},
    {"V4-32", unpackCode(3, 0, 2, 10), {1, 2, 3, 4, 5, 6, 7, 8}},
    {"V4-16", unpackCode(3, 1, 1, 10), {0x7FFF8000, 0x0001FFFF}},
    {"V4-16 unsigned", unpackCode(3, 1, 1, 10 | kUnsigned), {0x7FFF8000, 0x0001FFFF}},
    {"V4-8", unpackCode(3, 2, 2, 10), {0x7F80FF01, 0x04030201}},
    {"V4-8 unsigned", unpackCode(3, 2, 1, 10 | kUnsigned), {0x7F80FF01}},
    {"V4-5", unpackCode(3, 3, 3, 10), {0x7FFF8C41, 0x5555FFFF}},
    // The other 4-bit formats take their payload and write nothing; num 0
    // has none.
    {"S-4", unpackCode(0, 3, 9, 10), {0x11111111, 0x22222222}},
    {"num 0", unpackCode(3, 0, 0, 10), {}},
};

// The MARK after each payload shows it took exactly its own words.
TEST_F(Vif, UnpackWritesEachVectorToTheNextQuadword) {
    std::string log;
    for (const UnpackCase& row : kUnpackCases) {
        SCOPED_TRACE(row.format);
        fillVu1Memories();
        std::vector<u32> packet{row.code};
        packet.insert(packet.end(), row.payload.begin(), row.payload.end());
        packet.push_back(vifCode(Mark, 0, row.code & 0xFFFF));
        send(packet);
        EXPECT_EQ(vif1Register(kVif1Mark), row.code & 0xFFFF);
        log.append(row.format).append(":\n");
        const u32 num = (row.code >> 16) & 0xFF;
        for (u32 q = 9; q <= 10 + num; ++q) {
            char line[64];
            const Quadword value = dataQuadword(q);
            std::snprintf(line, sizeof line, "  %2u: %08x %08x %08x %08x\n", q, value[0], value[1], value[2], value[3]);
            log += line;
        }
    }
    EXPECT_TRUE(matchesGolden(goldenFile("vif_unpack.log"), log));
}

// With FLG the address is ITOP plus its low nine bits, wrapping at 1024;
// masked UNPACK is not interpreted, so its data words run as commands.
TEST_F(Vif, UnpackAddressesWrapAndMaskedUnpackIsSkipped) {
    send({vifCode(Itop, 0, 0x3FF), unpackCode(3, 0, 3, 0x3FF | kFlg), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
          unpackCode(0, 0, 1, 0x220), 77, vifCode(MaskedUnpack, 1, 0x30), vifCode(Mark, 0, 0x42)});
    EXPECT_EQ(vif1Register(kVif1Itop), 0x1FFu);
    EXPECT_EQ(dataQuadword(0x3FE), (Quadword{1, 2, 3, 4}));
    EXPECT_EQ(dataQuadword(0x3FF), (Quadword{5, 6, 7, 8}));
    EXPECT_EQ(dataQuadword(0), (Quadword{9, 10, 11, 12}));
    EXPECT_EQ(dataQuadword(0x20), (Quadword{77, 77, 77, 77}));
    EXPECT_EQ(dataQuadword(0x30), (Quadword{K, K, K, K}));
    EXPECT_EQ(vif1Register(kVif1Mark), 0x42u);
}

TEST_F(Vif, MpgLoadsPairsIntoMicroMemoryAndWrapsAtItsEnd) {
    std::vector<u32> packet{vifCode(Mpg, 0, 4)};  // num 0: 256 pairs
    for (u32 i = 0; i < 512; ++i) packet.push_back(0x1000 + i);
    send(packet);
    send({vifCode(Mpg, 2, 2047), 0xA, 0xB, 0xC, 0xD});
    EXPECT_EQ(microWord(28), K);
    for (u32 i = 0; i < 512; ++i) ASSERT_EQ(microWord(32 + 4 * i), 0x1000 + i) << "word " << i;
    EXPECT_EQ(microWord(32 + 4 * 512), K);
    EXPECT_EQ((std::array{microWord(0x3FF8), microWord(0x3FFC), microWord(0), microWord(4)}),
              (std::array<u32, 4>{0xA, 0xB, 0xC, 0xD}));
}

TEST_F(Vif, DirectHandsTheGsWholeQuadwords) {
    send({vifCode(Direct, 0, 2), 1, 2, 3, 4, 5, 6, 7, 8, vifCode(Mark, 0, 1)});
    u32 quadwords;
    EXPECT_EQ(gsWords(quadwords), (std::vector<u32>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(quadwords, 2u);
    EXPECT_EQ(vif1Register(kVif1Mark), 1u);

    clearRecording();  // imm16 0 stands for 65535 quadwords
    std::vector<u32> longPacket(1 + 65535 * 4, 0);
    longPacket[0] = vifCode(DirectHl);
    longPacket.push_back(vifCode(Mark, 0, 2));
    send(longPacket);
    gsWords(quadwords);
    EXPECT_EQ(quadwords, 65535u);
    EXPECT_EQ(vif1Register(kVif1Mark), 2u);
}

// The register block from ROW to OFST, then MARK and the status word. Bit
// 31 of a command (interrupt) changes nothing.
TEST_F(Vif, SettingsFillTheRegisterBlockAndMscalPlacesTheProgram) {
    setRegister(kVif1Tops, 0x77);
    setRegister(kVif1Stat, 0xFFFF);
    send({vifCode(Strow), 1, 2, 3, 4, vifCode(Stcol), 5, 6, 7, 8, vifCode(Stcycl, 0x12, 0x3402), vifCode(Stmask),
          0xA5A5A5A5, vifCode(Stmod, 0, 3), vifCode(Itop, 0, 0x205), vifCode(Base, 0, 0x3FE),
          vifCode(0x80 | Mark, 0, 0xBEEF), vifCode(Nop, 1, 2), vifCode(0x06), vifCode(0x10), vifCode(0x13)});
    const std::vector<u32> settings = {1, 2, 3, 4, 5, 6, 7, 8,  // ROW, COL
                                       0x01123402, 0x00011234, 0xA5A5A5A5, 1, 0x005, 0, 0x1FE, 0};
    EXPECT_EQ(registerBlock(16), settings);
    EXPECT_EQ(vif1Register(kVif1Mark), 0xBEEFu);
    EXPECT_EQ(vif1Register(kVif1Stat), 0xFFFFu);
    send({vifCode(Offset, 0, 0x3FF)});
    EXPECT_EQ((std::array{vif1Register(kVif1Ofst), vif1Register(kVif1Base), vif1Register(kVif1Stat)}),
              (std::array<u32, 3>{0x1FF, 0x77, 0xFF7F}));

    // MSCAL and MSCALF start at immediate * 8, MSCNT where tpc stands. The
    // pairs at 16, 24 and 0x48 carry an end bit (upper word MAX with an empty
    // mask), so each program stops one pair after its first.
    for (u32 at : {16u, 24u, 0x48u}) hostStore<u32>(vu1.microMem + at + 4, 0x4000002B);
    send({vifCode(Mscal, 0, 3)});
    EXPECT_EQ(vu1.tpc, 40u);
    send({vifCode(0x80 | Mscalf, 0, 2)});
    EXPECT_EQ(vu1.tpc, 32u);
    vu1.tpc = 0x48;
    send({vifCode(Mscnt, 0, 5)});
    EXPECT_EQ(vu1.tpc, 0x58u);
}

// Every payload kind, with UNPACKs whose vectors cross words.
const std::vector<u32> kStream = {
    vifCode(Stcycl, 1, 0x0404), vifCode(Stmask), 0xF0F0F0F0, vifCode(Strow), 11, 12, 13, 14,
    vifCode(Stcol), 21, 22, 23, 24, vifCode(Itop, 0, 0x30),
    vifCode(Mpg, 3, 0x10), 0x101, 0x102, 0x103, 0x104, 0x105, 0x106,
    unpackCode(2, 2, 5, 0x2 | kFlg), 0x04030201, 0x08070605, 0x0C0B0A09, 0x800F0E0D,
    unpackCode(2, 1, 3, 0x40 | kUnsigned), 0x0002FFFF, 0x80010003, 0x00058004, 0x80078006, 0x00090008,
    unpackCode(3, 3, 3, 0x50), 0x7FFF8C41, 0x5555FFFF,
    vifCode(Direct, 0, 3), 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42,
    unpackCode(3, 0, 2, 0x60), 51, 52, 53, 54, 55, 56, 57, 58,
    vifCode(Mscal, 0, 0x10), vifCode(Mark, 0, 0xCAFE), vifCode(Offset, 0, 0x20),
};

// Everything the stream can change: both VU1 memories, the VIF1 registers,
// tpc, and what the GS received.
std::vector<u32> streamOutcome(const std::vector<u32>& cuts) {
    startFresh();
    u32 from = 0;
    for (u32 cut : cuts) {
        vifCommandStream(kStream.data() + from, cut - from);
        from = cut;
    }
    vifCommandStream(kStream.data() + from, static_cast<u32>(kStream.size()) - from);
    std::vector<u32> seen(0x2000);  // VU1 micro memory, then data memory
    std::memcpy(seen.data(), vu1.microMem, 0x4000);
    std::memcpy(seen.data() + 0x1000, vu1.dataMem, 0x4000);
    const std::vector<u32> registers = registerBlock(0x18);
    seen.insert(seen.end(), registers.begin(), registers.end());
    u32 quadwords;
    const std::vector<u32> gs = gsWords(quadwords);
    seen.insert(seen.end(), gs.begin(), gs.end());
    seen.insert(seen.end(), {quadwords, vu1.tpc});
    return seen;
}

TEST(VifStream, APayloadCutAnywhereCarriesOverToTheNextPiece) {
    const std::vector<u32> whole = streamOutcome({});
    ASSERT_EQ(microWord(0x80), 0x101u);  // what the stream must have done at all
    ASSERT_EQ(dataQuadword(0x34), (Quadword{7, 8, 9, K}));
    ASSERT_EQ(dataQuadword(0x41), (Quadword{0x8001, 0x8004, 5, K}));
    ASSERT_EQ(vif1Register(kVif1Mark), 0xCAFEu);
    std::vector<u32> everyWord, tagPieces;
    for (u32 cut = 1; cut < kStream.size(); ++cut) {
        EXPECT_EQ(streamOutcome({cut}), whole) << "cut after word " << cut;
        everyWord.push_back(cut);
        if (cut % 6 == 2 || cut % 6 == 0) tagPieces.push_back(cut);  // two words, four words, ...
    }
    EXPECT_EQ(streamOutcome(everyWord), whole) << "one word per piece";
    EXPECT_EQ(streamOutcome(tagPieces), whole) << "pieces of two and four words";
}

// Through the channel: an UNPACK named in one tag's upper half takes its
// second vector from the next tag's upper half and data; a DIRECT at the
// end of that data runs into the last tag.
TEST(VifStream, ADmaChainFeedsTagHalvesAndDataInOrder) {
    useTestPlugins();
    ASSERT_TRUE(loadGuestProgram("vif_dma_start"));
    fillVu1Memories();
    clearRecording();
    const std::vector<u32> chain = {
        Cnt << 28 | 1, 0, vifCode(Nop), unpackCode(3, 0, 2, 7), 1, 2, 3, 4,
        Cnt << 28 | 1, 0, 5, 6, 7, 8, vifCode(Mark, 0, 0x2222), vifCode(Direct, 0, 1),
        End << 28 | 1, 0, 41, 42, 43, 44, vifCode(Nop), vifCode(Nop),
    };
    for (u32 i = 0; i < chain.size(); ++i) hostStore<u32>(memory.ram + 0x200000 + 4 * i, chain[i]);
    memWrite32(0x200000, kVif1 + Tadr);
    memWrite32(0x105, guestSymbol("chcr"));  // STR, chain mode, to VIF1
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    EXPECT_EQ(dataQuadword(7), (Quadword{1, 2, 3, 4}));
    EXPECT_EQ(dataQuadword(8), (Quadword{5, 6, 7, 8}));
    EXPECT_EQ(dataQuadword(9), (Quadword{K, K, K, K}));
    EXPECT_EQ(vif1Register(kVif1Mark), 0x2222u);
    u32 quadwords;
    EXPECT_EQ(gsWords(quadwords), (std::vector<u32>{41, 42, 43, 44}));
    EXPECT_EQ(quadwords, 1u);
}

// One store each: an endless chain of full tags, and a tag of MSCALs into a
// program without an end. Both are cut when the store's work budget is
// spent, with a line each, and the program runs on to its end. The budget is
// lowered so that the cut comes soon; the default differs only in size.
TEST(VifStream, AStoreThatWouldRunForMinutesIsCutAtItsWorkBudget) {
    useNoPlugins();
    ASSERT_TRUE(loadGuestProgram("vif_runaway"));
    std::vector<std::string> lines;
    setDebugLogHook([&lines](const std::string& line) { lines.push_back(line); });
    workSetBudget(u64{1} << 22);
    const StopReason reason = runGuest();
    workSetBudget(0);
    setDebugLogHook(nullptr);
    ASSERT_EQ(reason, StopReason::IdleLoop);
    EXPECT_EQ(guestWord(guestSymbol("stores")), 2u);
    EXPECT_EQ(lines, (std::vector<std::string>{"DMA guest-error: work cut: DMA tag chain (host work budget spent)",
                                               "VU guest-error: work cut: VU1 micro-program (host work budget spent)"}));
}

}  // namespace
