#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "cop/cop0.h"
#include "devices/hw_registers.h"
#include "kernel/objects.h"
#include "kernel/syscalls.h"
#include "kernel_guest.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

constexpr u64 kMarkerLow = 0x1111111122222222;
constexpr u64 kMarkerHigh = 0x3333333344444444;
constexpr u64 kMinusOne64 = ~u64{0};
constexpr u64 kSigned80 = 0xFFFFFFFF80000000;
constexpr u32 kIntcMask = kHwStart + kHwIntcMask;
constexpr u32 kDStat = kHwStart + kHwDStat;
constexpr u32 kSif0Chcr = kHwStart + dmaRegisterOffset(kDmaSif0, DmaRegister::Chcr);
constexpr u32 kSif0Qwc = kHwStart + dmaRegisterOffset(kDmaSif0, DmaRegister::Qwc);
constexpr u32 kSif0Tadr = dmaRegisterOffset(kDmaSif0, DmaRegister::Tadr);
constexpr u32 kRowBytes = 32;

// One call made by kernel_widths: v1, a0 and a1 before it, the low
// doubleword of v0 after it, and the word then read at `probe` when given.
struct CallRow {
    const char* label;
    u64 number;
    u64 a0;
    u64 a1;
    u64 v0;
    u32 probe = 0;
    std::optional<u32> probed = std::nullopt;
};

void writeCalls(const std::vector<CallRow>& rows) {
    ASSERT_LE(rows.size(), 64u);  // the rows that kernel_widths has room for
    u8* row = memory.ram + guestSymbol("calls");
    for (const CallRow& call : rows) {
        hostStore<u64>(row, call.number);
        hostStore<u64>(row + 8, call.a0);
        hostStore<u64>(row + 16, call.a1);
        hostStore<u64>(row + 24, call.probe);
        row += kRowBytes;
    }
    hostStore<u32>(memory.ram + guestSymbol("callCount"), static_cast<u32>(rows.size()));
}

u32 probedWord(u32 row) { return guestWord(guestSymbol("results") + kRowBytes * row + 16); }

// No call may touch the upper doubleword of v0.
void runAndCheckCalls(const std::vector<CallRow>& rows) {
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    for (u32 i = 0; i < rows.size(); ++i) {
        const u32 at = guestSymbol("results") + kRowBytes * i;
        EXPECT_EQ(guestDouble(at), rows[i].v0) << rows[i].label;
        EXPECT_EQ(guestDouble(at + 8), kMarkerHigh) << rows[i].label;
        if (rows[i].probed) {
            EXPECT_EQ(probedWord(i), *rows[i].probed) << rows[i].label << ": probe";
        }
    }
}

}  // namespace

TEST(KernelInterruptControl, MaskBitsChangeOnlyWhenTheyAreNotAlreadyInTheWantedState) {
    ASSERT_TRUE(loadGuestProgram("kernel_widths"));
    const std::vector<CallRow> rows = {
        {"_EnableIntc(3)", 20, 3, 0, 1, kIntcMask, 0x8}, {"_EnableIntc(3) again", 20, 3, 0, 0, kIntcMask, 0x8},
        {"_DisableIntc(3)", 21, 3, 0, 1, kIntcMask, 0}, {"_DisableIntc(3) again", 21, 3, 0, 0, kIntcMask, 0},
        {"_EnableIntc(40): no bit", 20, 40, 0, 0, kIntcMask, 0}, {"_DisableIntc(-1)", 21, ~u64{0}, 0, 0, kIntcMask, 0},
        {"_EnableDmac(2)", 22, 2, 0, 1, kDStat, 0x40000}, {"_EnableDmac(2) again", 22, 2, 0, 0, kDStat, 0x40000},
        {"_DisableDmac(2)", 23, 2, 0, 1, kDStat, 0}, {"_DisableDmac(2) again", 23, 2, 0, 0, kDStat, 0},
        {"EnableDmacHandler(4)", 94, 4, 0, 1, kDStat, 0x100000},
        {"EnableDmacHandler(4) again", 94, 4, 0, 0, kDStat, 0x100000},
        {"DisableDmacHandler(4)", 95, 4, 0, 1, kDStat, 0}, {"DisableDmacHandler(4) again", 95, 4, 0, 0, kDStat, 0},
        // Channel 16's mask bit would be past bit 31 of D_STAT.
        {"_EnableDmac(20): no bit", 22, 20, 0, 0, kDStat, 0}, {"EnableDmacHandler(16)", 94, 16, 0, 0, kDStat, 0},
    };
    writeCalls(rows);
    runAndCheckCalls(rows);
}

