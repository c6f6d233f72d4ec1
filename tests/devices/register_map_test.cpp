// The register maps of the EE's devices: the rows lie where the console
// has its registers, and the bus routes every 32-bit store of the block by
// them, while offsets no row names stay plain storage.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/ee_state.h"
#include "devices/hw_registers.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

// The console's layout, written here in its own terms: timer n's block at
// 0x800 n with COUNT, MODE, COMP and HOLD 0x10 apart; each DMA channel's
// registers at fixed distances from its CHCR; the channels' CHCRs.
constexpr const char* kTimerRegisterNames[] = {"COUNT", "MODE", "COMP", "HOLD"};
struct ChannelRegister {
    const char* name;
    u32 fromChcr;
};
constexpr ChannelRegister kChannelRegisters[] = {{"CHCR", 0x00}, {"MADR", 0x10}, {"QWC", 0x20}, {"TADR", 0x30},
                                                 {"ASR0", 0x40}, {"ASR1", 0x50}, {"SADR", 0x80}};
constexpr u32 kChannelChcrs[] = {0x10008000, 0x10009000, 0x1000A000, 0x1000B000, 0x1000B400,
                                 0x1000C000, 0x1000C400, 0x1000C800, 0x1000D000, 0x1000D400};

struct Anchor {
    const char* name;
    u32 address;
    RegisterAccess access;
};
constexpr Anchor kAnchors[] = {
    {"INTC_STAT", 0x1000F000, RegisterAccess::IntcStatus}, {"INTC_MASK", 0x1000F010, RegisterAccess::IntcMask},
    {"D_CTRL", 0x1000E000, RegisterAccess::Storage},       {"D_STAT", 0x1000E010, RegisterAccess::DmacStatus},
    {"D_ENABLER", 0x1000F590, RegisterAccess::Storage},    {"D3_CHCR", 0x1000B000, RegisterAccess::DmaNoHandler},
    {"D2_CHCR", 0x1000A000, RegisterAccess::DmaStart},     {"T2_COUNT", 0x10001000, RegisterAccess::TimerCount},
    {"T1_MODE", 0x10000810, RegisterAccess::TimerMode},    {"T3_HOLD", 0x10001830, RegisterAccess::TimerSetting},
};

const HwRegister& named(const char* name) {
    const HwRegister* reg = hwRegisterNamed(name);
    if (reg == nullptr) ADD_FAILURE() << name << " is in no map";
    static const HwRegister none{~0u, "", RegisterAccess::Storage};
    return reg ? *reg : none;
}

TEST(RegisterMaps, EveryRegisterLiesWhereTheConsoleHasIt) {
    for (const Anchor& anchor : kAnchors) {
        const HwRegister& reg = named(anchor.name);
        EXPECT_EQ(kHwStart + reg.offset, anchor.address) << anchor.name;
        EXPECT_EQ(reg.access, anchor.access) << anchor.name;
    }
    for (unsigned n = 0; n < 4; ++n) {
        for (unsigned r = 0; r < 4; ++r) {
            char name[16];
            std::snprintf(name, sizeof name, "T%u_%s", n, kTimerRegisterNames[r]);
            EXPECT_EQ(named(name).offset, 0x800 * n + 0x10 * r) << name;
            EXPECT_EQ(named(name).unit, n) << name;
        }
    }
    for (unsigned channel = 0; channel < kDmaChannelCount; ++channel) {
        for (const ChannelRegister& r : kChannelRegisters) {
            char name[16];
            std::snprintf(name, sizeof name, "D%u_%s", channel, r.name);
            EXPECT_EQ(kHwStart + named(name).offset, kChannelChcrs[channel] + r.fromChcr) << name;
            EXPECT_EQ(named(name).unit, channel) << name;
        }
    }
    // Each row is found again by its offset, and nothing between rows is.
    for (RegisterMap map : kHwRegisterMaps) {
        for (const HwRegister& reg : map) {
            EXPECT_EQ(hwRegisterAt(reg.offset), &reg) << reg.name;
            EXPECT_EQ(hwRegisterAt(reg.offset + 4), nullptr) << reg.name;
        }
    }
    EXPECT_EQ(hwRegisterNamed("D10_CHCR"), nullptr);
}

// What a 32-bit store through the bus left in a register, for a row of
// each kind of access; every row of every map is stored to.
u32 storeThroughBus(const HwRegister& reg, u32 before, u32 value) {
    hostStore<u32>(memory.hw + reg.offset, before);
    memWrite32(value, kHwStart + reg.offset);
    return hostLoad<u32>(memory.hw + reg.offset);
}

TEST(RegisterMaps, TheBusRoutesEachRegisterByItsRow) {
    useNoPlugins();
    for (RegisterMap map : kHwRegisterMaps) {
        for (const HwRegister& reg : map) {
            SCOPED_TRACE(reg.name);
            resetMachine();
            switch (reg.access) {
            case RegisterAccess::Storage:
            case RegisterAccess::DmaNoHandler:
                EXPECT_EQ(storeThroughBus(reg, 0, 0x00000101), 0x101u);
                break;
            case RegisterAccess::DmaStart:
                // Started to the peripheral with nothing to move: the
                // channel ends at once and STR reads back clear.
                EXPECT_EQ(storeThroughBus(reg, 0, 0x00000101), 0x001u);
                break;
            case RegisterAccess::DmacStatus:
                EXPECT_EQ(storeThroughBus(reg, 0x00010003, 0x00030001), 0x00020002u);
                break;
            case RegisterAccess::IntcStatus:
                EXPECT_EQ(storeThroughBus(reg, 0x0000000F, 0x00000005), 0x0000000Au);
                break;
            case RegisterAccess::IntcMask:
                EXPECT_EQ(storeThroughBus(reg, 0x00000005, 0xFFFF0003), 0x00000006u);
                break;
            case RegisterAccess::TimerMode:
                // Clock select 1 and both flags written as 1: the flags,
                // not set before, stay clear; the count steps every 32
                // cycles from then on.
                EXPECT_EQ(storeThroughBus(reg, 0, 0x00000C01), 0x001u);
                ee.cycle = 320;
                EXPECT_EQ(memRead32(kHwStart + reg.offset - 0x10), 40u) << "the live count of the timer";
                break;
            case RegisterAccess::TimerCount:
                EXPECT_EQ(storeThroughBus(reg, 0, 0x100), 0x100u);
                ee.cycle = 5;
                EXPECT_EQ(memRead32(kHwStart + reg.offset), 0x100u + 20) << "stored count plus four a step";
                break;
            case RegisterAccess::TimerSetting:
                EXPECT_EQ(storeThroughBus(reg, 0, 0x1234), 0x1234u);
                EXPECT_NE(timers[reg.unit].interval, 0u) << "the timer was rescheduled";
                break;
            }
        }
    }
}

TEST(RegisterMaps, OffsetsNoRowNamesAreStorageAsBefore) {
    useNoPlugins();
    resetMachine();
    // Beside a CHCR, beside D_STAT, between two timer registers and in a
    // timer's block past its registers: each store is kept as it is.
    for (u32 address : {0x1000A004u, 0x1000E014u, 0x10000814u, 0x10000840u, 0x1000E070u, 0x1000FFF0u}) {
        memWrite32(0xFFFFFFFF, address);
        EXPECT_EQ(memRead32(address), 0xFFFFFFFFu) << std::hex << address;
    }
    EXPECT_EQ(timers[1].interval, 0u) << "no timer was rescheduled";
    EXPECT_EQ(hostLoad<u32>(memory.hw + 0xA000), 0u) << "no channel was started";
}

}  // namespace
