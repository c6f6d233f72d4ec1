#include "devices/dma.h"

#include <algorithm>
#include <cstring>

#include "core/diagnostics.h"
#include "core/work_budget.h"
#include "devices/gif.h"
#include "devices/intc.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "plugins/plugin_host.h"
#include "vu/vif1.h"

DmaChannel dmaChannels[kDmaChannelCount];

namespace {

constexpr u32 kScratchpadSelect = 0x80000000;

// The fields of a DMA tag, the 64-bit value at the tag address.
constexpr u32 tagQwc(u64 tag) { return static_cast<u32>(tag) & 0xFFFF; }
constexpr u32 tagId(u64 tag) { return (static_cast<u32>(tag) >> 28) & 0x7; }
constexpr u32 tagAddr(u64 tag) { return static_cast<u32>(tag >> 32); }

enum TagId : u32 { kTagRefe, kTagCnt, kTagNext, kTagRef, kTagRefs, kTagCall, kTagRet, kTagEnd };

struct DmaBlock {
    u8* base;
    u32 size;
};

DmaBlock blockOf(u32 address) {
    if (address & kScratchpadSelect) return {memory.scratchpad, kScratchpadSize};
    return {memory.ram, kRamSize};
}

// The canonical DMA form of a guest address: the block select bit and the
// offset inside the block. Call tags store return addresses in this form,
// so a later ret finds the same block.
u32 dmaAddress(u32 address) {
    if (address & kScratchpadSelect) return kScratchpadSelect | (address & kScratchpadMask);
    return address & kRamMask;
}

// `address` moved on by `bytes`, wrapping inside its block.
u32 dmaAdvance(u32 address, u32 bytes) {
    return dmaAddress((address & kScratchpadSelect) | ((address + bytes) & ~kScratchpadSelect));
}

void vif1ChannelData(const u8* data, u32 quadwords) {
    vifCommandStream(reinterpret_cast<const u32*>(data), quadwords * 4);
}

// The upper half of each VIF1 tag is part of the VIF1 command stream.
void vif1ChannelTag(u32 tagAddress) {
    const u64 upperHalf = dmaLoad64(tagAddress + 8);
    const u32 words[2] = {static_cast<u32>(upperHalf), static_cast<u32>(upperHalf >> 32)};
    vifCommandStream(words, 2);
}

// What a channel start does beyond walking the tags.
struct ChannelRoute {
    u32 dStatBit;          // set in D_STAT when the start has TIE
    unsigned returnSlots;  // 2: ASR0 and ASR1 as a two-deep stack; 1: ASR0 only
    DmaDataSink data;      // null for a channel that moves nothing
    void (*tag)(u32 tagAddress);  // called for each tag before its data, or null
};

constexpr ChannelRoute kRoutes[kDmaChannelCount] = {
    {0x001, 2, nullptr, nullptr},                    // VIF0
    {0x002, 2, vif1ChannelData, vif1ChannelTag},     // VIF1
    {0x004, 2, gifChannelData, gifChannelTag},       // GIF
    {0, 0, nullptr, nullptr},                        // IPU from: no handler
    {0, 0, nullptr, nullptr},                        // IPU to: no handler
    {0x020, 1, nullptr, nullptr},                    // SIF0
    {0x040, 1, nullptr, nullptr},                    // SIF1
    {0x080, 1, nullptr, nullptr},                    // SIF2
    {0x100, 0, nullptr, nullptr},                    // SPR from: a start of its own
    {0x200, 1, nullptr, nullptr},                    // SPR to
};

// The GIF start from a 64-bit CHCR store keeps one return slot and sends no
// tag halves.
constexpr ChannelRoute kGifDoublewordRoute = {0x004, 1, gifChannelData, nullptr};

void transferIfMoving(const ChannelRoute& route, u32 address, u32 quadwords) {
    if (route.data) dmaTransfer(address, quadwords, route.data);
}

u8* dStat() { return memory.hw + kHwDStat; }
void setDStat(u32 bit) { hostStore<u32>(dStat(), hostLoad<u32>(dStat()) | bit); }

// The return addresses of call and ret tags. With two slots, call pushes to
// ASR0 and then ASR1 and ret pops the most recent; a third nested call
// overwrites ASR1. With one slot every call and ret uses ASR0.
class ReturnStack {
public:
    ReturnStack(const DmaChannel& channel, unsigned slots) : channel_(channel), slots_(slots) {}

    void push(u32 address) {
        if (slots_ == 1 || depth_ == 0) {
            *channel_.asr0 = address;
            if (slots_ == 2) depth_ = 1;
        } else {
            *channel_.asr1 = address;
            depth_ = 2;
        }
    }

