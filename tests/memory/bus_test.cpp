// The EE memory bus: which block each width and address reaches, the
// aliases of guest RAM, the block ends, and the CSR rule of the GS range.
#include <gtest/gtest.h>

#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"

namespace {

class Bus : public ::testing::Test {
protected:
    void SetUp() override { resetMachine(); }
};

u32 ramWord(u32 offset) { return hostLoad<u32>(memory.ram + offset); }
u16 ramHalf(u32 offset) { return hostLoad<u16>(memory.ram + offset); }

bool spareBytesZero(const u8* block, u32 size) {
    for (u32 i = 0; i < kBlockSpareBytes; ++i) {
        if (block[size + i] != 0) return false;
    }
    return true;
}

TEST_F(Bus, EverySegmentViewAndEvery32MegabyteAliasReachesTheSameRamWord) {
    memWrite32(0xCAFEF00D, 0x00100000);
    for (u32 alias : {0x80100000u, 0xA0100000u, 0x02100000u, 0x12100000u, 0xE0100000u}) {
        EXPECT_EQ(memRead32(alias), 0xCAFEF00Du) << std::hex << alias;
    }
    memWrite16(0x1234, 0xA0100004);
    memWrite8(0x56, 0x82100006);
    EXPECT_EQ(ramHalf(0x100004), 0x1234);
    EXPECT_EQ(memory.ram[0x100006], 0x56);
}

TEST_F(Bus, RangesEndWhereTheMapSaysAndTheNextAddressIsRam) {
    // Just past the hardware block, the GS range and the scratchpad, and
    // just below the ROM area, a 32-bit write lands in RAM.
    memWrite32(0x11111111, 0x10010000);
    memWrite32(0x22222222, 0x12001084);
    memWrite32(0x33333333, 0x70004000);
    memWrite32(0x44444444, 0x1FBFFFF0);
    EXPECT_EQ(ramWord(0x10000), 0x11111111u);
    EXPECT_EQ(ramWord(0x1084), 0x22222222u);
    EXPECT_EQ(ramWord(0x4000), 0x33333333u);
    EXPECT_EQ(ramWord(0x1BFFFF0), 0x44444444u);

    // The last address of each range still belongs to it.
    memWrite32(0x55555555, 0x1000FFF0);
    memWrite32(0x66666666, 0x12001080);
    memWrite32(0x77777777, 0x70003FFC);
    EXPECT_EQ(hostLoad<u32>(memory.hw + 0xFFF0), 0x55555555u);
    EXPECT_EQ(ramWord(0xFFF0), 0u);
    EXPECT_EQ(ramWord(0x1080), 0u);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 0x3FFC), 0x77777777u);
    EXPECT_EQ(ramWord(0x3FFC), 0u);
}

TEST_F(Bus, EveryWidthReachesTheScratchpad) {
    const u32 base = 0x70000100;
    memWrite8(0x11, base);
    memWrite16(0x2222, base + 2);
    memWrite32(0x33333333, base + 4);
    memWrite64(0x44444444, 0x55555555, base + 8);
    const u32 quad[4] = {0x66666666, 0x77777777, 0x88888888, 0x99999999};
    memWrite128(quad, base + 16);

    EXPECT_EQ(memory.scratchpad[0x100], 0x11);
    EXPECT_EQ(hostLoad<u16>(memory.scratchpad + 0x102), 0x2222);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 0x104), 0x33333333u);
    EXPECT_EQ(hostLoad<u64>(memory.scratchpad + 0x108), 0x5555555544444444ull);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 0x11C), 0x99999999u);
    for (u32 offset = 0x100; offset < 0x120; offset += 4) EXPECT_EQ(ramWord(offset), 0u);

    EXPECT_EQ(memRead8(base), 0x11);
    EXPECT_EQ(memRead16(base + 2), 0x2222);
    EXPECT_EQ(memRead32(base + 4), 0x33333333u);
    EXPECT_EQ(memRead64(base + 8), 0x5555555544444444ull);
    u32 out[4] = {};
    memRead128(out, base + 16);
    EXPECT_EQ(out[0], 0x66666666u);
    EXPECT_EQ(out[3], 0x99999999u);
}

