#include <gtest/gtest.h>

#include "cop/cop0.h"
#include "core/ee_state.h"
#include "kernel/objects.h"
#include "kernel/syscalls.h"
#include "kernel_guest.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

constexpr u64 kMarkerLow = 0x1111111122222222;
constexpr u64 kMarkerHigh = 0x3333333344444444;

}  // namespace

TEST(KernelInterruptControl, MaskBitsChangeOnlyWhenTheyAreNotAlreadyInTheWantedState) {
    ASSERT_TRUE(loadGuestProgram("kernel_interrupts"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(resultWord(11), 1u);      // _EnableIntc(3)
    EXPECT_EQ(resultWord(12), 0x8u);
    EXPECT_EQ(resultWord(13), 0u);      // already set
    EXPECT_EQ(resultWord(14), 0x8u);    // and left as it was
    EXPECT_EQ(resultWord(15), 1u);      // _DisableIntc(3)
    EXPECT_EQ(resultWord(16), 0u);
    EXPECT_EQ(resultWord(17), 0u);      // already clear
    EXPECT_EQ(resultWord(18), 0u);      // cause 40 names no bit
    EXPECT_EQ(resultWord(19), 0u);      // nor does cause -1
    EXPECT_EQ(resultWord(20), 0u);

    EXPECT_EQ(resultWord(21), 1u);      // _EnableDmac(2)
    EXPECT_EQ(resultWord(22), 0x40000u);
    EXPECT_EQ(resultWord(23), 0u);
    EXPECT_EQ(resultWord(24), 1u);      // _DisableDmac(2)
    EXPECT_EQ(resultWord(25), 0u);
    EXPECT_EQ(resultWord(26), 0u);
    EXPECT_EQ(resultWord(27), 1u);      // EnableDmacHandler(4)
    EXPECT_EQ(resultWord(28), 0x100000u);
    EXPECT_EQ(resultWord(29), 0u);
    EXPECT_EQ(resultWord(30), 1u);      // DisableDmacHandler(4)
    EXPECT_EQ(resultWord(31), 0u);
    EXPECT_EQ(resultWord(32), 0u);      // channel 20 names no bit
    EXPECT_EQ(resultWord(33), 0u);      // channel 16 neither
    EXPECT_EQ(resultWord(34), 0u);
}

TEST(KernelSif, RegistersDeci2AndCrtBytes) {
    ASSERT_TRUE(loadGuestProgram("kernel_sif"));
    hostStore<u32>(memory.rom + 0x1470, 0xFFFFFFFF);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    // Two reads of register 4 differ in bit 18 only; the first after a reset
    // has it clear, and bit 17 is always set.
    EXPECT_EQ(resultWord(0) ^ resultWord(1), 0x40000u);
    EXPECT_EQ(resultWord(0) & 0x60000, 0x20000u);
    EXPECT_EQ(resultWord(2), 0xFFFBFFFFu);
    EXPECT_EQ(resultWord(3), 0xFFFFFFFFu);
    EXPECT_EQ(resultWord(4), 0u);
    EXPECT_EQ(resultWord(5), 0u);
    EXPECT_EQ(resultWord(6), 0u);
    EXPECT_EQ(resultWord(7), 0x60000u);
    EXPECT_EQ(resultWord(8), 0x60000u);

    EXPECT_EQ(resultWord(9), 1u);   // request marked done through offset 0x1C
    EXPECT_EQ(resultWord(10), 1u);
    EXPECT_EQ(resultWord(11), 0u);  // other registers do nothing

    EXPECT_EQ(resultWord(12), kMinusOne32);
    EXPECT_EQ(resultWord(13), kMinusOne32);
    EXPECT_EQ(resultWord(14), 1u);

    EXPECT_EQ(resultWord(15), 1u);
    EXPECT_EQ(resultWord(16), 1u);
    EXPECT_EQ(resultWord(17), 0u);  // word 3 of the registered buffer cleared
    EXPECT_EQ(resultWord(18), 3u);
    for (unsigned slot = 19; slot <= 22; ++slot) EXPECT_EQ(resultWord(slot), 1u) << "slot " << slot;
    EXPECT_EQ(kernelCalls.deci2.buffer, guestSymbol("deci2Buffer"));
    EXPECT_EQ(kernelCalls.deci2.extra, 0x5555u);

    EXPECT_EQ(resultWord(23), 0u);     // RAM byte 0x2F344 cleared
    EXPECT_EQ(resultWord(24), 0xCDu);  // its neighbour untouched
    EXPECT_EQ(resultWord(25), 0x00010000u);
    EXPECT_EQ(memRead8(0x1FC01470), 0);
    EXPECT_EQ(memRead8(0x1FC01472), 1);
}

// Register 4 survives a machine reset; only its toggle starts again.
TEST(KernelSif, Register4OutlivesTheResetButTheToggleDoesNot) {
    resetMachine();
    ee.gpr[kGprV1].d[0] = 121;
    ee.gpr[kGprA0].d[0] = 4;
    ee.gpr[kGprA1].d[0] = 0x00001234;
    syscallDispatch();
    ee.gpr[kGprV1].d[0] = 122;
    syscallDispatch();
    ASSERT_EQ(kernelCalls.sifToggle, 0x40000u);
    resetMachine();
    EXPECT_EQ(kernelCalls.sifToggle, 0u);
    ee.gpr[kGprV1].d[0] = 122;
    ee.gpr[kGprA0].d[0] = 4;
    syscallDispatch();
    EXPECT_EQ(ee.gpr[kGprV0].d[0], 0x00021234u);
}

TEST(KernelResults, WidthsOfEveryKindOfResult) {
    ASSERT_TRUE(loadGuestProgram("kernel_widths"));
    cop0.r[kCop0Epc] = 0x80001234;
    hostStore<u32>(memory.ram + 0, 0xEEEEEEEE);
    hostStore<u32>(memory.hw + 0xC020, 0xDEAD);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    // v1 = -67 reaches 189, a no-op: all of v0 kept.
    EXPECT_EQ(resultDouble(0), kMarkerLow);
    EXPECT_EQ(resultDouble(1), kMarkerHigh);
    // A result replaces only the low doubleword.
    EXPECT_EQ(resultDouble(2), 5u);
    EXPECT_EQ(resultDouble(3), kMarkerHigh);

    EXPECT_EQ(resultDouble(4), 0x123456789ABCDEF0u);   // StartThread: 64 bits
    EXPECT_EQ(resultDouble(5), 3u);                    // AddIntcHandler: low word
    EXPECT_EQ(resultDouble(6), 0xFFFFFFFF80000000u);   // sign-extended
    EXPECT_EQ(resultDouble(7), 0xFFFFFFFF80000000u);   // AddDmacHandler too
    EXPECT_EQ(resultDouble(8), 0x123456789ABCDEF0u);   // ChangeThreadPriority: a1
    EXPECT_EQ(resultDouble(9), resultDouble(10));      // RFU060: sp
    EXPECT_EQ(resultDouble(11), 0x100000000u);         // RFU061: 64-bit sum
    EXPECT_EQ(resultDouble(12), 0x80000000u);          // EndOfHeap: high word 0
    EXPECT_EQ(resultDouble(13), 0x80001234u);          // COP0 EPC, zero-extended
    EXPECT_EQ(resultDouble(14), 0x80001234u);
    EXPECT_EQ(resultDouble(15), 0x80001234u);
    EXPECT_EQ(resultDouble(16), 0u);                   // no COP0 register 32
    EXPECT_EQ(resultDouble(17), kMinusOne64);          // sceSifDmaStat
    EXPECT_EQ(resultDouble(18), kMinusOne64);
    EXPECT_EQ(resultDouble(19), 1u);                   // sceSifSetDma
    EXPECT_EQ(resultDouble(20) & ~u64{0x40000}, 0x80020000u);  // GetReg(4): high word 0
    EXPECT_EQ(resultDouble(21), 0x60000u);

    for (unsigned slot = 22; slot <= 29; ++slot) EXPECT_EQ(resultDouble(slot), kMarkerLow) << "slot " << slot;

    EXPECT_EQ(resultDouble(30), resultDouble(31));     // SIF0 CHCR as read back
    EXPECT_EQ(resultDouble(32), 0x84u);
    EXPECT_EQ(resultDouble(33), 0u);                   // SIF0 QWC cleared

    EXPECT_EQ(resultDouble(34), kMinusOne64);          // ReferThreadStatus(32)
    EXPECT_EQ(resultDouble(35), kMinusOne64);          // PollSema(32)
    EXPECT_EQ(resultDouble(36), 0xFFFFFFFF80000000u);  // WaitSema: sign-extended a0
    EXPECT_EQ(resultDouble(37), 0x100000005u);         // DeleteSema: a0
    EXPECT_EQ(resultDouble(38), 0x100000007u);         // SignalSema: a0
    EXPECT_EQ(resultDouble(39), 0x200000007u);         // PollSema: a0 after taking one
    EXPECT_EQ(resultDouble(40), 0u);                   // GetThreadId
    EXPECT_EQ(kernel.semaphores[7].word[0], 0u);

    EXPECT_EQ(resultDouble(41), 1u);                   // ReferThreadStatus(0, 0)
    EXPECT_EQ(resultDouble(42), 0xEEEEEEEEu);          // wrote nothing
    EXPECT_EQ(resultDouble(43), 1u);
    EXPECT_EQ(resultDouble(44), 1u);                   // a1 = 1 << 32 is a block at 0
}
