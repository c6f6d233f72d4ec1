#include "vu/vif1_unpack.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "memory/host_access.h"
#include "vu/vu1_micro.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kUnpackFlg = 0x8000;       // the address is relative to ITOP
constexpr u32 kUnpackUnsigned = 0x4000;  // 16- and 8-bit elements are zero-extended
constexpr u32 kQuadwordsInDataMemory = kVu1MemoryBytes / 16;

template <u32 elementBytes, bool zeroExtend>
u32 readElement(const u8* at) {
    if constexpr (elementBytes == 4) return hostLoad<u32>(at);
    else if constexpr (elementBytes == 2) {
        const u16 value = hostLoad<u16>(at);
        return zeroExtend ? value : static_cast<u32>(signExtend16(value));
    } else {
        return zeroExtend ? *at : static_cast<u32>(signExtend8(*at));
    }
}

void storeLane(u8* quadword, unsigned lane, u32 value) { hostStore<u32>(quadword + 4 * lane, value); }

// The lanes of one vector of a format fixed at compile time: S fills all
// four lanes with its element, V2, V3 and V4 write that many and leave the
// rest.
template <u32 elements, u32 elementBytes, bool zeroExtend>
void writeLanes(u8* quadword, const u8* packed) {
    if constexpr (elements == 1) {
        const u32 value = readElement<elementBytes, zeroExtend>(packed);
        for (unsigned lane = 0; lane < 4; ++lane) storeLane(quadword, lane, value);
    } else {
        for (unsigned lane = 0; lane < elements; ++lane)
            storeLane(quadword, lane, readElement<elementBytes, zeroExtend>(packed + lane * elementBytes));
    }
}

void writeFiveBitColour(u8* quadword, const u8* packed) {
    const u32 colour = hostLoad<u16>(packed);
    storeLane(quadword, 0, (colour & 0x1F) << 3);
    storeLane(quadword, 1, ((colour >> 5) & 0x1F) << 3);
    storeLane(quadword, 2, ((colour >> 10) & 0x1F) << 3);
    storeLane(quadword, 3, (colour >> 8) & 0x80);
}

using LaneWriter = void (*)(u8* quadword, const u8* packed);

// One writer per format, so that each vector takes one indirect call to
// straight-line code instead of a loop that asks the element size and the
// extension at every lane. Rows by element count, columns by element size
// (1, 2, 4 bytes) and extension (sign, zero); 32-bit elements take none.
template <u32 elements>
constexpr std::array<LaneWriter, 6> writersWith() {
    return {writeLanes<elements, 1, false>, writeLanes<elements, 1, true>, writeLanes<elements, 2, false>,
            writeLanes<elements, 2, true>,  writeLanes<elements, 4, false>, writeLanes<elements, 4, false>};
}
constexpr std::array<std::array<LaneWriter, 6>, 4> kLaneWriters = {writersWith<1>(), writersWith<2>(), writersWith<3>(),
                                                                   writersWith<4>()};

// Chosen once per piece of payload. unpackStart and a restored state only
// ever hold 1..4 elements of 1, 2 or 4 bytes; the row is bounded all the
// same.
LaneWriter laneWriterFor(const UnpackTransfer& unpack) {
    if (unpack.fiveBitColour) return writeFiveBitColour;
    const unsigned size = unpack.elementBytes == 4 ? 2 : unpack.elementBytes == 2 ? 1 : 0;
    return kLaneWriters[(unpack.elements - 1) & 3][size * 2 + (unpack.zeroExtend ? 1 : 0)];
}

// The quadword of VU1 data memory that a write position names; the position
// wraps around data memory.
u8* dataQuadword(u32 quadword) { return vu1.dataMem + (quadword % kQuadwordsInDataMemory) * 16; }

void writeVector(UnpackTransfer& unpack, LaneWriter writer, const u8* packed) {
    u8* quadword = dataQuadword(unpack.quadword);
    ++unpack.quadword;
    --unpack.vectorsLeft;
    writer(quadword, packed);
}

}  // namespace

u32 unpackStart(UnpackTransfer& unpack, u32 commandWord, u32 itop) {
    const u32 command = (commandWord >> 24) & 0x7F;
    const u32 vn = (command >> 2) & 3;
    const u32 vl = command & 3;
    const u32 num = (commandWord >> 16) & 0xFF;
    const u32 bitsPerVector = (vn + 1) * (32 >> vl);

    unpack = UnpackTransfer{};
    unpack.quadword = commandWord & 0x1FF;
    if (commandWord & kUnpackFlg) unpack.quadword += itop;
    unpack.zeroExtend = (commandWord & kUnpackUnsigned) != 0;
    if (vl == 3) {
        // Only V4-5 exists among the 4-bit formats; the others write nothing.
        unpack.fiveBitColour = vn == 3;
        unpack.elements = 1;
        unpack.elementBytes = 2;
        unpack.vectorsLeft = unpack.fiveBitColour ? num : 0;
    } else {
        unpack.elements = vn + 1;
        unpack.elementBytes = 4 >> vl;
        unpack.vectorsLeft = num;
    }
    return (num * bitsPerVector + 31) / 32;
}

void unpackBytes(UnpackTransfer& unpack, const u8* bytes, u32 count) {
    const u32 vectorBytes = unpack.elements * unpack.elementBytes;
    const LaneWriter writer = laneWriterFor(unpack);
    // unpackStart and a checked restored state give every format at least
    // one byte per vector; the division below relies on it.
    if (vectorBytes == 0) return;
    while (count > 0 && unpack.vectorsLeft > 0) {
        if (unpack.partialBytes == 0 && count >= vectorBytes) {
            // The whole vectors in this piece, with the position in locals.
            const u32 whole = std::min(count / vectorBytes, unpack.vectorsLeft);
            u32 quadword = unpack.quadword;
            for (u32 n = 0; n < whole; ++n, ++quadword, bytes += vectorBytes)
                writer(dataQuadword(quadword), bytes);
            unpack.quadword = quadword;
            unpack.vectorsLeft -= whole;
            count -= whole * vectorBytes;
            continue;
        }
        const u32 taken = std::min(vectorBytes - unpack.partialBytes, count);
        std::memcpy(unpack.partial + unpack.partialBytes, bytes, taken);
        unpack.partialBytes += taken;
        bytes += taken;
        count -= taken;
        if (unpack.partialBytes == vectorBytes) {
            unpack.partialBytes = 0;
            writeVector(unpack, writer, unpack.partial);
        }
    }
}
