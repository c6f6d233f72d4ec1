// The hardware register write rules and the DMA controller as guest stores
// reach them: which stores start a channel, the registers a chain leaves,
// the return slots of call and ret, the tag limit, chains that wrap, and the
// SPR-from copy.
#include <gtest/gtest.h>

#include <vector>

#include "devices/intc.h"
#include "dma_chain.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

constexpr u32 kDStat = kHwStart + kHwDStat;

// No plugin: GIF data goes nowhere, and the endless chain costs no recording.
void resetWithoutPlugins() {
    useNoPlugins();
    resetMachine();
}

u32 reg(u32 channel, Reg r) { return memRead32(channel + r); }
void setReg(u32 channel, Reg r, u32 value) { memWrite32(value, channel + r); }
// Puts a value into a register without the side effects of a store.
void preset(u32 address, u32 value) { hostStore<u32>(memory.hw + (address & kHwMask), value); }

struct RegisterWrite {
    const char* what;
    unsigned width;  // 8, 32 or 64 bits
    u32 address;
    u32 before;
    u32 value;
    u32 after;  // the 32-bit word at `address` afterwards
};

constexpr RegisterWrite kRegisterWrites[] = {
    {"D_STAT: 1s clear status bits and toggle mask bits", 32, kDStat, 0x00030007, 0x0005000C, 0x00060003},
    {"INTC_STAT: 1s clear", 32, kHwStart + kHwIntcStat, 0x00000003, 0x00000005, 0x00000002},
    {"INTC_MASK: 1s toggle, upper half ignored", 32, kHwStart + kHwIntcMask, 0x00000001, 0xFFFF0003, 0x00000002},
    {"a plain register is stored", 32, 0x10003000, 0x11111111, 0x12345678, 0x12345678},
    {"IPU from CHCR is plain storage", 32, kIpuFrom, 0, 0x00000105, 0x00000105},
    {"IPU to CHCR is plain storage", 32, kIpuTo, 0, 0x00000185, 0x00000185},
    {"a 64-bit store to D_STAT has no rule", 64, kDStat, 0x00000007, 0x00010004, 0x00010004},
    {"a 64-bit store to a channel other than GIF only stores", 64, kVif0, 0, 0x00000185, 0x00000185},
    {"a byte store is dropped", 8, 0x10003000, 0x11111111, 0xFF, 0x11111111},
    {"a byte store to the GIF CHCR is dropped", 8, kGif + 1, 0x00000004, 0x01, 0x00000004},
    {"a byte store to the SPR-from CHCR low byte is dropped", 8, kSprFrom, 0x00000004, 0xFF, 0x00000004},
};

TEST(DmaRegisters, StoresFollowTheRuleOfTheirRegister) {
    for (const RegisterWrite& row : kRegisterWrites) {
        SCOPED_TRACE(row.what);
        resetWithoutPlugins();
        preset(row.address, row.before);
        switch (row.width) {
        case 8: memWrite8(static_cast<u8>(row.value), row.address); break;
        case 32: memWrite32(row.value, row.address); break;
        default: memWrite64(row.value, 0, row.address); break;
        }
        EXPECT_EQ(hostLoad<u32>(memory.hw + (row.address & kHwMask)), row.after);
    }
}

struct Start {
    const char* what;
    u32 channel;
    u32 value;
    u32 chcrAfter;
    u32 dStatAfter;
};

constexpr Start kStarts[] = {
    {"VIF0", kVif0, 0x181, 0x081, 0x001},      {"VIF1", kVif1, 0x180, 0x080, 0x002},
    {"GIF", kGif, 0x180, 0x080, 0x004},        {"SIF0", kSif0, 0x180, 0x080, 0x020},
    {"SIF1", kSif1, 0x180, 0x080, 0x040},      {"SIF2", kSif2, 0x180, 0x080, 0x080},
    {"SPR from", kSprFrom, 0x180, 0x080, 0x100}, {"SPR to", kSprTo, 0x180, 0x080, 0x200},
    {"no TIE, no D_STAT bit", kGif, 0x100, 0x000, 0x000},
    {"STR clear: stored, nothing starts", kVif1, 0x0A1, 0x0A1, 0x000},
};

// Normal mode: TADR points at a tag that must not be read. A started
// channel, moving data or not, ends with QWC 0 and MADR past the block.
TEST(DmaStart, ClearsStrAndSetsTheChannelsDStatBitWhenTie) {
    for (const Start& row : kStarts) {
        SCOPED_TRACE(row.what);
        resetWithoutPlugins();
        writeChain({{0x200000, End, 7, 0x1234}});
        setReg(row.channel, Tadr, 0x200000);
        setReg(row.channel, Madr, 0x00300000);
        setReg(row.channel, Qwc, 2);
        memWrite32(row.value, row.channel + Chcr);
        EXPECT_EQ(reg(row.channel, Chcr), row.chcrAfter);
        EXPECT_EQ(memRead32(kDStat), row.dStatAfter);
        const bool started = (row.value & 0x100) != 0;
        EXPECT_EQ(reg(row.channel, Madr), started ? 0x00300020u : 0x00300000u);
        EXPECT_EQ(reg(row.channel, Qwc), started ? 0u : 2u);
    }
}

