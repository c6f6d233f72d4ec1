// The EE DMA controller. Ten channels live in the hardware register block,
// each with seven registers: CHCR, MADR, QWC, TADR, ASR0, ASR1 and SADR
// (the register map below), and the DMAC's own control and status
// registers follow them:
//
//   0 VIF0   1 VIF1   2 GIF   3 IPU from   4 IPU to   5 SIF0   6 SIF1
//   7 SIF2   8 SPR from   9 SPR to
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
#include "devices/register_map.h"

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

// The channels' registers, seven per channel in the order of DmaRegister,
// channel after channel.
inline constexpr HwRegister kDmaRegisterMap[] = {
    // 0 VIF0
    {0x8000, "D0_CHCR", RegisterAccess::DmaStart, kDmaVif0},
    {0x8010, "D0_MADR", RegisterAccess::Storage, kDmaVif0},
    {0x8020, "D0_QWC", RegisterAccess::Storage, kDmaVif0},
    {0x8030, "D0_TADR", RegisterAccess::Storage, kDmaVif0},
    {0x8040, "D0_ASR0", RegisterAccess::Storage, kDmaVif0},
    {0x8050, "D0_ASR1", RegisterAccess::Storage, kDmaVif0},
    {0x8080, "D0_SADR", RegisterAccess::Storage, kDmaVif0},
    // 1 VIF1
    {0x9000, "D1_CHCR", RegisterAccess::DmaStart, kDmaVif1},
    {0x9010, "D1_MADR", RegisterAccess::Storage, kDmaVif1},
    {0x9020, "D1_QWC", RegisterAccess::Storage, kDmaVif1},
    {0x9030, "D1_TADR", RegisterAccess::Storage, kDmaVif1},
    {0x9040, "D1_ASR0", RegisterAccess::Storage, kDmaVif1},
    {0x9050, "D1_ASR1", RegisterAccess::Storage, kDmaVif1},
    {0x9080, "D1_SADR", RegisterAccess::Storage, kDmaVif1},
    // 2 GIF
    {0xA000, "D2_CHCR", RegisterAccess::DmaStart, kDmaGif},
    {0xA010, "D2_MADR", RegisterAccess::Storage, kDmaGif},
    {0xA020, "D2_QWC", RegisterAccess::Storage, kDmaGif},
    {0xA030, "D2_TADR", RegisterAccess::Storage, kDmaGif},
    {0xA040, "D2_ASR0", RegisterAccess::Storage, kDmaGif},
    {0xA050, "D2_ASR1", RegisterAccess::Storage, kDmaGif},
    {0xA080, "D2_SADR", RegisterAccess::Storage, kDmaGif},
    // 3 IPU from
    {0xB000, "D3_CHCR", RegisterAccess::DmaNoHandler, kDmaIpuFrom},
    {0xB010, "D3_MADR", RegisterAccess::Storage, kDmaIpuFrom},
    {0xB020, "D3_QWC", RegisterAccess::Storage, kDmaIpuFrom},
    {0xB030, "D3_TADR", RegisterAccess::Storage, kDmaIpuFrom},
    {0xB040, "D3_ASR0", RegisterAccess::Storage, kDmaIpuFrom},
    {0xB050, "D3_ASR1", RegisterAccess::Storage, kDmaIpuFrom},
    {0xB080, "D3_SADR", RegisterAccess::Storage, kDmaIpuFrom},
    // 4 IPU to
    {0xB400, "D4_CHCR", RegisterAccess::DmaNoHandler, kDmaIpuTo},
    {0xB410, "D4_MADR", RegisterAccess::Storage, kDmaIpuTo},
    {0xB420, "D4_QWC", RegisterAccess::Storage, kDmaIpuTo},
    {0xB430, "D4_TADR", RegisterAccess::Storage, kDmaIpuTo},
    {0xB440, "D4_ASR0", RegisterAccess::Storage, kDmaIpuTo},
    {0xB450, "D4_ASR1", RegisterAccess::Storage, kDmaIpuTo},
    {0xB480, "D4_SADR", RegisterAccess::Storage, kDmaIpuTo},
    // 5 SIF0
    {0xC000, "D5_CHCR", RegisterAccess::DmaStart, kDmaSif0},
    {0xC010, "D5_MADR", RegisterAccess::Storage, kDmaSif0},
    {0xC020, "D5_QWC", RegisterAccess::Storage, kDmaSif0},
    {0xC030, "D5_TADR", RegisterAccess::Storage, kDmaSif0},
    {0xC040, "D5_ASR0", RegisterAccess::Storage, kDmaSif0},
    {0xC050, "D5_ASR1", RegisterAccess::Storage, kDmaSif0},
    {0xC080, "D5_SADR", RegisterAccess::Storage, kDmaSif0},
    // 6 SIF1
    {0xC400, "D6_CHCR", RegisterAccess::DmaStart, kDmaSif1},
    {0xC410, "D6_MADR", RegisterAccess::Storage, kDmaSif1},
    {0xC420, "D6_QWC", RegisterAccess::Storage, kDmaSif1},
    {0xC430, "D6_TADR", RegisterAccess::Storage, kDmaSif1},
    {0xC440, "D6_ASR0", RegisterAccess::Storage, kDmaSif1},
    {0xC450, "D6_ASR1", RegisterAccess::Storage, kDmaSif1},
    {0xC480, "D6_SADR", RegisterAccess::Storage, kDmaSif1},
    // 7 SIF2
    {0xC800, "D7_CHCR", RegisterAccess::DmaStart, kDmaSif2},
    {0xC810, "D7_MADR", RegisterAccess::Storage, kDmaSif2},
    {0xC820, "D7_QWC", RegisterAccess::Storage, kDmaSif2},
    {0xC830, "D7_TADR", RegisterAccess::Storage, kDmaSif2},
    {0xC840, "D7_ASR0", RegisterAccess::Storage, kDmaSif2},
    {0xC850, "D7_ASR1", RegisterAccess::Storage, kDmaSif2},
    {0xC880, "D7_SADR", RegisterAccess::Storage, kDmaSif2},
    // 8 SPR from
    {0xD000, "D8_CHCR", RegisterAccess::DmaStart, kDmaSprFrom},
    {0xD010, "D8_MADR", RegisterAccess::Storage, kDmaSprFrom},
    {0xD020, "D8_QWC", RegisterAccess::Storage, kDmaSprFrom},
    {0xD030, "D8_TADR", RegisterAccess::Storage, kDmaSprFrom},
    {0xD040, "D8_ASR0", RegisterAccess::Storage, kDmaSprFrom},
    {0xD050, "D8_ASR1", RegisterAccess::Storage, kDmaSprFrom},
    {0xD080, "D8_SADR", RegisterAccess::Storage, kDmaSprFrom},
    // 9 SPR to
    {0xD400, "D9_CHCR", RegisterAccess::DmaStart, kDmaSprTo},
    {0xD410, "D9_MADR", RegisterAccess::Storage, kDmaSprTo},
    {0xD420, "D9_QWC", RegisterAccess::Storage, kDmaSprTo},
    {0xD430, "D9_TADR", RegisterAccess::Storage, kDmaSprTo},
    {0xD440, "D9_ASR0", RegisterAccess::Storage, kDmaSprTo},
    {0xD450, "D9_ASR1", RegisterAccess::Storage, kDmaSprTo},
    {0xD480, "D9_SADR", RegisterAccess::Storage, kDmaSprTo},
};

