// The GIF path as the recording GS sees it: the exact sequence of
// "GSgifTransfer" calls and the words each one carries, for a guest program
// that builds chains of every tag type, for the 64-bit start and VIF1 CHCR
// bit 5, for transfers that wrap at the end of RAM or the scratchpad, and
// for the SPR-from drain that hands the scratchpad to "GSgifTransfer2".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory/bus.h"
#include "memory/host_access.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

constexpr u32 kSpr = 0x80000000;  // the DMA view of the scratchpad
constexpr u32 kGif = 0x1000A000, kVif1 = 0x10009000, kSprFrom = 0x1000D000;

struct Transfer {
    u32 address;  // DMA address
    u32 quadwords;
};

// The 32-bit words at a DMA address, each byte wrapped inside its block.
std::vector<u32> wordsAt(u32 address, u32 quadwords) {
    const bool scratchpad = address & kSpr;
    u8* base = scratchpad ? memory.scratchpad : memory.ram;
    const u32 mask = scratchpad ? kScratchpadMask : kRamMask;
    std::vector<u32> words(quadwords * 4);
    for (u32 i = 0; i < quadwords * 16; ++i) words[i / 4] |= u32{base[(address + i) & mask]} << (8 * (i % 4));
    return words;
}

std::vector<RecordedCall> gsCalls(const std::string& entry) {
    std::vector<RecordedCall> found;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.library == "gs" && call.entry == entry) found.push_back(call);
    }
    return found;
}

void expectTransfers(const std::vector<Transfer>& expected) {
    const std::vector<RecordedCall> calls = gsCalls("GSgifTransfer");
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "transfer " << i << " from 0x" << std::hex << expected[i].address);
        ASSERT_EQ(calls[i].args.size(), 1u);
        EXPECT_EQ(calls[i].args[0], expected[i].quadwords);
        EXPECT_EQ(calls[i].data, wordsAt(expected[i].address, expected[i].quadwords));
    }
}

// --- The guest program's chains -------------------------------------------

enum Area { Chain, RefData, Head, Literal };

// An address in the guest program: quadword `index` of an area, or a plain
// value.
struct Where {
    Area area;
    u32 index;
};

u32 resolve(Where where) {
    switch (where.area) {
    case Chain: return guestSymbol("chain") + 16 * where.index;
    case RefData: return guestSymbol("refData") + 16 * where.index;
    case Head: return guestSymbol("head") + 16 * where.index;
    default: return where.index;
    }
}

struct GuestTransfer {
    Where from;
    u32 quadwords;
    u32 byteOffset = 0;
};

struct GuestChain {
    const char* what;
    u32 scenario;
    std::vector<GuestTransfer> transfers;
    u32 chcr, chcrHigh, qwc;
    Where madr, asr0, asr1;
    u32 dStat;
};

// A tag's upper half and the quadword after it, sent before the tag's data
// when VIF1 CHCR bit 5 is set.
GuestTransfer half(u32 tagIndex) { return {{Chain, tagIndex}, 2, 8}; }

const GuestChain kGuestChains[] = {
    {"every tag type, 32-bit start",
     0,
     {{{Head, 0}, 1},
      {{Chain, 1}, 1},
      {{Chain, 3}, 1},
      {{RefData, 0}, 2},
      {{RefData, 4}, 1},
      {{Chain, 11}, 1},
      {{Chain, 21}, 0},
      {{Chain, 25}, 1},
      {{Chain, 22}, 0},
      {{Chain, 13}, 1}},
     0x84, 0, 1, {Literal, 0x00ABCDE0}, {Chain, 12}, {Chain, 21}, 0x4},
    {"every tag type with VIF1 CHCR bit 5: each tag's upper half first",
     1,
     {{{Head, 0}, 1},
      half(0), {{Chain, 1}, 1},
      half(2), {{Chain, 3}, 1},
      half(8), {{RefData, 0}, 2},
      half(9), {{RefData, 4}, 1},
      half(10), {{Chain, 11}, 1},
      half(20), {{Chain, 21}, 0},
      half(24), {{Chain, 25}, 1},
      half(21), {{Chain, 22}, 0},
      half(12), {{Chain, 13}, 1}},
     0x84, 0, 1, {Literal, 0x00ABCDE0}, {Chain, 12}, {Chain, 21}, 0x4},
    {"64-bit start: one return slot, no tag halves even with VIF1 bit 5",
     2,
     {{{Chain, 41}, 1}, {{Chain, 51}, 0}, {{Chain, 53}, 0}, {{Chain, 52}, 1}},
     0x84, 0x5A, 1, {Literal, 0x00FEDCB0}, {Chain, 51}, {Literal, 0}, 0x4},
    {"QWC 0 in normal mode sends nothing; refe sends its block and ends",
     3,
     {{{RefData, 0}, 3}},
     0x04, 0, 3, {RefData, 0}, {Literal, 0}, {Literal, 0}, 0},
};

