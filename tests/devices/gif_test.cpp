// The GIF path as the recording GS sees it: the GSgifTransfer calls and the
// words each carries, for a guest store that starts chains of every tag
// type, the 64-bit start and VIF1 CHCR bit 5, transfers that wrap at the end
// of RAM or the scratchpad, and the SPR-from drain to GSgifTransfer2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/work_budget.h"
#include "debugger/debug_log.h"
#include "devices/gif.h"
#include "dma_chain.h"
#include "machine/emulation.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

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

// Every word of a block holds its own DMA address, so the data a transfer
// sends shows where it came from.
void fillOwnAddress(u32 start, u32 bytes) {
    for (u32 at = start; at < start + bytes; at += 4) hostStore<u32>(hostAt(at), at);
}

// Quadword n of the chain area.
constexpr u32 q(u32 n) { return 0x200000 + 16 * n; }

const std::vector<Tag> kChains = {
    // Every tag type; the call at 10 returns to 12, the one at 20 to 21.
    {q(0), Cnt, 1, 0}, {q(2), Next, 1, q(8)}, {q(8), Ref, 2, 0x300000}, {q(9), Refs, 1, 0x300040},
    {q(10), Call, 1, q(20)}, {q(12), End, 1, 0xABCDE0}, {q(20), Call, 0, q(24)}, {q(21), Ret, 0, 0},
    {q(24), Ret, 1, 0}, {q(30), Refe, 3, 0x300000},
    // Shallow enough for one return slot: the ret comes back to 51.
    {q(40), Call, 1, q(50)}, {q(50), Call, 0, q(52)}, {q(51), End, 1, 0xFEDCB0}, {q(52), Ret, 0, 0},
    {kSpr | 0x3FF0, End, 1, 0},
};

// A tag's upper half and the quadword after it, sent before the tag's data
// when VIF1 CHCR bit 5 is set.
constexpr Transfer half(u32 n) { return {q(n) + 8, 2}; }

struct GifStart {
    const char* what;
    u32 vif1Chcr, madr, qwc, tadr;
    u32 chcr;
    bool doubleword;  // an sd, with 0x5A in the upper word of CHCR
    std::vector<Transfer> transfers;
    u32 asr0, asr1;
};

const GifStart kGifStarts[] = {
    {"every tag type", 0, 0x300100, 1, q(0), 0x184, false,
     {{0x300100, 1}, {q(1), 1}, {q(3), 1}, {0x300000, 2}, {0x300040, 1}, {q(11), 1}, {q(21), 0}, {q(25), 1},
      {q(22), 0}, {q(13), 1}},
     q(12), q(21)},
    {"every tag type with VIF1 CHCR bit 5", 0x20, 0x300100, 1, q(0), 0x184, false,
     {{0x300100, 1}, half(0), {q(1), 1}, half(2), {q(3), 1}, half(8), {0x300000, 2}, half(9), {0x300040, 1},
      half(10), {q(11), 1}, half(20), {q(21), 0}, half(24), {q(25), 1}, half(21), {q(22), 0}, half(12), {q(13), 1}},
     q(12), q(21)},
    {"64-bit start: one return slot, no tag halves even with VIF1 bit 5", 0x20, 0, 0, q(40), 0x184, true,
     {{q(41), 1}, {q(51), 0}, {q(53), 0}, {q(52), 1}}, q(51), 0},
    {"QWC 0 sends nothing before the chain; refe sends its block and ends", 0, 0x300100, 0, q(30), 0x104, false,
     {{0x300000, 3}}, 0, 0},
    {"STR clear: nothing", 0, 0x300000, 2, 0, 0x004, false, {}, 0, 0},
    {"MADR in another segment reaches the same RAM", 0, 0x20300010, 1, 0, 0x100, false, {{0x300010, 1}}, 0, 0},
    {"a block past the end of RAM continues at its start", 0, 0x01FFFFE0, 4, 0, 0x100, false,
     {{0x01FFFFE0, 2}, {0, 2}}, 0, 0},
    {"a block longer than the scratchpad wraps round it", 0, kSpr | 0x3FF0, 0x402, 0, 0x100, false,
     {{kSpr | 0x3FF0, 1}, {kSpr, 0x400}, {kSpr, 1}}, 0, 0},
    {"an unaligned quadword across the end of RAM is gathered from both ends", 0, 0x01FFFFF8, 3, 0, 0x100, false,
     {{0x01FFFFF8, 1}, {0x8, 2}}, 0, 0},
    {"a tag in the last quadword of the scratchpad: its half and its data wrap", 0x20, 0, 0, kSpr | 0x3FF0, 0x104,
     false, {{kSpr | 0x3FF8, 1}, {kSpr | 0x8, 1}, {kSpr, 1}}, 0, 0},
};