struct ChainCase {
    const char* what;
    u32 channel;
    std::vector<Tag> tags;  // the chain starts at the first
    u32 madr, asr0, asr1;   // ASR1 holds 0xEEEE before the start
};

// Two calls nest, then two rets unwind them to the end tag. With one return
// slot the second call overwrote the first return address, so the ret at
// 0x201030 returns to itself until the chain is cut off.
const std::vector<Tag> kNestedCalls = {{0x200000, Call, 1, 0x201000}, {0x201000, Call, 2, 0x202000},
                                       {0x202000, Ret, 0, 0},         {0x201030, Ret, 1, 0},
                                       {0x200020, End, 3, 0xABC0}};

// Every tag type on the way, and the GIF channel's return slots, are seen
// with their data in the GIF tests.
const ChainCase kChainCases[] = {
    {"VIF0: two return slots", kVif0, kNestedCalls, 0x200060, 0x200020, 0x201030},
    {"VIF1: two return slots", kVif1, kNestedCalls, 0x200060, 0x200020, 0x201030},
    {"SIF0: one return slot", kSif0, kNestedCalls, 0x201050, 0x201030, 0xEEEE},
    {"SIF1: one return slot", kSif1, kNestedCalls, 0x201050, 0x201030, 0xEEEE},
    {"SIF2: one return slot", kSif2, kNestedCalls, 0x201050, 0x201030, 0xEEEE},
    {"SPR to: one return slot", kSprTo, kNestedCalls, 0x201050, 0x201030, 0xEEEE},
    {"ret to a zero doubleword ends the chain at the ret, its data not moved", kVif0,
     {{0x200000, Call, 0, 0x208000}, {0x208000, Ret, 4, 0x4444}}, 0x208010, 0x200010, 0xEEEE},
    {"a chain in the scratchpad wraps from its end to its start", kVif0,
     {{kSpr | 0x3FE0, Cnt, 1, 0}, {kSpr | 0x0000, End, 1, 0x5555}}, kSpr | 0x20, 0, 0xEEEE},
    {"a call in the last quadword of the scratchpad returns to its start", kVif0,
     {{kSpr | 0x3FF0, Call, 0, kSpr | 0x100}, {kSpr | 0x100, Ret, 0, 0}, {kSpr | 0x0000, End, 2, 0x6666}},
     kSpr | 0x30, kSpr | 0x0000, 0xEEEE},
    {"a cnt at the end of RAM continues at its start", kVif0,
     {{0x01FFFFE0, Cnt, 1, 0}, {0x00000000, End, 3, 0x7777}}, 0x40, 0, 0xEEEE},
    {"TADR and ADDR in other segments reach the same RAM", kVif0,
     {{0x20200000, Call, 0, 0x42201000}, {0x201000, Ret, 0, 0}, {0x200010, End, 1, 0x8888}}, 0x200030, 0x200010,
     0xEEEE},
    {"a refe ends with MADR past its block at ADDR", kVif0, {{0x200000, Refe, 2, 0x300000}}, 0x300020, 0, 0xEEEE},
    // 2^20 tags of a ring of three: as 2^20 - 1 is a multiple of three, the
    // last tag read is the first, and one tag more or fewer would differ.
    {"an endless chain stops after its tag limit", kSif1,
     {{0x200000, Next, 1, 0x200100}, {0x200100, Next, 2, 0x200200}, {0x200200, Next, 3, 0x200000}}, 0x200020, 0,
     0xEEEE},
};

// QWC ends at 0 and MADR past the data of the last tag that moved any.
TEST(DmaChain, AChainLeavesQwcZeroAndMadrPastItsLastBlock) {
    for (const ChainCase& row : kChainCases) {
        SCOPED_TRACE(row.what);
        resetWithoutPlugins();
        writeChain(row.tags);
        setReg(row.channel, Tadr, row.tags[0].at);
        setReg(row.channel, Asr1, 0xEEEE);
        memWrite32(0x105, row.channel + Chcr);
        EXPECT_EQ(reg(row.channel, Chcr), 0x005u);
        EXPECT_EQ(reg(row.channel, Qwc), 0u);
        EXPECT_EQ(reg(row.channel, Madr), row.madr);
        EXPECT_EQ(reg(row.channel, Asr0), row.asr0);
        EXPECT_EQ(reg(row.channel, Asr1), row.asr1);
        EXPECT_EQ(reg(row.channel, Tadr), row.tags[0].at) << "the tag loop does not write TADR";
    }
}

