// Guest RAM as the services reach it: values, blocks and strings at the end
// of RAM, where they are cut short or refused instead of touching the host
// bytes after the block or wrapping to its start.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "memory/guest_ram.h"
#include "support/guest_machine.h"

namespace {

constexpr u32 kLast = kRamSize - 1;
constexpr u8 kMarker = 0xA5;

// The host bytes after RAM and the first bytes of RAM hold a marker, so
// that an access running past the end shows up either way.
void markAroundTheEnd() {
    resetMachine();
    std::memset(memory.ram + kRamSize, kMarker, kBlockSpareBytes);
    std::memset(memory.ram, kMarker, 16);
}

bool markersIntact() {
    for (u32 i = 0; i < kBlockSpareBytes; ++i) {
        if (memory.ram[kRamSize + i] != kMarker) return false;
    }
    for (u32 i = 0; i < 16; ++i) {
        if (memory.ram[i] != kMarker) return false;
    }
    return true;
}

TEST(GuestRam, ValuesThatCrossTheEndReadZeroAndAreNotWritten) {
    markAroundTheEnd();
    setRamWord(kRamSize - 4, 0x11223344);
    EXPECT_EQ(ramWord(kRamSize - 4), 0x11223344u) << "the last whole word";
    EXPECT_EQ(ramWord(0x80000000 | (kRamSize - 4)), 0x11223344u) << "KSEG0 masks to the same word";
    EXPECT_EQ(ramWord(kRamSize - 2), 0u);
    EXPECT_EQ(ramLoad<u64>(kRamSize - 4), 0u);
    EXPECT_EQ(ramLoad<u16>(kLast), 0u);

    setRamWord(kRamSize - 3, 0xFFFFFFFF);
    ramStore<u64>(kRamSize - 7, ~u64{0});
    ramStore<u16>(kLast, 0xFFFF);
    Reg128 quad{};
    quad.d[0] = quad.d[1] = ~u64{0};
    ramStore<Reg128>(kRamSize - 8, quad);
    EXPECT_EQ(ramWord(kRamSize - 4), 0x11223344u) << "no partial store";
    EXPECT_TRUE(markersIntact());

    ramStore<Reg128>(kRamSize - 16, quad);
    EXPECT_EQ(ramLoad<Reg128>(kRamSize - 16).d[1], ~u64{0}) << "the last whole quadword";
    setRamByte(kLast, 0x5A);
    EXPECT_EQ(ramByte(kLast), 0x5A);
    EXPECT_TRUE(markersIntact());
}

TEST(GuestRam, BlocksAreCutAtTheEnd) {
    markAroundTheEnd();
    const std::array<u8, 12> source = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(writeRamBlock(kRamSize - 5, source.data(), source.size()), 5u);
    EXPECT_EQ(memory.ram[kLast], 5);
    EXPECT_TRUE(markersIntact());

    std::array<u8, 12> read{};
    EXPECT_EQ(readRamBlock(0x82000000 | (kRamSize - 5), read.data(), read.size()), 5u);
    EXPECT_EQ(read[4], 5);
    EXPECT_EQ(read[5], 0) << "nothing past the end is copied";
    EXPECT_EQ(boundedRamSize(kRamSize - 5, 0xFFFFFFFF), 5u);
}

TEST(GuestRam, StringsStopAtTheirEndTheLimitOrTheEndOfRam) {
    markAroundTheEnd();
    std::memcpy(memory.ram + kRamSize - 4, "ABCD", 4);
    EXPECT_EQ(ramString(kRamSize - 4, 100), "ABCD") << "no terminator before the end of RAM";
    EXPECT_EQ(ramString(kRamSize - 4, 2), "AB");
    EXPECT_EQ(ramString(kLast, 100), "D");
    memory.ram[kRamSize - 2] = 0;
    EXPECT_EQ(ramString(kRamSize - 4, 100), "AB");
}

}  // namespace