TEST_F(Bus, OnlyEightAndThirtyTwoBitReadsSeeTheRomArea) {
    hostStore<u32>(memory.rom, 0xA1A2A3A4);
    hostStore<u32>(memory.ram + 0x1C00000, 0xB1B2B3B4);
    hostStore<u32>(memory.ram + 0x1C00004, 0xC1C2C3C4);
    hostStore<u32>(memory.ram + 0x1C00008, 0xD1D2D3D4);
    hostStore<u32>(memory.ram + 0x1C0000C, 0xE1E2E3E4);

    EXPECT_EQ(memRead8(0x1FC00000), 0xA4);
    EXPECT_EQ(memRead32(0x1FC00000), 0xA1A2A3A4u);
    EXPECT_EQ(memRead16(0x1FC00000), 0xB3B4);
    EXPECT_EQ(memRead64(0x1FC00000), 0xC1C2C3C4B1B2B3B4ull);
    u32 out[4] = {};
    memRead128(out, 0x1FC00000);
    EXPECT_EQ(out[0], 0xB1B2B3B4u);
    EXPECT_EQ(out[2], 0xD1D2D3D4u);

    // The ROM area is never written through the bus: stores reach RAM.
    memWrite8(0x01, 0x1FC00100);
    memWrite32(0x02020202, 0x1FC00104);
    memWrite64(0x03030303, 0x04040404, 0x1FC00108);
    EXPECT_EQ(memory.ram[0x1C00100], 0x01);
    EXPECT_EQ(ramWord(0x1C00104), 0x02020202u);
    EXPECT_EQ(ramWord(0x1C0010C), 0x04040404u);
    for (u32 offset = 0x100; offset < 0x110; ++offset) EXPECT_EQ(memory.rom[offset], 0);
}

TEST_F(Bus, LastBytesOfScratchpadRomAndRamStayInTheirBlocks) {
    memory.scratchpad[0x3FFF] = 0x5C;
    memory.rom[0x3FFFFF] = 0x7E;
    EXPECT_EQ(memRead8(0x70003FFF), 0x5C);
    EXPECT_EQ(memRead8(0x1FFFFFFF), 0x7E);

    // A word that starts at the last bytes of RAM runs into the spare bytes
    // of the allocation, not around to offset 0.
    memWrite32(0xDDCCBBAA, 0x01FFFFFE);
    EXPECT_EQ(memRead32(0x01FFFFFE), 0xDDCCBBAAu);
    EXPECT_EQ(memory.ram[0x1FFFFFF], 0xBB);
    EXPECT_EQ(ramWord(0), 0u);
}

TEST_F(Bus, QuadwordHalvesWrapSeparatelyInsideTheirBlock) {
    const u32 quad[4] = {0x11111111, 0x22222222, 0x33333333, 0x44444444};
    memWrite128(quad, 0x01FFFFF8);
    EXPECT_EQ(ramWord(0x1FFFFF8), 0x11111111u);
    EXPECT_EQ(ramWord(0x1FFFFFC), 0x22222222u);
    EXPECT_EQ(ramWord(0), 0x33333333u);
    EXPECT_EQ(ramWord(4), 0x44444444u);
    EXPECT_TRUE(spareBytesZero(memory.ram, kRamSize));

    memWrite128(quad, 0x70003FF8);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 0x3FF8), 0x11111111u);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 0), 0x33333333u);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 4), 0x44444444u);
    EXPECT_EQ(ramWord(0x4000), 0u);
    EXPECT_TRUE(spareBytesZero(memory.scratchpad, kScratchpadSize));

    u32 out[4] = {};
    memRead128(out, 0x70003FF8);
    EXPECT_EQ(out[0], 0x11111111u);
    EXPECT_EQ(out[1], 0x22222222u);
    EXPECT_EQ(out[2], 0x33333333u);
    EXPECT_EQ(out[3], 0x44444444u);
}

TEST_F(Bus, OnlyThirtyTwoAndSixtyFourBitAccessesReachTheGsRange) {
    memWrite8(0xAB, 0x12000000);
    memWrite16(0xCDEF, 0x12000002);
    EXPECT_EQ(ramWord(0), 0xCDEF00ABu);
    memWrite32(0x11111111, 0x12000010);
    memWrite64(0x22222222, 0x33333333, 0x12001080);
    EXPECT_EQ(ramWord(0x10), 0u);
    EXPECT_EQ(ramWord(0x1080), 0u);
    EXPECT_EQ(ramWord(0x1084), 0u);
    EXPECT_EQ(memRead16(0x12000002), 0xCDEF);
}

TEST_F(Bus, EveryCsrReadReportsAVerticalBlankIncludingTheFirst) {
    for (int read = 0; read < 3; ++read) EXPECT_EQ(memRead32(kGsCsr) & 0x8, 0x8u) << "read " << read;
    for (int read = 0; read < 2; ++read) EXPECT_EQ(memRead64(kGsCsr), 0x32008ull) << "read " << read;
    // The rule belongs to CSR alone.
    EXPECT_EQ(memRead32(0x12001080) & 0x8, 0u);
    EXPECT_EQ(memRead64(0x12000000) & 0x32008, 0u);
}

