#include "memory/gif.h"

#include <algorithm>
#include <cstring>

#include "memory/dma.h"
#include "memory/host_access.h"
#include "plugins/plugin_host.h"

void gifChannelData(const u8* data, u32 quadwords) {
    gsGifTransfer(reinterpret_cast<const u32*>(data), quadwords);
}

void gifChannelTag(u32 tagAddress) {
    if ((*dmaChannels[kDmaVif1].chcr & kVif1ChcrGifTagHalves) == 0) return;
    dmaTransfer(tagAddress + 8, 2, gifChannelData);
}

namespace {

constexpr u32 kGifTagEop = 0x8000;

// Quadwords of data after a GIF tag: PACKED has NLOOP x NREG quadwords,
// REGLIST NLOOP x NREG doublewords, IMAGE NLOOP quadwords (NREG 0 is 16).
u32 gifTagDataQuadwords(const u8* tag) {
    const u64 low = hostLoad<u64>(tag);
    const u32 loops = static_cast<u32>(low & 0x7FFF);
    const u32 format = static_cast<u32>(low >> 58) & 3;
    u32 registers = static_cast<u32>(low >> 60) & 0xF;
    if (registers == 0) registers = 16;
    if (format == 0) return loops * registers;
    if (format == 1) return (loops * registers + 1) / 2;
    return loops;
}

}  // namespace

void copyGifPacket(const u8* ring, u32 ringQuadwords, u32 start, u32* out) {
    start %= ringQuadwords;
    u32 length = 0;
    bool ended = false;
    while (!ended) {
        const u8* tag = ring + ((start + length) % ringQuadwords) * 16;
        const u32 size = 1 + gifTagDataQuadwords(tag);
        if (size > ringQuadwords - length) break;
        ended = hostLoad<u32>(tag) & kGifTagEop;
        length += size;
    }
    const u32 first = std::min(length, ringQuadwords - start);
    std::memcpy(out, ring + start * 16, first * 16);
    std::memcpy(out + first * 4, ring, (length - first) * 16);
    if (!ended) {
        u32* endTag = out + length * 4;
        endTag[0] = kGifTagEop;
        endTag[1] = endTag[2] = endTag[3] = 0;
    }
}
