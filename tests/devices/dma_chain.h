// DMA channels and tags written straight into guest memory, for the DMA and
// GIF tests.
#pragma once

#include <vector>

#include "memory/bus.h"
#include "memory/guest_ram.h"
#include "memory/host_access.h"

inline constexpr u32 kSpr = 0x80000000;  // the DMA view of the scratchpad

// Channel bases and register offsets, from the console's register map.
enum Reg : u32 { Chcr = 0x00, Madr = 0x10, Qwc = 0x20, Tadr = 0x30, Asr0 = 0x40, Asr1 = 0x50, Sadr = 0x80 };
inline constexpr u32 kVif0 = 0x10008000, kVif1 = 0x10009000, kGif = 0x1000A000, kIpuFrom = 0x1000B000,
                     kIpuTo = 0x1000B400, kSif0 = 0x1000C000, kSif1 = 0x1000C400, kSif2 = 0x1000C800,
                     kSprFrom = 0x1000D000, kSprTo = 0x1000D400;

enum TagId : u32 { Refe, Cnt, Next, Ref, Refs, Call, Ret, End };

struct Tag {
    u32 at;  // DMA address of the tag
    TagId id;
    u32 qwc;
    u32 addr;
};

inline u8* hostAt(u32 dmaAddress) {
    if (dmaAddress & kSpr) return memory.scratchpad + (dmaAddress & kScratchpadMask);
    return ramAt(dmaAddress);
}

// Each tag gets a non-zero upper half, which no rule may read.
inline void writeChain(const std::vector<Tag>& tags) {
    for (const Tag& tag : tags) {
        hostStore<u64>(hostAt(tag.at), (u64{tag.addr} << 32) | (u64{tag.id} << 28) | tag.qwc);
        hostStore<u64>(hostAt(tag.at) + 8, 0x5A5A5A5A5A5A5A5Aull);
    }
}
