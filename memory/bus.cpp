#include "memory/bus.h"

#include <cstdlib>
#include <cstring>

#include "memory/host_access.h"
#include "plugins/plugin_host.h"

MemoryBlocks memory;

namespace {

constexpr u32 segmentOf(u32 address) { return address >> 28; }

// The VIF1 FIFO's quadword.
constexpr u32 kVif1FifoAddress = 0x10005000;
constexpr u32 kVif1FifoMask = 0xF;

bool inRom(u32 address) { return address >= kRomStart; }  // within segment 1
bool inHw(u32 address) { return address - kHwStart < kHwSize; }
bool inGsPriv(u32 address) { return address - kGsPrivStart <= kGsPrivLast - kGsPrivStart; }
bool inScratchpad(u32 address) { return address - kScratchpadStart < kScratchpadSize; }

u8* scratchpadAt(u32 address) { return memory.scratchpad + (address & kScratchpadMask); }

// The two 64-bit halves of a quadword access: the block is chosen by the
// start address, and the second half wraps inside that same block.
struct QuadwordHalves {
    u8* low;
    u8* high;
};

QuadwordHalves quadwordHalves(u32 address) {
    if (inScratchpad(address)) return {scratchpadAt(address), scratchpadAt(address + 8)};
    return {guestRamAt(address), guestRamAt(address + 8)};
}

// What the block does with no device attached: plain storage.
u32 storedWord(u32 offset) { return hostLoad<u32>(memory.hw + offset); }
void storeByte(u32 offset, u8 value) { memory.hw[offset] = value; }
void storeWord(u32 offset, u32 value) { hostStore<u32>(memory.hw + offset, value); }
void storeDoubleword(u32 offset, u32 low, u32 high) {
    hostStore<u32>(memory.hw + offset, low);
    hostStore<u32>(memory.hw + offset + 4, high);
}
bool noVblank() { return false; }
bool fifoFacesGs() { return false; }

constexpr BusDevices kPlainStorage = {storedWord, storeByte, storeWord, storeDoubleword, noVblank, fifoFacesGs};

BusDevices devices = kPlainStorage;

u8* allocateBlock(u32 size) {
    return static_cast<u8*>(std::calloc(size + kBlockSpareBytes, 1));
}

// Every CSR read reports a vertical blank that the guest has not yet seen
// (VSINT, bit 3) and advances the machine by one.
constexpr u32 kCsrVsint = 0x8;
u32 applyCsrRule(u32 value) { return devices.takeCsrVblank() ? value | kCsrVsint : value; }

}  // namespace

int memAlloc() {
    memory.ram = allocateBlock(kRamSize);
    memory.rom = allocateBlock(kRomSize);
    memory.hw = allocateBlock(kHwSize);
    memory.scratchpad = allocateBlock(kScratchpadSize);
    memory.vu0Micro = memory.ram + kVu0MicroOffset;
    memory.vu0Data = memory.ram + kVu0DataOffset;
    memory.vu1Micro = memory.ram + kVu1MicroOffset;
    memory.vu1Data = memory.ram + kVu1DataOffset;
    if (!memory.ram || !memory.rom || !memory.hw || !memory.scratchpad) {
        std::abort();  // the machine cannot exist without its memory
    }
    return 1;
}

void memAttachDevices(const BusDevices& attached) {
    devices = {
        attached.hwRead32 ? attached.hwRead32 : kPlainStorage.hwRead32,
        attached.hwWrite8 ? attached.hwWrite8 : kPlainStorage.hwWrite8,
        attached.hwWrite32 ? attached.hwWrite32 : kPlainStorage.hwWrite32,
        attached.hwWrite64 ? attached.hwWrite64 : kPlainStorage.hwWrite64,
        attached.takeCsrVblank ? attached.takeCsrVblank : kPlainStorage.takeCsrVblank,
        attached.vif1FifoFromGs ? attached.vif1FifoFromGs : kPlainStorage.vif1FifoFromGs,
    };
}

void memFree() {
    std::free(memory.ram);
    std::free(memory.rom);
    std::free(memory.hw);
    std::free(memory.scratchpad);
    memory = MemoryBlocks{};
}