TEST_F(Bus, HardwareBlockTakesThirtyTwoAndSixtyFourBitAccessesAndEightBitWrites) {
    EXPECT_EQ(memRead32(0x1000F590), 0x1201u);
    EXPECT_EQ(hostLoad<u16>(memory.hw + kHwDEnabler), 0x1201);
    EXPECT_EQ(memRead16(0x1000F590), 0) << "16-bit reads fall through to RAM";

    memWrite64(0x01234567, 0x89ABCDEF, 0x10003000);
    EXPECT_EQ(memRead64(0x10003000), 0x89ABCDEF01234567ull);
    EXPECT_EQ(memRead32(0x10003004), 0x89ABCDEFu);
    EXPECT_EQ(ramWord(0x3000), 0u);

    // 8-bit writes are dropped by the block (not even stored) and do not
    // fall through to RAM; 16-bit writes do fall through.
    memWrite8(0x5A, 0x10002000);
    EXPECT_EQ(memory.hw[0x2000], 0);
    EXPECT_EQ(memory.ram[0x2000], 0);
    memWrite16(0xFFFF, 0x1000F000);
    EXPECT_EQ(ramHalf(0xF000), 0xFFFF);
    EXPECT_EQ(memRead8(0x1000F000), 0xFF) << "8-bit reads see RAM";
}

TEST_F(Bus, SixteenBitWriteToIntcStatChangesRamNotTheRegister) {
    hostStore<u32>(memory.hw + 0xF000, 0x0C);
    memWrite16(0x0C, 0x1000F000);
    EXPECT_EQ(hostLoad<u32>(memory.hw + 0xF000), 0x0Cu);
    EXPECT_EQ(ramHalf(0xF000), 0x0C);
}

TEST_F(Bus, RegisterWriteRules) {
    // D_STAT: status bits clear where 1 is written, mask bits toggle.
    hostStore<u32>(memory.hw + 0xE010, 0x00F0FFFF);
    memWrite32(0xFFFF0000, 0x1000E010);
    EXPECT_EQ(memRead32(0x1000E010), 0xFF0FFFFFu);
    memWrite32(0x4, 0x1000E010);
    EXPECT_EQ(memRead32(0x1000E010), 0xFF0FFFFBu);

    // INTC_MASK: bits 0-15 toggle, bits 16-31 of the value are ignored.
    memWrite32(0x3, 0x1000F010);
    EXPECT_EQ(memRead32(0x1000F010), 0x3u);
    memWrite32(0xFFFF0000, 0x1000F010);
    EXPECT_EQ(memRead32(0x1000F010), 0x3u);
    memWrite32(0x3, 0x1000F010);
    EXPECT_EQ(memRead32(0x1000F010), 0u);

    // INTC_STAT: written ones clear, zeros keep.
    hostStore<u32>(memory.hw + 0xF000, 0x3FF);
    memWrite32(0x00C, 0x1000F000);
    EXPECT_EQ(memRead32(0x1000F000), 0x3F3u);
}

TEST_F(Bus, VuMemoriesAreWindowsIntoTheFirst64KilobytesOfRam) {
    EXPECT_EQ(memory.vu0Micro, memory.ram);
    memWrite32(0x0F0F0F0F, 0x1000);
    memWrite32(0x1E1E1E1E, 0x8000);
    memWrite32(0x2D2D2D2D, 0x8000C000);
    EXPECT_EQ(hostLoad<u32>(memory.vu0Data), 0x0F0F0F0Fu);
    EXPECT_EQ(hostLoad<u32>(memory.vu1Micro), 0x1E1E1E1Eu);
    EXPECT_EQ(hostLoad<u32>(memory.vu1Data), 0x2D2D2D2Du);
    hostStore<u32>(memory.vu1Data + 0x3FFC, 0x3C3C3C3C);
    EXPECT_EQ(memRead32(0xFFFC), 0x3C3C3C3Cu);
}

TEST_F(Bus, HostPointerChoosesTheScratchpadByBit31) {
    EXPECT_EQ(memHostPointer(0x00100000), memory.ram + 0x100000);
    EXPECT_EQ(memHostPointer(0x02100010), memory.ram + 0x100010);
    EXPECT_EQ(memHostPointer(0x80000010), memory.scratchpad + 0x10);
    EXPECT_EQ(memHostPointer(0x80004010), memory.scratchpad + 0x10);
    // Without bit 31 the scratchpad's own bus address is just RAM to DMA.
    EXPECT_EQ(memHostPointer(0x70000010), memory.ram + 0x10);
}

TEST_F(Bus, AllocationClearsEveryBlockAgain) {
    memWrite32(1, 0x00100000);
    memWrite32(2, 0x70000000);
    memory.rom[5] = 3;
    memWrite32(4, 0x10003000);
    resetMachine();
    EXPECT_EQ(ramWord(0x100000), 0u);
    EXPECT_EQ(memory.scratchpad[0], 0);
    EXPECT_EQ(memory.rom[5], 0);
    EXPECT_EQ(memRead32(0x10003000), 0u);
    EXPECT_EQ(memRead32(0x1000F590), 0x1201u);
}

}  // namespace