    u32 pop() {
        if (slots_ == 2 && depth_ == 2) {
            depth_ = 1;
            return *channel_.asr1;
        }
        depth_ = 0;
        return *channel_.asr0;
    }

private:
    const DmaChannel& channel_;
    unsigned slots_;
    unsigned depth_ = 0;
};

// Moves a block and leaves the channel as the console does after it: QWC
// at 0 and MADR just past the last quadword, so a later start does not
// send the block again.
void transferBlock(const DmaChannel& channel, const ChannelRoute& route, u32 address, u32 quadwords) {
    transferIfMoving(route, address, quadwords);
    *channel.madr = dmaAdvance(address, 16 * quadwords);
    *channel.qwc = 0;
}

// Each tag and its quadwords are charged to the work budget before they
// move; the VIF1 commands they carry charge their own work. A chain that
// spends the budget stops where it is, as a chain that has no end would.
void runTagChain(const DmaChannel& channel, const ChannelRoute& route, u32 tagAddress) {
    const u32 firstTag = tagAddress;
    ReturnStack returns(channel, route.returnSlots);
    for (u32 tags = 0; tags < kDmaTagLimit; ++tags) {
        const u64 tag = dmaLoad64(tagAddress);
        const u32 qwc = tagQwc(tag);
        if (!workCharge(1 + u64{qwc}, LogCategory::Dma, "DMA tag chain")) return;
        const u32 addr = dmaAddress(tagAddr(tag));
        *channel.qwc = qwc;
        *channel.madr = addr;
        if (route.tag) route.tag(tagAddress);

        const u32 afterTag = dmaAdvance(tagAddress, 16);
        const u32 afterData = dmaAdvance(afterTag, 16 * qwc);
        u32 data = afterTag;
        u32 next = afterData;
        switch (tagId(tag)) {
        case kTagRefe:
            transferBlock(channel, route, addr, qwc);
            return;
        case kTagCnt:
            break;
        case kTagNext:
            next = addr;
            break;
        case kTagRef:
        case kTagRefs:
            data = addr;
            next = afterTag;
            break;
        case kTagCall:
            next = addr;
            returns.push(afterData);
            break;
        case kTagRet:
            next = dmaAddress(returns.pop());
            if (dmaLoad64(next) == 0) {
                *channel.madr = afterTag;
                *channel.qwc = 0;
                return;
            }
            break;
        case kTagEnd:
            transferBlock(channel, route, afterTag, qwc);
            return;
        }
        transferBlock(channel, route, data, qwc);
        tagAddress = next;
    }
    *channel.qwc = 0;
    logReport(LogCategory::Dma, LogLevel::GuestError, "tag chain from 0x%08X ran %u tags without an end; cut", firstTag,
              kDmaTagLimit);
}

void startChannel(const DmaChannel& channel, const ChannelRoute& route, u32 value) {
    const u32 tagAddress = dmaAddress(*channel.tadr);
    *channel.chcr = value & ~kChcrStr;
    if ((value & kChcrStr) == 0) return;
    if (value & kChcrTie) setDStat(route.dStatBit);
    WorkScope scope;
    const u32 qwc = *channel.qwc & kDmaQwcMask;
    if (qwc != 0 && workCharge(qwc, LogCategory::Dma, "DMA transfer")) transferBlock(channel, route, dmaAddress(*channel.madr), qwc);
    if ((value & kChcrChainMode) == 0 || workCut()) return;
    runTagChain(channel, route, tagAddress);
}

// What the SPR-from start does when MADR equals the word at hardware offset
// 0xF040: it looks at bits 2-3 of INTC_STAT and either skips the copy or
// hands the scratchpad to the GS as a packet instead of copying it.
constexpr u32 kSprFromDrainAddress = 0xF040;
constexpr u32 kSprFromDrainModeMask = 0xC;
constexpr u32 kSprFromDrainSkip = 0x8;
constexpr u32 kSprFromDrainToGs = 0xC;

// Copies `bytes` bytes from the scratchpad to RAM, low addresses first, each
// side wrapping inside its own block.
void copyScratchpadToRam(u32 scratchpadOffset, u32 ramOffset, u32 bytes) {
    while (bytes != 0) {
        const u32 run = std::min({bytes, kScratchpadSize - scratchpadOffset, kRamSize - ramOffset});
        std::memcpy(memory.ram + ramOffset, memory.scratchpad + scratchpadOffset, run);
        bytes -= run;
        scratchpadOffset = (scratchpadOffset + run) & kScratchpadMask;
        ramOffset = (ramOffset + run) & kRamMask;
    }
}

// "GSgifTransfer2" takes a packet without a length and reads as far as its
// GIF tags say. The plugin gets the packet from SADR on, wrapped at the
// scratchpad's end as the bus wraps it and ended within it (copyGifPacket),
// so no packet leads the plugin outside the copy.
void drainScratchpadToGs(u32 scratchpadOffset) {
    WorkScope scope;
    constexpr u32 kScratchpadQuadwords = kScratchpadSize / 16;
    alignas(16) static u32 packet[(kScratchpadQuadwords + 1) * 4];
    gifPacketToGs(packet, copyGifPacket(memory.scratchpad, kScratchpadQuadwords, scratchpadOffset / 16, packet));
}

}  // namespace

