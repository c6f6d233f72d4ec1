#include "devices/hw_registers.h"

#include "core/diagnostics.h"
#include "devices/dma.h"
#include "devices/timers.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

// The timers occupy 0x0000-0x1FFF, one 0x800 block each, with Tn_COUNT at
// the start of the block.
constexpr u32 kTimerRegistersEnd = 0x2000;
constexpr bool isTimerCount(u32 offset) { return offset < kTimerRegistersEnd && (offset & 0x7FF) == 0; }
constexpr bool isTimerMode(u32 offset) { return offset < kTimerRegistersEnd && (offset & 0x7FF) == 0x10; }

// The STR byte of the SPR-from CHCR, the one byte store with an effect.
constexpr u32 kSprFromChcrStrByte = 0xD001;

// The channel whose CHCR a 32-bit store at `offset` starts, or
// kDmaChannelCount when the offset is no such CHCR. The IPU channels have
// no handler: their CHCR is plain storage.
constexpr unsigned startedChannel(u32 offset) {
    for (unsigned channel = 0; channel < kDmaChannelCount; ++channel) {
        if (channel == kDmaIpuFrom || channel == kDmaIpuTo) continue;
        if (kDmaChannelBases[channel] == offset) return channel;
    }
    return kDmaChannelCount;
}

constexpr bool isIpuChcr(u32 offset) {
    return offset == kDmaChannelBases[kDmaIpuFrom] || offset == kDmaChannelBases[kDmaIpuTo];
}

constexpr u16 kDEnablerAtPowerOn = 0x1201;

}  // namespace

void hwRegistersInit() {
    hostStore<u16>(memory.hw + kHwDEnabler, kDEnablerAtPowerOn);
    dmaSetUpChannels();
    memAttachDevices({hwRead32, hwWrite8, hwWrite32, hwWrite64, timersTakeCsrVblank, vif1FifoFromGs});
}

u32 hwRead32(u32 offset) {
    if (isTimerCount(offset)) return timerCountRead(offset);
    if (isTimerMode(offset)) return timerModeRead(offset);
    return hostLoad<u32>(memory.hw + offset);
}

// Byte stores to the register block are dropped, not even stored, except
// the one that starts the SPR-from channel.
void hwWrite8(u32 offset, u8 value) {
    if (offset == kSprFromChcrStrByte) dmaStartSprFrom(static_cast<u32>(value) << 8);
}

void hwWrite32(u32 offset, u32 value) {
    u8* reg = memory.hw + offset;
    const u32 old = hostLoad<u32>(reg);
    switch (offset) {
    case kHwDStat:
        // Status bits 0-15 are cleared by writing 1; mask bits 16-31 toggle.
        hostStore<u32>(reg, (old & ~(value & 0xFFFF)) ^ (value & 0xFFFF0000));
        return;
    case kHwIntcStat:
        hostStore<u32>(reg, old & ~value);
        return;
    case kHwIntcMask:
        hostStore<u32>(reg, old ^ (value & 0xFFFF));
        return;
    }
    if (isIpuChcr(offset) && (value & kChcrStr)) {
        logReport(LogCategory::Dma, LogLevel::Stub, "IPU channel at 0x%04X is not emulated: its start moves nothing", offset);
    }
    const unsigned channel = startedChannel(offset);
    if (channel == kDmaSprFrom) return dmaStartSprFrom(value);
    if (channel != kDmaChannelCount) return dmaStartChannel(channel, value);
    if (offset < kTimerRegistersEnd) return timerRegisterWritten(value, offset);
    hostStore<u32>(reg, value);
}

void hwWrite64(u32 offset, u32 low, u32 high) {
    hostStore<u32>(memory.hw + offset, low);
    hostStore<u32>(memory.hw + offset + 4, high);
    if (offset == kDmaChannelBases[kDmaGif]) dmaStartGifFromDoubleword(low);
}
