#include "vu/vu1_micro.h"

#include <algorithm>
#include <cstring>

#include "memory/host_access.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"
#include "vu/vu_upper.h"

namespace {

u32 lastUpperWord = 0;

constexpr u32 kVu1DataQuadwords = kVu1MemoryBytes / 16;

// One more quadword than data memory for the EOP tag that ends a cut packet.
alignas(16) u32 kickedPacket[(kVu1DataQuadwords + 1) * 4];

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

void vu1ExecPair() {
    const u32 at = vu1.tpc & kVu1MemoryMask;
    // tpc is stored before the fetch and code after it, so that the two
    // neighbouring words are not merged into one wide store that the
    // handlers' loads of code would stall on (see cpuStep).
    vu1.tpc = (at + 8) & kVu1MemoryMask;
    const u32 lower = hostLoad<u32>(vu1.microMem + at);
    const u32 upper = hostLoad<u32>(vu1.microMem + at + 4);
    lastUpperWord = upper;
    vu1.code = upper;
    vu1RunUpper();
    // The upper instruction of an I-bit pair has read I as it was before.
    if (upper & kVuUpperIBit) {
        vu1.vi[kViI] = lower;
        return;
    }
    vu1.code = lower;
    vu1RunLower();
}

u32 vu1LastUpperWord() { return lastUpperWord; }

void vu1Run() {
    for (u32 pairs = 0; pairs < kVu1MaxPairsPerRun; ++pairs) {
        vu1ExecPair();
        if (lastUpperWord & kVuUpperEndBits) {
            vu1ExecPair();
            return;
        }
    }
}

const u32* vu1KickedPacket(u32 byteOffset) {
    const u32 start = (byteOffset & kVu1MemoryMask) / 16;
    u32 length = 0;
    bool ended = false;
    while (!ended) {
        const u8* tag = vu1.dataMem + ((start + length) % kVu1DataQuadwords) * 16;
        const u32 size = 1 + gifTagDataQuadwords(tag);
        if (size > kVu1DataQuadwords - length) break;
        ended = hostLoad<u32>(tag) & kGifTagEop;
        length += size;
    }
    const u32 first = std::min(length, kVu1DataQuadwords - start);
    std::memcpy(kickedPacket, vu1.dataMem + start * 16, first * 16);
    std::memcpy(kickedPacket + first * 4, vu1.dataMem, (length - first) * 16);
    if (!ended) {
        u32* endTag = kickedPacket + length * 4;
        endTag[0] = kGifTagEop;
        endTag[1] = endTag[2] = endTag[3] = 0;
    }
    return kickedPacket;
}