TEST(GifChannel, GuestChainsOfEveryTagTypeReachTheGsInOrder) {
    for (const GuestChain& row : kGuestChains) {
        SCOPED_TRACE(row.what);
        useTestPlugins();
        ASSERT_TRUE(loadGuestProgram("dma_gif_chain"));
        memWrite32(row.scenario, guestSymbol("scenario"));
        clearRecording();
        runGuest();
        std::vector<Transfer> expected;
        for (const GuestTransfer& t : row.transfers) expected.push_back({resolve(t.from) + t.byteOffset, t.quadwords});
        expectTransfers(expected);
        const u32 results = guestSymbol("results");
        EXPECT_EQ(guestWord(results + 0), row.chcr);
        EXPECT_EQ(guestWord(results + 4), row.chcrHigh);
        EXPECT_EQ(guestWord(results + 8), row.qwc);
        EXPECT_EQ(guestWord(results + 12), resolve(row.madr));
        EXPECT_EQ(guestWord(results + 16), resolve(row.asr0));
        EXPECT_EQ(guestWord(results + 20), resolve(row.asr1));
        EXPECT_EQ(guestWord(results + 24), row.dStat);
    }
}

// --- Starts from the host: the worked cases and the ends of the blocks ----

struct HostStart {
    const char* what;
    u32 madr, qwc, tadr;
    u64 tag;        // stored at TADR when chain mode is asked for
    u32 vif1Chcr;
    u32 value;      // the 32-bit store to the GIF CHCR
    std::vector<Transfer> transfers;
};

constexpr u64 endTag(u32 qwc) { return (u64{7} << 28) | qwc; }

const HostStart kHostStarts[] = {
    {"QWC 2 in normal mode: one transfer of 2", 0x00300000, 2, 0, 0, 0, 0x100, {{0x00300000, 2}}},
    {"STR clear: nothing", 0x00300000, 2, 0, 0, 0, 0x004, {}},
    {"MADR in another segment reaches the same RAM", 0x20300010, 1, 0, 0, 0, 0x100, {{0x00300010, 1}}},
    {"a block past the end of RAM continues at its start", 0x01FFFFE0, 4, 0, 0, 0, 0x100,
     {{0x01FFFFE0, 2}, {0x00000000, 2}}},
    {"a block longer than the scratchpad wraps round it", kSpr | 0x3FF0, 0x402, 0, 0, 0, 0x100,
     {{kSpr | 0x3FF0, 1}, {kSpr | 0x0000, 0x400}, {kSpr | 0x0000, 1}}},
    {"an unaligned quadword across the end of RAM is gathered from both ends", 0x01FFFFF8, 3, 0, 0, 0, 0x100,
     {{0x01FFFFF8, 1}, {0x00000008, 2}}},
    {"a tag in the last quadword of the scratchpad: its half and its data wrap", 0, 0, kSpr | 0x3FF0, endTag(1),
     0x20, 0x104, {{kSpr | 0x3FF8, 1}, {kSpr | 0x0008, 1}, {kSpr | 0x0000, 1}}},
};

TEST(GifChannel, TransfersFromTheHostStayInsideTheirBlock) {
    for (const HostStart& row : kHostStarts) {
        SCOPED_TRACE(row.what);
        useTestPlugins();
        resetMachine();
        for (u32 i = 0; i < kScratchpadSize; ++i) memory.scratchpad[i] = static_cast<u8>(i * 13 + (i >> 8));
        for (u32 i = 0; i < 0x10000; ++i) {
            memory.ram[i] = static_cast<u8>(i * 5 + 1);
            memory.ram[kRamSize - 0x10000 + i] = static_cast<u8>(i * 11 + 3);
            memory.ram[0x300000 + i] = static_cast<u8>(i * 3 + 7);
        }
        if (row.tadr != 0) {
            u8* at = memory.scratchpad + (row.tadr & kScratchpadMask);
            hostStore<u64>(at, row.tag);
        }
        memWrite32(row.vif1Chcr, kVif1);
        memWrite32(row.madr, kGif + 0x10);
        memWrite32(row.qwc, kGif + 0x20);
        memWrite32(row.tadr, kGif + 0x30);
        clearRecording();
        memWrite32(row.value, kGif);
        expectTransfers(row.transfers);
        EXPECT_EQ(memRead32(kGif), row.value & ~0x100u);
    }
}

// With MADR equal to the word at hardware offset 0xF040 and INTC_STAT bits
// 2-3 both set, SPR from hands the scratchpad from SADR on to the GS as a
// packet instead of copying it; the packet may wrap at the scratchpad's end.
TEST(GifChannel, SprFromDrainSendsTheScratchpadPacketToTheGs) {
    useTestPlugins();
    resetMachine();
    // A GIF tag of one PACKED register with the end-of-packet bit, and its data.
    const u32 packet[8] = {0x00008001, 0x10000000, 0xE, 0, 0x11111111, 0x22222222, 0x33333333, 0x44444444};
    const u32 sadr = 0x3FF0;
    for (u32 i = 0; i < 8; ++i) hostStore<u32>(memory.scratchpad + ((sadr + 4 * i) & kScratchpadMask), packet[i]);
    memWrite32(1, kSprFrom + 0x20);
    memWrite32(sadr, kSprFrom + 0x80);
    memWrite32(0x00300000, kSprFrom + 0x10);
    hostStore<u32>(memory.hw + 0xF040, 0x00300000);
    hostStore<u32>(memory.hw + 0xF000, 0xC);
    clearRecording();
    memWrite32(0x100, kSprFrom);
    const std::vector<RecordedCall> calls = gsCalls("GSgifTransfer2");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].data, std::vector<u32>(packet, packet + 8));
    EXPECT_TRUE(gsCalls("GSgifTransfer").empty());
    EXPECT_EQ(memRead32(0x00300000), 0u) << "the drain copies nothing";
}

}  // namespace
