#include "ps2e/gs-soft/transfer.h"

#include "ps2e/gs-soft/gs_state.h"

namespace gs {
namespace {

// TRXDIR values.
constexpr uint32_t kHostToLocal = 0;
constexpr uint32_t kLocalToHost = 1;
constexpr uint32_t kLocalToLocal = 2;

// Coordinates wrap at the 2048-pixel edge of the GS's address space.
constexpr uint32_t kCoordinateMask = 2047;

void openHostToLocal() {
    const uint64_t bitbltbuf = state.reg[kRegBitbltbuf];
    const uint64_t trxpos = state.reg[kRegTrxpos];
    const uint64_t trxreg = state.reg[kRegTrxreg];
    HostTransfer& transfer = state.transfer;
    transfer.psm = field(bitbltbuf, 56, 6);
    transfer.bp = field(bitbltbuf, 32, 14);
    transfer.bw = field(bitbltbuf, 48, 6);
    transfer.left = field(trxpos, 32, 11);
    const uint32_t top = field(trxpos, 48, 11);
    transfer.width = field(trxreg, 0, 12);
    transfer.height = field(trxreg, 32, 12);
    transfer.x = 0;
    transfer.y = top;
    transfer.height += top;
    transfer.pendingBits = transfer.pendingCount = 0;
    transfer.active = transfer.width != 0 && transfer.height != top;
}

void openLocalToHost() {
    const uint64_t bitbltbuf = state.reg[kRegBitbltbuf];
    const uint64_t trxpos = state.reg[kRegTrxpos];
    const uint64_t trxreg = state.reg[kRegTrxreg];
    LocalTransfer& readback = state.readback;
    readback.psm = field(bitbltbuf, 24, 6);
    readback.bp = field(bitbltbuf, 0, 14);
    readback.bw = field(bitbltbuf, 16, 6);
    readback.left = field(trxpos, 0, 11);
    readback.y = field(trxpos, 16, 11);
    readback.width = field(trxreg, 0, 12);
    readback.bottom = readback.y + field(trxreg, 32, 12);
    readback.x = 0;
    readback.pendingBits = readback.pendingCount = 0;
    readback.active = readback.width != 0 && readback.bottom != readback.y;
}

// Copies the TRXREG rectangle from the source buffer to the destination,
// in the order TRXPOS DIR gives, so that an overlapping copy moves each
// pixel before it is overwritten when the guest chose the order for it.
void copyLocalToLocal() {
    const uint64_t bitbltbuf = state.reg[kRegBitbltbuf];
    const uint64_t trxpos = state.reg[kRegTrxpos];
    const uint64_t trxreg = state.reg[kRegTrxreg];
    const uint32_t sourcePsm = field(bitbltbuf, 24, 6);
    const uint32_t sourceBp = field(bitbltbuf, 0, 14);
    const uint32_t sourceBw = field(bitbltbuf, 16, 6);
    const uint32_t destPsm = field(bitbltbuf, 56, 6);
    const uint32_t destBp = field(bitbltbuf, 32, 14);
    const uint32_t destBw = field(bitbltbuf, 48, 6);
    const uint32_t sourceX = field(trxpos, 0, 11);
    const uint32_t sourceY = field(trxpos, 16, 11);
    const uint32_t destX = field(trxpos, 32, 11);
    const uint32_t destY = field(trxpos, 48, 11);
    const uint32_t direction = field(trxpos, 59, 2);
    const uint32_t width = field(trxreg, 0, 12);
    const uint32_t height = field(trxreg, 32, 12);
    const bool rightToLeft = direction & 2;
    const bool bottomToTop = direction & 1;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = bottomToTop ? height - 1 - row : row;
        for (uint32_t column = 0; column < width; ++column) {
            const uint32_t x = rightToLeft ? width - 1 - column : column;
            const uint32_t pixel = state.memory.readPixel(sourcePsm, sourceBp, sourceBw, (sourceX + x) & kCoordinateMask,
                                                          (sourceY + y) & kCoordinateMask);
            state.memory.writePixel(destPsm, destBp, destBw, (destX + x) & kCoordinateMask, (destY + y) & kCoordinateMask,
                                    pixel);
        }
    }
    ++state.generation;
}

void storePixel(HostTransfer& transfer, uint32_t value) {
    state.memory.writePixel(transfer.psm, transfer.bp, transfer.bw, (transfer.left + transfer.x) & kCoordinateMask,
                            transfer.y & kCoordinateMask, value);
    if (++transfer.x == transfer.width) {
        transfer.x = 0;
        if (++transfer.y == transfer.height) transfer.active = false;
    }
}

}  // namespace

void startTransfer() {
    state.transfer.active = false;
    state.readback.active = false;
    switch (field(state.reg[kRegTrxdir], 0, 2)) {
    case kHostToLocal:
        openHostToLocal();
        break;
    case kLocalToHost:
        openLocalToHost();
        break;
    case kLocalToLocal:
        copyLocalToLocal();
        break;
    default:
        break;
    }
}

void transferHostData(const uint8_t* bytes, size_t count) {
    HostTransfer& transfer = state.transfer;
    if (!transfer.active) return;
    const uint32_t bits = bitsPerPixel(transfer.psm);
    if (bits == 4) {
        for (size_t i = 0; i < count && transfer.active; ++i) {
            storePixel(transfer, bytes[i] & 0xF);
            if (transfer.active) storePixel(transfer, bytes[i] >> 4);
        }
    } else {
        const uint32_t bytesPerPixel = bits / 8;
        for (size_t i = 0; i < count && transfer.active; ++i) {
            transfer.pendingBits |= uint32_t{bytes[i]} << (8 * transfer.pendingCount);
            if (++transfer.pendingCount == bytesPerPixel) {
                storePixel(transfer, transfer.pendingBits);
                transfer.pendingBits = transfer.pendingCount = 0;
            }
        }
    }
    ++state.generation;
}

void readLocalToHost(uint8_t* bytes, size_t count) {
    LocalTransfer& readback = state.readback;
    const uint32_t bits = bitsPerPixel(readback.psm);
    for (size_t i = 0; i < count; ++i) {
        while (readback.pendingCount < 8 && readback.active) {
            const uint32_t pixel = state.memory.readPixel(readback.psm, readback.bp, readback.bw,
                                                          (readback.left + readback.x) & kCoordinateMask,
                                                          readback.y & kCoordinateMask);
            readback.pendingBits |= uint64_t{pixel} << readback.pendingCount;
            readback.pendingCount += bits;
            if (++readback.x == readback.width) {
                readback.x = 0;
                if (++readback.y == readback.bottom) readback.active = false;
            }
        }
        bytes[i] = static_cast<uint8_t>(readback.pendingBits);
        readback.pendingBits >>= 8;
        readback.pendingCount = readback.pendingCount > 8 ? readback.pendingCount - 8 : 0;
    }
}

}  // namespace gs