u8 memRead8Mapped(u32 address) {
    switch (segmentOf(address)) {
    case 0x1:
        if (inRom(address)) return memory.rom[address & kRomMask];
        break;
    case 0x7:
        if (inScratchpad(address)) return *scratchpadAt(address);
        break;
    }
    return *guestRamAt(address);
}

u16 memRead16Mapped(u32 address) {
    if (inScratchpad(address)) return hostLoad<u16>(scratchpadAt(address));
    return hostLoad<u16>(guestRamAt(address));
}

u32 memRead32Mapped(u32 address) {
    switch (segmentOf(address)) {
    case 0x1:
        if (inRom(address)) return hostLoad<u32>(memory.rom + (address & kRomMask));
        if (inHw(address)) return devices.hwRead32(address & kHwMask);
        if (inGsPriv(address)) {
            u32 value = gsRead32(address);
            return address == kGsCsr ? applyCsrRule(value) : value;
        }
        break;
    case 0x7:
        if (inScratchpad(address)) return hostLoad<u32>(scratchpadAt(address));
        break;
    }
    return hostLoad<u32>(guestRamAt(address));
}

u64 memRead64Mapped(u32 address) {
    switch (segmentOf(address)) {
    case 0x1:
        if (inHw(address)) return hostLoad<u64>(memory.hw + (address & kHwMask));
        if (inGsPriv(address)) {
            u32 value = static_cast<u32>(gsRead64(address));
            if (address == kGsCsr) value = applyCsrRule(value | 0x32000);
            return value;
        }
        break;
    case 0x7:
        if (inScratchpad(address)) return hostLoad<u64>(scratchpadAt(address));
        break;
    }
    return hostLoad<u64>(guestRamAt(address));
}

void memRead128(u32 out[4], u32 address) {
    // The VIF1 FIFO, turned towards the EE, hands over a quadword of a
    // local-to-host GS transfer.
    if ((address & ~kVif1FifoMask) == kVif1FifoAddress && devices.vif1FifoFromGs()) {
        u64 quadword[2];
        gsReadFifo2(quadword, 1);
        std::memcpy(out, quadword, 16);
        return;
    }
    const QuadwordHalves halves = quadwordHalves(address);
    std::memcpy(out, halves.low, 8);
    std::memcpy(out + 2, halves.high, 8);
}

void memWrite8Mapped(u8 value, u32 address) {
    switch (segmentOf(address)) {
    case 0x1:
        if (inHw(address)) return devices.hwWrite8(address & kHwMask, value);
        break;
    case 0x7:
        if (inScratchpad(address)) {
            *scratchpadAt(address) = value;
            return;
        }
        break;
    }
    *guestRamAt(address) = value;
}

void memWrite16Mapped(u16 value, u32 address) {
    if (inScratchpad(address)) return hostStore<u16>(scratchpadAt(address), value);
    hostStore<u16>(guestRamAt(address), value);
}

void memWrite32Mapped(u32 value, u32 address) {
    switch (segmentOf(address)) {
    case 0x1:
        if (inHw(address)) return devices.hwWrite32(address & kHwMask, value);
        if (inGsPriv(address)) return gsWrite32(address, value);
        break;
    case 0x7:
        if (inScratchpad(address)) return hostStore<u32>(scratchpadAt(address), value);
        break;
    }
    hostStore<u32>(guestRamAt(address), value);
}

void memWrite64Mapped(u32 low, u32 high, u32 address) {
    const u64 value = (static_cast<u64>(high) << 32) | low;
    switch (segmentOf(address)) {
    case 0x1:
        if (inHw(address)) return devices.hwWrite64(address & kHwMask, low, high);
        if (inGsPriv(address)) return gsWrite64(address, value);
        break;
    case 0x7:
        if (inScratchpad(address)) return hostStore<u64>(scratchpadAt(address), value);
        break;
    }
    hostStore<u64>(guestRamAt(address), value);
}

void memWrite128(const u32 in[4], u32 address) {
    const QuadwordHalves halves = quadwordHalves(address);
    std::memcpy(halves.low, in, 8);
    std::memcpy(halves.high, in + 2, 8);
}

u8* memHostPointer(u32 address) {
    if (address & 0x80000000) return scratchpadAt(address);
    return guestRamAt(address);
}