struct SprFromCopy {
    const char* what;
    bool byteStore;  // the STR byte at 0xD001 instead of a 32-bit CHCR store
    u32 value;
    u32 qwc, sadr, madr;
    u32 drainCompare;  // the word at hardware offset 0xF040
    u32 intcStat;
    bool copies;
    u32 chcrAfter;
};

// CHCR holds 0x77 before each start. The drain to the GS (MADR equal to the
// word at 0xF040, INTC_STAT bits 2-3 = 0xC) is seen in the GIF tests.
constexpr SprFromCopy kSprFromCopies[] = {
    {"byte store of STR", true, 0x01, 4, 0x0100, 0x00300000, 0xFFFFFFFF, 0, true, 0x000},
    {"32-bit store with TIE", false, 0x184, 3, 0x0200, 0x00300008, 0xFFFFFFFF, 0, true, 0x084},
    {"SADR above the scratchpad is masked", false, 0x100, 2, 0x12340040, 0x00300000, 0xFFFFFFFF, 0, true, 0},
    {"source wraps at the scratchpad's end", false, 0x100, 3, 0x3FF0, 0x00300000, 0xFFFFFFFF, 0, true, 0},
    {"destination wraps at the end of RAM", false, 0x100, 2, 0x0000, 0x81FFFFF0, 0xFFFFFFFF, 0, true, 0},
    {"byte store without STR does nothing", true, 0x02, 4, 0x0100, 0x00300000, 0xFFFFFFFF, 0, false, 0x077},
    {"32-bit store without STR does nothing", false, 0x80, 4, 0x0100, 0x00300000, 0xFFFFFFFF, 0, false, 0x077},
    {"drain register equal, INTC bits 2-3 = 0x8: no copy", false, 0x100, 2, 0, 0x00300000, 0x00300000, 0x8, false, 0},
    {"drain register equal, INTC bits 2-3 = 0x4: copies", false, 0x100, 2, 0, 0x00300000, 0x00300000, 0x4, true, 0},
    {"drain register differs: copies whatever INTC says", false, 0x100, 2, 0, 0x00300000, 0x00300010, 0x8, true, 0},
};

u8 scratchpadPattern(u32 offset) { return static_cast<u8>(offset * 7 + (offset >> 8) + 1); }

TEST(DmaSprFrom, CopiesQuadwordsFromTheScratchpadToRam) {
    for (const SprFromCopy& row : kSprFromCopies) {
        SCOPED_TRACE(row.what);
        resetWithoutPlugins();
        for (u32 offset = 0; offset < kScratchpadSize; ++offset) memory.scratchpad[offset] = scratchpadPattern(offset);
        preset(kSprFrom + Chcr, 0x77);
        setReg(kSprFrom, Qwc, row.qwc);
        setReg(kSprFrom, Sadr, row.sadr);
        setReg(kSprFrom, Madr, row.madr);
        preset(0xF040, row.drainCompare);
        preset(0xF000, row.intcStat);
        if (row.byteStore) {
            memWrite8(static_cast<u8>(row.value), kSprFrom + 1);
        } else {
            memWrite32(row.value, kSprFrom + Chcr);
        }
        EXPECT_EQ(reg(kSprFrom, Chcr), row.chcrAfter);
        unsigned wrong = 0;
        for (u32 i = 0; i < 16 * row.qwc; ++i) {
            const u8 expected = row.copies ? scratchpadPattern((row.sadr + i) % kScratchpadSize) : 0;
            if (memory.ram[(row.madr + i) % kRamSize] != expected) ++wrong;
        }
        EXPECT_EQ(wrong, 0u) << "bytes that differ from the expected copy";
        EXPECT_EQ(memory.ram[(row.madr + 16 * row.qwc) % kRamSize], 0) << "one byte too many copied";
        EXPECT_EQ(memory.ram[(row.madr + kRamSize - 1) % kRamSize], 0) << "a byte copied before MADR";
        if (row.copies) {
            EXPECT_EQ(reg(kSprFrom, Qwc), 0u);
            EXPECT_EQ(reg(kSprFrom, Madr), ((row.madr & kRamMask) + 16 * row.qwc) & kRamMask);
            EXPECT_EQ(reg(kSprFrom, Sadr), ((row.sadr & kScratchpadMask) + 16 * row.qwc) & kScratchpadMask);
        } else {
            EXPECT_EQ(reg(kSprFrom, Qwc), row.qwc);
        }
    }
}

}  // namespace
