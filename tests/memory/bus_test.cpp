// The EE memory bus: which block each width and address reaches, the
// aliases of guest RAM, the block ends, and the CSR rule of the GS range.
#include <gtest/gtest.h>

#include <cstring>

#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

namespace {

enum Block { Ram, Rom, Hw, Scratchpad, Nowhere };
constexpr Block kBlocks[] = {Ram, Rom, Hw, Scratchpad};
constexpr const char* kBlockNames[] = {"RAM", "ROM", "hardware", "scratchpad"};

// Where `address` falls in `block`, by the offset mask of the memory map.
u8* hostAt(Block block, u32 address) {
    switch (block) {
    case Ram: return memory.ram + (address & kRamMask);
    case Rom: return memory.rom + (address & kRomMask);
    case Hw: return memory.hw + (address & kHwMask);
    case Scratchpad: return memory.scratchpad + (address & kScratchpadMask);
    default: return nullptr;
    }
}

// Accesses of `size` bytes; the value is in the low bytes of the words.
void busWrite(unsigned size, u32 address, const u32 in[4]) {
    switch (size) {
    case 1: return memWrite8(static_cast<u8>(in[0]), address);
    case 2: return memWrite16(static_cast<u16>(in[0]), address);
    case 4: return memWrite32(in[0], address);
    case 8: return memWrite64(in[0], in[1], address);
    default: return memWrite128(in, address);
    }
}

void busRead(unsigned size, u32 address, u32 out[4]) {
    const u64 doubleword = size == 8 ? memRead64(address) : 0;
    switch (size) {
    case 1: out[0] = memRead8(address); return;
    case 2: out[0] = memRead16(address); return;
    case 4: out[0] = memRead32(address); return;
    case 8: std::memcpy(out, &doubleword, 8); return;
    default: memRead128(out, address);
    }
}

struct Route {
    unsigned size;
    u32 address;
    Block reads;
    Block writes;
};

// Every row is checked both ways: a read returns the bytes of the block it
// names (each block holds its own pattern at its masked offset), and a write
// changes that block and no other.
constexpr Route kRoutes[] = {
    {4, 0x00100000, Ram, Ram},        {4, 0x80100000, Ram, Ram},        {4, 0xA0100000, Ram, Ram},
    {4, 0x02100000, Ram, Ram},        {2, 0xE2100006, Ram, Ram},        {1, 0x12100001, Ram, Ram},
    {4, 0x10010000, Ram, Ram},        {4, 0x12001084, Ram, Ram},        {4, 0x70004000, Ram, Ram},
    {4, 0x1FBFFFFC, Ram, Ram},        {1, 0x1FC00000, Rom, Ram},        {4, 0x1FC00004, Rom, Ram},
    {2, 0x1FC00002, Ram, Ram},        {8, 0x1FC00008, Ram, Ram},        {16, 0x1FC00010, Ram, Ram},
    {1, 0x1FFFFFFF, Rom, Ram},        {4, 0x10003000, Hw, Hw},          {8, 0x10003008, Hw, Hw},
    {4, 0x1000FFFC, Hw, Hw},          {1, 0x10002000, Ram, Nowhere},    {2, 0x1000F000, Ram, Ram},
    {16, 0x10003010, Ram, Ram},       {1, 0x12000000, Ram, Ram},        {2, 0x12000002, Ram, Ram},
    {16, 0x12000010, Ram, Ram},       {4, 0x12000020, Nowhere, Nowhere}, {8, 0x12001080, Nowhere, Nowhere},
    {1, 0x70003FFF, Scratchpad, Scratchpad}, {2, 0x70000102, Scratchpad, Scratchpad},
    {4, 0x70003FFC, Scratchpad, Scratchpad}, {8, 0x70000108, Scratchpad, Scratchpad},
    {16, 0x70000110, Scratchpad, Scratchpad},
};

TEST(Bus, EachWidthAndAddressReachesTheBlockOfTheMap) {
    for (const Route& route : kRoutes) {
        SCOPED_TRACE(testing::Message() << route.size * 8 << "-bit access at 0x" << std::hex << route.address);
        resetMachine();
        for (Block block : kBlocks) {
            for (unsigned i = 0; i < route.size; ++i) hostAt(block, route.address)[i] = static_cast<u8>(0x10 * (block + 1) + i);
        }
        u32 read[4] = {};
        busRead(route.size, route.address, read);
        for (Block block : kBlocks) {
            const bool same = std::memcmp(read, hostAt(block, route.address), route.size) == 0;
            EXPECT_EQ(same, block == route.reads) << kBlockNames[block] << " pattern read";
        }

        resetMachine();
        const u32 written[4] = {0xA4A3A2A1, 0xA8A7A6A5, 0xACABAAA9, 0xB0AFAEAD};
        busWrite(route.size, route.address, written);
        for (Block block : kBlocks) {
            u8 expected[16] = {};
            if (block == route.writes) std::memcpy(expected, written, route.size);
            EXPECT_EQ(std::memcmp(hostAt(block, route.address), expected, route.size), 0)
                << kBlockNames[block] << " after a write";
        }
    }
}

TEST(Bus, WideAccessesAtTheEndOfABlockStayInIt) {
    resetMachine();
    // A quadword's second half wraps to the start of its own block.
    const u32 quad[4] = {0x11111111, 0x22222222, 0x33333333, 0x44444444};
    memWrite128(quad, 0x01FFFFF8);
    memWrite128(quad, 0x70003FF8);
    EXPECT_EQ(hostLoad<u32>(memory.ram), 0x33333333u);
    EXPECT_EQ(hostLoad<u32>(memory.scratchpad + 4), 0x44444444u);
    EXPECT_EQ(hostLoad<u32>(memory.ram + 0x4000), 0u) << "the scratchpad's quadword stays in the scratchpad";
    for (u32 i = 0; i < kBlockSpareBytes; ++i) {
        EXPECT_EQ(memory.ram[kRamSize + i] | memory.scratchpad[kScratchpadSize + i], 0) << "spare byte " << i;
    }

    // Narrower accesses run into the spare bytes rather than wrapping.
    memWrite32(0xDDCCBBAA, 0x01FFFFFE);
    EXPECT_EQ(memRead32(0x01FFFFFE), 0xDDCCBBAAu);
    EXPECT_EQ(hostLoad<u32>(memory.ram), 0x33333333u) << "nothing wrapped to the start";
}

// The 32-bit CSR reads belong to the vertical-blank tests.
TEST(Bus, SixtyFourBitCsrReadsAddTheFixedBitsAndVsintAndNothingElseDoes) {
    resetMachine();
    for (int read = 0; read < 2; ++read) EXPECT_EQ(memRead64(kGsCsr), 0x32008ull) << "read " << read;
    EXPECT_EQ(memRead32(0x12001080) & 0x8, 0u);
    EXPECT_EQ(memRead64(0x12000000) & 0x32008, 0u);
}

TEST(Bus, VuMemoriesAndTheDmaViewAreWindowsOntoTheBlocks) {
    resetMachine();
    memWrite32(0x0F0F0F0F, 0x1000);
    memWrite32(0x1E1E1E1E, 0x8000);
    memWrite32(0x2D2D2D2D, 0x8000C000);
    // As the units themselves see their memories.
    EXPECT_EQ(vu0.microMem, memory.ram);
    EXPECT_EQ(hostLoad<u32>(vu0.dataMem), 0x0F0F0F0Fu);
    EXPECT_EQ(hostLoad<u32>(vu1.microMem), 0x1E1E1E1Eu);
    EXPECT_EQ(hostLoad<u32>(vu1.dataMem), 0x2D2D2D2Du);

    // Bit 31 selects the scratchpad; without it, even the scratchpad's own
    // bus address is just RAM to DMA.
    EXPECT_EQ(memHostPointer(0x02100010), memory.ram + 0x100010);
    EXPECT_EQ(memHostPointer(0x80004010), memory.scratchpad + 0x10);
    EXPECT_EQ(memHostPointer(0x70000010), memory.ram + 0x10);
}

// A device table of the test's own: each entry records what the bus
// handed it.
struct DeviceCalls {
    u32 offset = ~0u;
    u32 value = 0;
    u32 high = 0;
    unsigned calls = 0;
};
DeviceCalls seen;

void recordWrite32(u32 offset, u32 value) { seen = {offset, value, 0, seen.calls + 1}; }
void recordWrite64(u32 offset, u32 low, u32 high) { seen = {offset, low, high, seen.calls + 1}; }
u32 answerRead32(u32 offset) {
    seen = {offset, 0, 0, seen.calls + 1};
    return 0x600DF00D;
}
bool vblankEveryTime() { return true; }

TEST(Bus, AttachedDevicesGetTheMaskedOffsetAndNullEntriesAreStorage) {
    resetMachine();
    seen = {};
    memAttachDevices({answerRead32, nullptr, recordWrite32, recordWrite64, vblankEveryTime, nullptr});

    EXPECT_EQ(memRead32(0x1000F010), 0x600DF00Du);
    EXPECT_EQ(seen.offset, 0xF010u);
    memWrite32(0x12345678, 0x10008000);
    EXPECT_EQ(seen.offset, 0x8000u);
    EXPECT_EQ(seen.value, 0x12345678u);
    memWrite64(0x11111111, 0x22222222, 0x1000A008);
    EXPECT_EQ(seen.offset, 0xA008u);
    EXPECT_EQ(seen.high, 0x22222222u);
    EXPECT_EQ(seen.calls, 3u);
    EXPECT_EQ(hostLoad<u32>(memory.hw + 0x8000), 0u) << "the device, not the bus, stores";

    // The entries left null: a byte store is stored as it is, and the VIF1
    // FIFO is read as the RAM behind its address.
    memWrite8(0x5A, 0x1000D001);
    EXPECT_EQ(memory.hw[0xD001], 0x5A);
    hostStore<u32>(memory.ram + 0x5000, 0xFEEDFACE);
    u32 quadword[4] = {};
    memRead128(quadword, 0x10005000);
    EXPECT_EQ(quadword[0], 0xFEEDFACEu);

    // The CSR rule asks the device on every CSR read, and only there.
    EXPECT_EQ(memRead32(kGsCsr) & 0x8, 0x8u);
    EXPECT_EQ(memRead32(kGsCsr) & 0x8, 0x8u);
    EXPECT_EQ(memRead32(kGsCsr + 0x10) & 0x8, 0u);
    resetMachine();
}

TEST(Bus, WithoutDevicesTheRegisterBlockIsPlainStorageAndCsrHasNoVblank) {
    resetMachine();
    memAttachDevices({});
    // INTC_STAT clears the bits written as 1 and DMA starts on CHCR: both
    // are the devices' doing, so here each write is simply kept.
    memWrite32(0xFFFFFFFF, 0x1000F000);
    memWrite32(0x00000104, 0x1000A000);
    EXPECT_EQ(memRead32(0x1000F000), 0xFFFFFFFFu);
    EXPECT_EQ(memRead32(0x1000A000), 0x104u);
    EXPECT_EQ(memRead32(kGsCsr) & 0x8, 0u);
    EXPECT_EQ(memRead64(kGsCsr), 0x32000ull);
    resetMachine();
    EXPECT_EQ(memRead64(kGsCsr) & 0x8, 0x8u) << "initialisation attaches the devices again";
}

TEST(Bus, ResetClearsEveryBlockAndSetsDEnabler) {
    resetMachine();
    memory.scratchpad[0] = memory.rom[5] = memory.hw[0x3000] = 1;
    resetMachine();
    EXPECT_EQ(memory.scratchpad[0] | memory.rom[5] | memory.hw[0x3000], 0);
    EXPECT_EQ(memRead32(0x1000F590), 0x1201u);
}

}  // namespace