void dmaSetUpChannels() {
    for (unsigned i = 0; i < kDmaChannelCount; ++i) {
        auto reg = [i](DmaRegister which) { return reinterpret_cast<u32*>(memory.hw + dmaRegisterOffset(i, which)); };
        dmaChannels[i] = {reg(DmaRegister::Chcr), reg(DmaRegister::Madr), reg(DmaRegister::Qwc), reg(DmaRegister::Tadr),
                          reg(DmaRegister::Asr0), reg(DmaRegister::Asr1), reg(DmaRegister::Sadr)};
    }
}

u8* dmaHostAt(u32 address) {
    const DmaBlock block = blockOf(address);
    return block.base + (address & (block.size - 1));
}

void dmaTransfer(u32 address, u32 quadwords, DmaDataSink sink) {
    const DmaBlock block = blockOf(address);
    const u32 mask = block.size - 1;
    u32 offset = address & mask;
    do {
        const u32 whole = std::min(quadwords, (block.size - offset) / 16);
        if (whole != 0 || quadwords == 0) sink(block.base + offset, whole);
        quadwords -= whole;
        offset = (offset + 16 * whole) & mask;
        if (quadwords != 0 && block.size - offset < 16) {
            // A quadword that starts unaligned in the block's last 15 bytes
            // continues at the block's start: gather it from both ends.
            alignas(16) u8 straddling[16];
            for (u32 i = 0; i < 16; ++i) straddling[i] = block.base[(offset + i) & mask];
            sink(straddling, 1);
            quadwords -= 1;
            offset = (offset + 16) & mask;
        }
    } while (quadwords != 0);
}

u64 dmaLoad64(u32 address) {
    const DmaBlock block = blockOf(address);
    const u32 mask = block.size - 1;
    const u32 offset = address & mask;
    if (offset <= block.size - 8) return hostLoad<u64>(block.base + offset);
    u64 value = 0;
    for (u32 i = 0; i < 8; ++i) value |= u64{block.base[(offset + i) & mask]} << (8 * i);
    return value;
}

bool vif1FifoFromGs() { return hostLoad<u32>(memory.hw + kVif1Registers + kVif1Row) & kVif1StatFdr; }

void dmacStatusWritten(u32 value) {
    hostStore<u32>(dStat(), (hostLoad<u32>(dStat()) & ~(value & 0xFFFF)) ^ (value & 0xFFFF0000));
}

namespace {

// VIF1 started towards memory (DIR 0) while FDR has the FIFO facing the EE:
// QWC quadwords of a local-to-host GS transfer land at MADR, in normal mode
// whatever the mode field says (the console has no chain going this way).
void startVif1FromGs(u32 value) {
    const DmaChannel& channel = dmaChannels[kDmaVif1];
    *channel.chcr = value & ~kChcrStr;
    if (value & kChcrTie) setDStat(kRoutes[kDmaVif1].dStatBit);
    u32 address = dmaAddress(*channel.madr);
    for (u32 left = *channel.qwc & kDmaQwcMask; left != 0; --left) {
        alignas(16) u64 quadword[2];
        gsReadFifo2(quadword, 1);
        for (u32 i = 0; i < 16; ++i) *dmaHostAt(dmaAdvance(address, i)) = reinterpret_cast<const u8*>(quadword)[i];
        address = dmaAdvance(address, 16);
    }
    *channel.madr = address;
    *channel.qwc = 0;
}

}  // namespace

void dmaStartChannel(unsigned channel, u32 value) {
    if (channel >= kDmaChannelCount || kRoutes[channel].returnSlots == 0) return;
    if (channel == kDmaVif1 && (value & kChcrStr) && !(value & kChcrDirToPeripheral) && vif1FifoFromGs())
        return startVif1FromGs(value);
    startChannel(dmaChannels[channel], kRoutes[channel], value);
}

void dmaStartGifFromDoubleword(u32 value) { startChannel(dmaChannels[kDmaGif], kGifDoublewordRoute, value); }

void dmaStartSprFrom(u32 value) {
    const DmaChannel& channel = dmaChannels[kDmaSprFrom];
    if ((value & kChcrStr) == 0) return;
    *channel.chcr = value & ~kChcrStr;
    if (value & kChcrTie) setDStat(kRoutes[kDmaSprFrom].dStatBit);
    const u32 scratchpadOffset = *channel.sadr & kScratchpadMask;
    if (*channel.madr == hostLoad<u32>(memory.hw + kSprFromDrainAddress)) {
        const u32 mode = hostLoad<u32>(memory.hw + kHwIntcStat) & kSprFromDrainModeMask;
        if (mode == kSprFromDrainSkip) return;
        if (mode == kSprFromDrainToGs) return drainScratchpadToGs(scratchpadOffset);
    }
    const u32 bytes = 16 * (*channel.qwc & kDmaQwcMask);
    copyScratchpadToRam(scratchpadOffset, *channel.madr & kRamMask, bytes);
    *channel.madr = dmaAdvance(*channel.madr & kRamMask, bytes);
    *channel.sadr = (scratchpadOffset + bytes) & kScratchpadMask;
    *channel.qwc = 0;
}