// The GS gets each transfer in slices of at most kGifSliceQuadwords.
std::vector<Transfer> slicesOf(const std::vector<Transfer>& transfers) {
    std::vector<Transfer> slices;
    for (const Transfer& transfer : transfers) {
        u32 at = 0;
        do {
            const u32 slice = std::min(transfer.quadwords - at, kGifSliceQuadwords);
            slices.push_back({transfer.address + 16 * at, slice});
            at += slice;
        } while (at < transfer.quadwords);
    }
    return slices;
}

TEST(GifChannel, AGuestStartSendsExactlyTheChainsDataToTheGs) {
    for (const GifStart& row : kGifStarts) {
        SCOPED_TRACE(row.what);
        useTestPlugins();
        ASSERT_TRUE(loadGuestProgram("dma_gif_chain"));
        for (u32 start : {0x0u, 0x200000u, 0x300000u, kRamSize - 0x10000}) fillOwnAddress(start, 0x10000);
        fillOwnAddress(kSpr, kScratchpadSize);
        writeChain(kChains);
        memWrite32(row.vif1Chcr, kVif1 + Chcr);
        memWrite32(row.madr, kGif + Madr);
        memWrite32(row.qwc, kGif + Qwc);
        memWrite32(row.tadr, kGif + Tadr);
        memWrite32(row.chcr, guestSymbol("chcr"));
        memWrite32(row.doubleword, guestSymbol("doubleword"));
        clearRecording();
        ASSERT_EQ(runGuest(), StopReason::IdleLoop);

        const std::vector<RecordedCall> calls = gsCalls("GSgifTransfer");
        const std::vector<Transfer> transfers = slicesOf(row.transfers);
        ASSERT_EQ(calls.size(), transfers.size());
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const Transfer& expected = transfers[i];
            SCOPED_TRACE(testing::Message() << "transfer " << i << " from 0x" << std::hex << expected.address);
            EXPECT_EQ(calls[i].args, std::vector<u64>{expected.quadwords});
            EXPECT_EQ(calls[i].data, wordsAt(expected.address, expected.quadwords));
        }
        const u32 results = guestSymbol("results");
        EXPECT_EQ(guestWord(results + 0), row.chcr & ~0x100u) << "CHCR";
        EXPECT_EQ(guestWord(results + 4), row.doubleword ? 0x5Au : 0u) << "CHCR upper word";
        EXPECT_EQ(guestWord(results + 8), row.asr0) << "ASR0";
        EXPECT_EQ(guestWord(results + 12), row.asr1) << "ASR1";
    }
}

// A finished transfer leaves QWC at 0, so a chain started next without
// clearing it sends only the chain, not the earlier block again.
TEST(GifChannel, AStartAfterACompletedTransferDoesNotResendItsBlock) {
    useTestPlugins();
    resetMachine();
    fillOwnAddress(0x300000, 0x100);
    writeChain({{q(0), End, 1, 0}});
    memWrite32(0x300000, kGif + Madr);
    memWrite32(2, kGif + Qwc);
    clearRecording();
    memWrite32(0x100, kGif + Chcr);
    memWrite32(q(0), kGif + Tadr);
    memWrite32(0x104, kGif + Chcr);
    memWrite32(0x100, kGif + Chcr);
    const std::vector<RecordedCall> calls = gsCalls("GSgifTransfer");
    ASSERT_EQ(calls.size(), 2u) << "the block, then the end tag's data; the last start has nothing left";
    EXPECT_EQ(calls[0].data, wordsAt(0x300000, 2));
    EXPECT_EQ(calls[1].data, wordsAt(q(1), 1));
    EXPECT_EQ(memRead32(kGif + Madr), q(2)) << "MADR past the end tag's data";
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
    memWrite32(1, kSprFrom + Qwc);
    memWrite32(sadr, kSprFrom + Sadr);
    memWrite32(0x00300000, kSprFrom + Madr);
    hostStore<u32>(memory.hw + 0xF040, 0x00300000);
    hostStore<u32>(memory.hw + 0xF000, 0xC);
    clearRecording();
    memWrite32(0x100, kSprFrom + Chcr);
    const std::vector<RecordedCall> calls = gsCalls("GSgifTransfer2");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].data, std::vector<u32>(packet, packet + 8));
    EXPECT_TRUE(gsCalls("GSgifTransfer").empty());
    EXPECT_EQ(memRead32(0x00300000), 0u) << "the drain copies nothing";
}