TEST(KernelResults, WidthsOfEveryKindOfResult) {
    ASSERT_TRUE(loadGuestProgram("kernel_widths"));
    const u32 callStack = guestSymbol("callStack");
    const std::vector<CallRow> rows = {
        {"v1 = -67 reaches iSignalSema: no semaphore 0", static_cast<u64>(-67), 0, 0, kMinusOne64},
        {"v1 = -68 reaches 188, a no-op", static_cast<u64>(-68), 0, 0, kMarkerLow},
        {"AddIntcHandler: sign-extended", 16, 0x80000000, 0, kSigned80},
        {"AddDmacHandler: sign-extended", 18, 0x80000000, 0, kSigned80},
        {"ChangeThreadPriority: all of a1", 41, 0, 0x100000005, 0x100000005},
        {"RFU060: sp", 60, 0, 0, callStack},
        {"EndOfHeap: high word 0", 62, 0, 0, 0x80000000},
        {"RFU063: COP0 EPC zero-extended", 63, kCop0Epc, 0, 0x80001234},
        {"RFU063: no COP0 register 32", 63, 32, 0, 0},
        {"sceSifDmaStat", 118, 0, 0, kMinusOne64},
        {"sceSifSetDma", 119, 0, 0, 1},
        {"sceSifSetReg(4): v0 unchanged", 121, 4, 0xFFFFFFFF80040000, kMarkerLow},
        // Bit 18 comes from the toggle, clear at the first read after a reset; bit 17 is always set.
        {"sceSifGetReg(4): high word 0", 122, 4, 0, 0x80020000}, {"the next read", 122, 4, 0, 0x80060000},
        {"sceSifGetReg(0x80000000)", 122, 0x80000000, 0, 0}, {"sceSifGetReg(0x80000002)", 122, 0x80000002, 0, 0},
        {"sceSifGetReg(0x08000000)", 122, 0x08000000, 0, 0}, {"sceSifGetReg(0x80000001)", 122, 0x80000001, 0, 0x60000},
        {"sceSifGetReg(7)", 122, 7, 0, 0x60000},
        {"SetGsCrt: v0 unchanged", 2, 1, 0, kMarkerLow},
        {"GsPutIMR: v0 unchanged", 113, 0x7F00, 0, kMarkerLow},
        {"sceSifSetReg(99) does nothing", 121, 99, 0, kMarkerLow},
        {"Deci2Call(5) does nothing", 124, 5, 0, kMarkerLow},
        {"isceSifSetDChain leaves 0x84 below sp", 136, 0, 0, kMarkerLow, callStack - 16, 0x84},
        {"RFU003, a no-op; SIF0 QWC cleared by the call before", 3, 0, 0, kMarkerLow, kSif0Qwc, 0},
        {"ReferThreadStatus(32)", 48, 32, 0, kMinusOne64},
        {"PollSema(32)", 69, 32, 0, kMinusOne64},
        {"WaitSema(0x80000000)", 68, 0x80000000, 0, kMinusOne64},
        {"GetThreadId: 1 in 64 bits", 47, 0, 0, 1},
        {"ReferThreadStatus(0, 0) writes nothing", 48, 0, 0, 1, 0, 0xEEEEEEEE},
        {"a1 = 1 << 32 is a block at 0", 48, 0, u64{1} << 32, 1, 0, 1},
        {"sceSifSetDChain", 120, 0, 0, kMarkerLow, kSif0Chcr},
    };
    writeCalls(rows);
    cop0.r[kCop0Epc] = 0x80001234;
    hostStore<u32>(memory.ram, 0xEEEEEEEE);
    hostStore<u32>(memory.hw + (kSif0Qwc & 0xFFFF), 0xDEAD);
    // The SIF0 starts walk a tag chain from TADR: point it at a zero
    // doubleword, a refe tag of no data that ends the chain at once.
    hostStore<u32>(memory.hw + kSif0Tadr, 0x10);
    runAndCheckCalls(rows);
    EXPECT_EQ(guestWord(callStack - 16), probedWord(rows.size() - 1)) << "SIF0 CHCR as read back";
}

TEST(KernelSif, RegistersDeci2AndCrtBytes) {
    ASSERT_TRUE(loadGuestProgram("kernel_sif"));
    hostStore<u32>(memory.rom + 0x1470, 0xFFFFFFFF);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    expectResults({
        {1, "request done through register 0x80000001"}, {1, "and 0x08000001"}, {0, "not through 0x12"},
        {1, "Deci2Call 1"}, {1, "Deci2Call 3"}, {0, "word 3 of the buffer cleared"}, {3, "word 2 untouched"},
        {1, "Deci2Call -6"}, {1, "Deci2Call 2"}, {1, "Deci2Call 4"}, {1, "Deci2Call 16"},
        {0, "RAM byte 0x2F344 cleared"}, {0xCD, "its neighbour untouched"}, {0x00010000, "ROM halfwords 0, 1"},
    });
    EXPECT_EQ(kernelCalls.deci2.buffer, guestSymbol("deci2Buffer"));
    EXPECT_EQ(kernelCalls.deci2.extra, 0x5555u);
}
