// DMA channels and tags written straight into guest memory, for the DMA and
// GIF tests.
#pragma once

#include <vector>

#include "devices/dma.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"
#include "memory/host_access.h"

inline constexpr u32 kSpr = 0x80000000;  // the DMA view of the scratchpad

// The channels' CHCR addresses and each register's distance from CHCR,
// from the DMA register map.
constexpr u32 chcrAddress(unsigned channel) { return kHwStart + dmaRegisterOffset(channel, DmaRegister::Chcr); }
constexpr u32 fromChcr(DmaRegister reg) { return dmaRegisterOffset(0, reg) - dmaRegisterOffset(0, DmaRegister::Chcr); }
enum Reg : u32 {
    Chcr = fromChcr(DmaRegister::Chcr),
    Madr = fromChcr(DmaRegister::Madr),
    Qwc = fromChcr(DmaRegister::Qwc),
    Tadr = fromChcr(DmaRegister::Tadr),
    Asr0 = fromChcr(DmaRegister::Asr0),
    Asr1 = fromChcr(DmaRegister::Asr1),
    Sadr = fromChcr(DmaRegister::Sadr),
};
inline constexpr u32 kVif0 = chcrAddress(kDmaVif0), kVif1 = chcrAddress(kDmaVif1), kGif = chcrAddress(kDmaGif),
                     kIpuFrom = chcrAddress(kDmaIpuFrom), kIpuTo = chcrAddress(kDmaIpuTo), kSif0 = chcrAddress(kDmaSif0),
                     kSif1 = chcrAddress(kDmaSif1), kSif2 = chcrAddress(kDmaSif2), kSprFrom = chcrAddress(kDmaSprFrom),
                     kSprTo = chcrAddress(kDmaSprTo);

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
