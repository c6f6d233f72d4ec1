// The EE address space.
//
//   0x00000000-0x01FFFFFF  guest RAM, 32 MB; every other address that no row
//                          below claims is masked with 0x1FFFFFF into it, so
//                          KUSEG, KSEG0, KSEG1 and every 32 MB alias meet here
//   0x10000000-0x1000FFFF  hardware register block (32- and 64-bit accesses,
//                          8-bit writes; other widths fall through to RAM)
//   0x12000000-0x12001080  GS privileged registers, forwarded to the GS plugin
//                          (32- and 64-bit accesses only)
//   0x1FC00000-0x1FFFFFFF  ROM area, 4 MB (8- and 32-bit reads only)
//   0x70000000-0x70003FFF  scratchpad, 16 KB
//
// The first 64 KB of RAM double as the VU memories: VU0 micro memory at
// 0x0000, VU0 data at 0x1000, VU1 micro at 0x8000, VU1 data at 0xC000.
#pragma once

#include "core/types.h"
#include "memory/host_access.h"

inline constexpr u32 kRamSize = 0x2000000;
inline constexpr u32 kRamMask = kRamSize - 1;
inline constexpr u32 kRomSize = 0x400000;
inline constexpr u32 kRomMask = kRomSize - 1;
inline constexpr u32 kRomStart = 0x1FC00000;
inline constexpr u32 kHwSize = 0x10000;
inline constexpr u32 kHwMask = kHwSize - 1;
inline constexpr u32 kHwStart = 0x10000000;
inline constexpr u32 kScratchpadSize = 0x4000;
inline constexpr u32 kScratchpadMask = kScratchpadSize - 1;
inline constexpr u32 kScratchpadStart = 0x70000000;
inline constexpr u32 kGsPrivStart = 0x12000000;
inline constexpr u32 kGsPrivLast = 0x12001080;  // SIGLBLID, the last register
inline constexpr u32 kGsCsr = 0x12001000;

// Every block is allocated with this many spare bytes after its end, so an
// access of up to 16 bytes that starts inside a block stays inside the
// allocation on the host.
inline constexpr u32 kBlockSpareBytes = 16;

inline constexpr u32 kVu0MicroOffset = 0x0000;
inline constexpr u32 kVu0DataOffset = 0x1000;
inline constexpr u32 kVu1MicroOffset = 0x8000;
inline constexpr u32 kVu1DataOffset = 0xC000;

struct MemoryBlocks {
    u8* ram = nullptr;
    u8* rom = nullptr;
    u8* hw = nullptr;
    u8* scratchpad = nullptr;
    // Fixed windows into guest RAM, not blocks of their own.
    u8* vu0Micro = nullptr;
    u8* vu0Data = nullptr;
    u8* vu1Micro = nullptr;
    u8* vu1Data = nullptr;
};

extern MemoryBlocks memory;

int memAlloc();
void memFree();

// The EE's devices as the bus reaches them: the side effects of the
// hardware register block (offsets already masked to 16 bits), the vertical
// blank of the CSR rule and the direction of the VIF1 FIFO. The devices
// fill this table once at machine initialisation; the bus itself knows no
// device. An entry left null, like a table never attached, makes the
// register block plain storage for that access, gives CSR reads no
// vertical blank and keeps the VIF1 FIFO facing the GS.
struct BusDevices {
    u32 (*hwRead32)(u32 offset);
    void (*hwWrite8)(u32 offset, u8 value);
    void (*hwWrite32)(u32 offset, u32 value);
    void (*hwWrite64)(u32 offset, u32 low, u32 high);
    // Takes the vertical blank that the guest has not yet seen in CSR, if
    // there is one, and runs the CSR-triggered vertical blank; true when
    // there was one (the read then reports VSINT).
    bool (*takeCsrVblank)();
    // Whether the VIF1 FIFO faces the EE, so that a 128-bit read of it takes
    // a quadword of a GS-to-host transfer.
    bool (*vif1FifoFromGs)();
};

void memAttachDevices(const BusDevices& devices);

// Every range outside guest RAM lies in the 0x1xxxxxxx or 0x7xxxxxxx
// segment. The bus operations below go straight to RAM for any other
// address, inline in the load and store handlers; the segments that need a
// closer look are decoded out of line by the memRead*Mapped and
// memWrite*Mapped operations.
inline bool inMappedSegment(u32 address) { return (0x82u >> (address >> 28)) & 1; }
inline u8* guestRamAt(u32 address) { return memory.ram + (address & kRamMask); }

u8 memRead8Mapped(u32 address);
u16 memRead16Mapped(u32 address);
u32 memRead32Mapped(u32 address);
u64 memRead64Mapped(u32 address);
void memWrite8Mapped(u8 value, u32 address);
void memWrite16Mapped(u16 value, u32 address);
void memWrite32Mapped(u32 value, u32 address);
void memWrite64Mapped(u32 low, u32 high, u32 address);

inline u8 memRead8(u32 address) {
    if (inMappedSegment(address)) return memRead8Mapped(address);
    return *guestRamAt(address);
}

inline u16 memRead16(u32 address) {
    if (inMappedSegment(address)) return memRead16Mapped(address);
    return hostLoad<u16>(guestRamAt(address));
}

inline u32 memRead32(u32 address) {
    if (inMappedSegment(address)) return memRead32Mapped(address);
    return hostLoad<u32>(guestRamAt(address));
}

inline u64 memRead64(u32 address) {
    if (inMappedSegment(address)) return memRead64Mapped(address);
    return hostLoad<u64>(guestRamAt(address));
}

void memRead128(u32 out[4], u32 address);

inline void memWrite8(u8 value, u32 address) {
    if (inMappedSegment(address)) return memWrite8Mapped(value, address);
    *guestRamAt(address) = value;
}

inline void memWrite16(u16 value, u32 address) {
    if (inMappedSegment(address)) return memWrite16Mapped(value, address);
    hostStore<u16>(guestRamAt(address), value);
}

inline void memWrite32(u32 value, u32 address) {
    if (inMappedSegment(address)) return memWrite32Mapped(value, address);
    hostStore<u32>(guestRamAt(address), value);
}

inline void memWrite64(u32 low, u32 high, u32 address) {
    if (inMappedSegment(address)) return memWrite64Mapped(low, high, address);
    hostStore<u64>(guestRamAt(address), (static_cast<u64>(high) << 32) | low);
}

void memWrite128(const u32 in[4], u32 address);

// The DMA view of an address: bit 31 selects the scratchpad, otherwise RAM.
u8* memHostPointer(u32 address);
