#include "vu/vif1_unpack.h"

#include <algorithm>
#include <cstring>

#include "memory/host_access.h"
#include "vu/vu1_micro.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kUnpackFlg = 0x8000;       // the address is relative to ITOP
constexpr u32 kUnpackUnsigned = 0x4000;  // 16- and 8-bit elements are zero-extended
constexpr u32 kQuadwordsInDataMemory = kVu1MemoryBytes / 16;

u32 readElement(const UnpackTransfer& unpack, const u8* at) {
    switch (unpack.elementBytes) {
    case 4:
        return hostLoad<u32>(at);
    case 2: {
        const u16 value = hostLoad<u16>(at);
        return unpack.zeroExtend ? value : static_cast<u32>(signExtend16(value));
    }
    default:
        return unpack.zeroExtend ? *at : static_cast<u32>(signExtend8(*at));
    }
}

void storeLane(u8* quadword, unsigned lane, u32 value) { hostStore<u32>(quadword + 4 * lane, value); }

void writeVector(UnpackTransfer& unpack, const u8* packed) {
    u8* quadword = vu1.dataMem + (unpack.quadword % kQuadwordsInDataMemory) * 16;
    ++unpack.quadword;
    --unpack.vectorsLeft;
    if (unpack.fiveBitColour) {
        const u32 colour = hostLoad<u16>(packed);
        storeLane(quadword, 0, (colour & 0x1F) << 3);
        storeLane(quadword, 1, ((colour >> 5) & 0x1F) << 3);
        storeLane(quadword, 2, ((colour >> 10) & 0x1F) << 3);
        storeLane(quadword, 3, (colour >> 8) & 0x80);
        return;
    }
    if (unpack.elements == 1) {
        const u32 value = readElement(unpack, packed);
        for (unsigned lane = 0; lane < 4; ++lane) storeLane(quadword, lane, value);
        return;
    }
    for (unsigned lane = 0; lane < unpack.elements; ++lane) {
        storeLane(quadword, lane, readElement(unpack, packed + lane * unpack.elementBytes));
    }
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
    while (count > 0 && unpack.vectorsLeft > 0) {
        if (unpack.partialBytes == 0 && count >= vectorBytes) {
            writeVector(unpack, bytes);
            bytes += vectorBytes;
            count -= vectorBytes;
            continue;
        }
        const u32 taken = std::min(vectorBytes - unpack.partialBytes, count);
        std::memcpy(unpack.partial + unpack.partialBytes, bytes, taken);
        unpack.partialBytes += taken;
        bytes += taken;
        count -= taken;
        if (unpack.partialBytes == vectorBytes) {
            unpack.partialBytes = 0;
            writeVector(unpack, unpack.partial);
        }
    }
}