enum class DmaRegister : unsigned { Chcr, Madr, Qwc, Tadr, Asr0, Asr1, Sadr, Count };

constexpr u32 dmaRegisterOffset(unsigned channel, DmaRegister reg) {
    return kDmaRegisterMap[static_cast<unsigned>(DmaRegister::Count) * channel + static_cast<unsigned>(reg)].offset;
}

// The DMAC's control and status registers.
inline constexpr HwRegister kDmacRegisterMap[] = {
    {0xE000, "D_CTRL", RegisterAccess::Storage},
    {0xE010, "D_STAT", RegisterAccess::DmacStatus},
    {0xE020, "D_PCR", RegisterAccess::Storage},
    {0xE030, "D_SQWC", RegisterAccess::Storage},
    {0xE040, "D_RBSR", RegisterAccess::Storage},
    {0xE050, "D_RBOR", RegisterAccess::Storage},
    {0xE060, "D_STADR", RegisterAccess::Storage},
    {0xF590, "D_ENABLER", RegisterAccess::Storage},
};

inline constexpr u32 kHwDStat = registerOffset(kDmacRegisterMap, "D_STAT");
inline constexpr u32 kHwDEnabler = registerOffset(kDmacRegisterMap, "D_ENABLER");

// D_STAT as the guest writes it: status bits 0-15 written as 1 are cleared
// (the channel's interrupt acknowledged), mask bits 16-31 written as 1 are
// toggled.
void dmacStatusWritten(u32 value);

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

// VIF1 STAT as the guest writes it, at the first word of the VIF1 settings
// (where they keep their first ROW value). Its FDR bit turns the VIF1 FIFO
// round: data then comes from the GS to the EE.
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
