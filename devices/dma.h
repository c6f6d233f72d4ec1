// The EE DMA controller. Ten channels live in the hardware register block,
// each with CHCR at its base, MADR +0x10, QWC +0x20, TADR +0x30, ASR0 +0x40,
// ASR1 +0x50 and SADR +0x80:
//
//   0 VIF0 0x8000   1 VIF1 0x9000   2 GIF 0xA000   3 IPU from 0xB000
//   4 IPU to 0xB400   5 SIF0 0xC000   6 SIF1 0xC400   7 SIF2 0xC800
//   8 SPR from 0xD000   9 SPR to 0xD400
//
// A store of CHCR with STR set runs the whole transfer inside the store.
// GIF data goes to the GS plugin, VIF1 data to the VIF1 command stream, and
// SPR from copies the scratchpad into RAM; the other channels walk their
// tags and update their registers but move nothing (SIF traffic is served
// by the kernel). The IPU channels have no handler.
//
// DMA addresses: bit 31 selects the scratchpad (offset AND 0x3FFF),
// otherwise RAM (offset AND 0x1FFFFFF). A transfer that runs past the end
// of its block continues at the block's start, as the bus wraps its
// accesses, so no transfer ever leaves RAM or the scratchpad.
#pragma once

#include "core/types.h"

// The registers of one channel, pointing into the hardware register block.
struct DmaChannel {
    u32* chcr;
    u32* madr;
    u32* qwc;
    u32* tadr;
    u32* asr0;
    u32* asr1;
    u32* sadr;
};

enum DmaChannelId : unsigned {
    kDmaVif0,
    kDmaVif1,
    kDmaGif,
    kDmaIpuFrom,
    kDmaIpuTo,
    kDmaSif0,
    kDmaSif1,
    kDmaSif2,
    kDmaSprFrom,
    kDmaSprTo,
    kDmaChannelCount
};

inline constexpr u32 kDmaChannelBases[kDmaChannelCount] = {
    0x8000, 0x9000, 0xA000, 0xB000, 0xB400, 0xC000, 0xC400, 0xC800, 0xD000, 0xD400,
};

inline constexpr u32 kChcrDirToPeripheral = 0x1;
inline constexpr u32 kChcrStr = 0x100;
inline constexpr u32 kChcrTie = 0x80;
inline constexpr u32 kChcrChainMode = 0x4;

// A chain that never reaches an end or refe tag is cut off after this many
// tags, far beyond any real chain, or earlier when it spends the work
// budget of the store that started it (core/work_budget.h).
inline constexpr u32 kDmaTagLimit = 1u << 20;

// The hardware QWC register is 16 bits wide; the bits above are ignored.
inline constexpr u32 kDmaQwcMask = 0xFFFF;

// VIF1 STAT, as the guest writes it at hardware offset 0x3C00 (the word the
// VIF1 settings keep their first ROW value in). Its FDR bit turns the VIF1
// FIFO round: data then comes from the GS to the EE.
inline constexpr u32 kHwVif1Stat = 0x3C00;
inline constexpr u32 kVif1StatFdr = 1u << 23;
bool vif1FifoFromGs();

extern DmaChannel dmaChannels[kDmaChannelCount];

// Points the channel records into the hardware register block (memAlloc).
void dmaSetUpChannels();

// Where the data of a transfer goes: a host pointer and a length in
// quadwords. The pointer and length never reach past the end of RAM or the
// scratchpad.
using DmaDataSink = void (*)(const u8* data, u32 quadwords);

// Hands `quadwords` quadwords at DMA address `address` to `sink`: in one
// call, or, when the data wraps from the block's end to its start, in one
// call up to the end and more from the start. A quadword that itself
// straddles the end (an address not aligned to 16) is gathered from both
// ends into a buffer and handed over in a call of its own. A length of 0 is
// still one call.
void dmaTransfer(u32 address, u32 quadwords, DmaDataSink sink);

// The host location of a DMA address, wrapped inside its block.
u8* dmaHostAt(u32 address);

// The 64-bit value at a DMA address, each byte wrapped inside the block.
u64 dmaLoad64(u32 address);

// A CHCR store with its value. Channels without a start (IPU) are ignored.
void dmaStartChannel(unsigned channel, u32 value);

// The 64-bit store of the GIF CHCR: the same start with one return slot and
// no tag halves sent.
void dmaStartGifFromDoubleword(u32 value);

void dmaStartSprFrom(u32 value);
