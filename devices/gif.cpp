#include "devices/gif.h"

#include <algorithm>
#include <cstring>

#include "core/work_budget.h"
#include "devices/dma.h"
#include "memory/host_access.h"
#include "plugins/plugin_host.h"

void gifTransferToGs(const u32* data, u32 quadwords) {
    u32 sent = 0;
    do {
        const u32 slice = std::min(quadwords - sent, kGifSliceQuadwords);
        workPollStop();
        if (!workCharge(slice * kGsUnitsPerQuadword, LogCategory::Gif, "GIF transfer to the GS")) return;
        gsGifTransfer(data + 4 * sent, slice);
        sent += slice;
    } while (sent < quadwords);
}

void gifChannelData(const u8* data, u32 quadwords) { gifTransferToGs(reinterpret_cast<const u32*>(data), quadwords); }

void gifChannelTag(u32 tagAddress) {
    if ((*dmaChannels[kDmaVif1].chcr & kVif1ChcrGifTagHalves) == 0) return;
    dmaTransfer(tagAddress + 8, 2, gifChannelData);
}

namespace {

constexpr u32 kGifTagEop = 0x8000;
constexpr u64 kGifTagLoopsMask = 0x7FFF;
constexpr u64 kGifTagPre = u64{1} << 46;

enum GifFormat : u32 { kGifPacked, kGifReglist };

// The fields of a GIF tag's lower doubleword that say how long its data is.
struct GifTagShape {
    u32 loops;
    u32 format;     // PACKED, REGLIST, or IMAGE (2 and 3)
    u32 registers;  // NREG, 0 read as 16

    explicit GifTagShape(u64 low)
        : loops(static_cast<u32>(low & kGifTagLoopsMask)),
          format(static_cast<u32>(low >> 58) & 3),
          registers((static_cast<u32>(low >> 60) & 0xF) == 0 ? 16 : static_cast<u32>(low >> 60) & 0xF) {}

    // Quadwords of data for `count` loops: PACKED has NREG quadwords a loop,
    // REGLIST NREG doublewords (the last quadword padded), IMAGE one.
    u32 dataQuadwords(u32 count) const {
        if (format == kGifPacked) return count * registers;
        if (format == kGifReglist) return (count * registers + 1) / 2;
        return count;
    }

    // The loops one piece of a PATH1 packet takes: as many as a slice holds,
    // at least one; REGLIST pieces but the last end on a whole quadword.
    u32 loopsPerPiece() const {
        if (format == kGifPacked) return std::max(1u, kGifSliceQuadwords / registers);
        if (format != kGifReglist) return kGifSliceQuadwords;
        const u32 loops = std::max(1u, 2 * kGifSliceQuadwords / registers);
        return registers % 2 == 0 ? loops : std::max(2u, loops & ~1u);
    }
};

u32 gifTagDataQuadwords(const u8* tag) {
    const GifTagShape shape(hostLoad<u64>(tag));
    return shape.dataQuadwords(shape.loops);
}

// The largest piece: a tag, then a slice of data (a quadword more when
// REGLIST pads its last one) or a single PACKED loop of 16 registers.
constexpr u32 kPath1PieceQuadwords = 1 + std::max(16u, kGifSliceQuadwords + 1);

}  // namespace

u32 copyGifPacket(const u8* ring, u32 ringQuadwords, u32 start, u32* out) {
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
        return length + 1;
    }
    return length;
}

// Each piece is a packet of its own for "GSgifTransfer2": one tag with the
// end-of-packet bit, and some of the original tag's loops. A tag split in
// pieces keeps its registers and format; only its first piece keeps PRE, so
// PRIM is written once and the vertex queue runs on across pieces as it
// would through the whole tag.
void gifPacketToGs(const u32* packet, u32 quadwords) {
    alignas(16) static u32 piece[4 * kPath1PieceQuadwords];
    u32 at = 0;
    while (at < quadwords) {
        const u8* tag = reinterpret_cast<const u8*>(packet + 4 * at);
        const u64 low = hostLoad<u64>(tag);
        const GifTagShape shape(low);
        const u32 perPiece = shape.loopsPerPiece();
        u32 loopsLeft = shape.loops;
        u32 data = at + 1;
        bool first = true;
        do {
            const u32 loops = std::min(loopsLeft, perPiece);
            const u32 dataQuadwords = std::min({shape.dataQuadwords(loops), quadwords - data, kPath1PieceQuadwords - 1});
            workPollStop();
            if (!workCharge((1 + dataQuadwords) * kGsUnitsPerQuadword, LogCategory::Gif, "GIF packet to the GS")) return;
            u64 pieceLow = (low & ~kGifTagLoopsMask) | loops | kGifTagEop;
            if (!first) pieceLow &= ~kGifTagPre;
            hostStore<u64>(reinterpret_cast<u8*>(piece), pieceLow);
            std::memcpy(piece + 2, tag + 8, 8);
            std::memcpy(piece + 4, packet + 4 * data, 16 * std::size_t{dataQuadwords});
            gsGifTransfer2(piece);
            loopsLeft -= loops;
            data += dataQuadwords;
            first = false;
        } while (loopsLeft != 0 && data < quadwords);
        if (hostLoad<u32>(tag) & kGifTagEop) return;
        at = data;
    }
}