// Long transfers reach the GS in slices (the chains above show their sizes
// and data). A stop raised while the GS takes one slice (Escape, read
// between slices) ends a transfer before the next, here a VIF1 DIRECT
// (PATH2); a spent work budget cuts a GIF chain (PATH3) the same way and
// ends it, and drops a packet for "GSgifTransfer2". Each cut is one line.
TEST(GifChannel, AStopOrASpentBudgetCutsALongTransferBetweenSlices) {
    useTestPlugins();
    resetMachine();
    fillOwnAddress(0x200000, 0x200000);
    std::vector<std::string> lines;
    setDebugLogHook([&lines](const std::string& line) { lines.push_back(line); });

    // Three NOPs, then DIRECT with its data from the next quadword on.
    for (u32 i = 0; i < 3; ++i) hostStore<u32>(hostAt(0x300000 + 4 * i), 0);
    hostStore<u32>(hostAt(0x300000 + 12), 0x50000000 | 0xFFFF);
    memWrite32(0x300000, kVif1 + Madr);
    memWrite32(0xFFFF, kVif1 + Qwc);
    clearRecording();
    unsigned transfers = 0;
    onRecordedCall([&transfers](const RecordedCall& call) {
        if (call.entry == "GSgifTransfer" && ++transfers == 2) stopFlag = 1;
    });
    memWrite32(0x101, kVif1 + Chcr);
    onRecordedCall(nullptr);
    stopFlag = 0;
    const std::vector<RecordedCall> slices = gsCalls("GSgifTransfer");
    ASSERT_EQ(slices.size(), 2u);
    EXPECT_EQ(slices[1].data, wordsAt(0x300010 + 16 * kGifSliceQuadwords, kGifSliceQuadwords));
    EXPECT_EQ(lines, std::vector<std::string>{"GIF info: work cut: GIF transfer to the GS (the run is stopping)"});

    // The first tag and its data fit; the second tag does, its first slice
    // does not, and the third tag is never read.
    writeChain({{q(0), Cnt, 100, 0}, {q(101), Cnt, 100, 0}, {q(202), End, 100, 0}});
    workSetBudget(2 * (1 + 100) + 100 * kGsUnitsPerQuadword + kGifSliceQuadwords * kGsUnitsPerQuadword - 1);
    lines.clear();
    clearRecording();
    memWrite32(q(0), kGif + Tadr);
    memWrite32(0x104, kGif + Chcr);
    std::vector<u32> sent;
    for (const RecordedCall& call : gsCalls("GSgifTransfer")) sent.insert(sent.end(), call.data.begin(), call.data.end());
    EXPECT_EQ(sent, wordsAt(q(1), 100)) << "the first tag's data alone";

    // The scratchpad drain of a two-quadword packet, with less budget than it.
    workSetBudget(2 * kGsUnitsPerQuadword - 1);
    const u32 packet[8] = {0x00008001, 0x10000000, 0xE, 0, 1, 2, 3, 4};
    std::memcpy(memory.scratchpad, packet, sizeof packet);
    memWrite32(0, kSprFrom + Sadr);
    memWrite32(0x00300000, kSprFrom + Madr);
    hostStore<u32>(memory.hw + 0xF040, 0x00300000);
    hostStore<u32>(memory.hw + 0xF000, 0xC);
    memWrite32(0x100, kSprFrom + Chcr);
    workSetBudget(0);
    setDebugLogHook(nullptr);
    EXPECT_TRUE(gsCalls("GSgifTransfer2").empty());
    EXPECT_EQ(lines, (std::vector<std::string>{"GIF guest-error: work cut: GIF transfer to the GS (host work budget spent)",
                                               "GIF guest-error: work cut: GIF packet to the GS (host work budget spent)"}));
}

// The host's clocks as the test sets them: each GS slice takes 100 ms.
u64 fakeHostMilliseconds = 0;
u64 fakeHostClock(bool) { return fakeHostMilliseconds * 1'000'000; }

TEST(GifChannel, ATransferThatHoldsTheHostTooLongIsCut) {
    useTestPlugins();
    resetMachine();
    fillOwnAddress(0x300000, 0x100000);
    std::vector<std::string> lines;
    setDebugLogHook([&lines](const std::string& line) { lines.push_back(line); });
    workSetHostClock(fakeHostClock);
    fakeHostMilliseconds = 0;
    auto startGifTransfer = [](u32 quadwords) {
        clearRecording();
        onRecordedCall([](const RecordedCall& call) {
            if (call.entry == "GSgifTransfer") fakeHostMilliseconds += 100;
        });
        memWrite32(0x300000, kGif + Madr);
        memWrite32(quadwords, kGif + Qwc);
        memWrite32(0x100, kGif + Chcr);
        return gsCalls("GSgifTransfer").size();
    };

    // Polled before each slice, at 0, 100, 200, ... ms: the first poll reads
    // the wall clock, the second the processor clock too, and the fifth
    // finds the limit passed since then.
    static_assert(kHostTimeLimitMilliseconds > 200 && kHostTimeLimitMilliseconds <= 300);
    EXPECT_EQ(startGifTransfer(0xFFFF), 4u);
    // The next instruction starts with its own time.
    EXPECT_EQ(startGifTransfer(2 * kGifSliceQuadwords), 2u);

    onRecordedCall(nullptr);
    workSetHostClock(nullptr);
    setDebugLogHook(nullptr);
    EXPECT_EQ(lines, std::vector<std::string>{"GIF guest-error: work cut: GIF transfer to the GS (it held the host for " +
                                              std::to_string(kHostTimeLimitMilliseconds) + " ms)"});
}

}  // namespace
