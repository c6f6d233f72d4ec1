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

// Where each side's fields sit in BITBLTBUF and TRXPOS: the source in the
// low word, the destination in the high word, in the same layout.
constexpr unsigned kSourceHalf = 0;
constexpr unsigned kDestinationHalf = 32;

TransferArea openArea(unsigned half) {
    const uint64_t bitbltbuf = state.reg[kRegBitbltbuf];
    const uint64_t trxpos = state.reg[kRegTrxpos];
    const uint64_t trxreg = state.reg[kRegTrxreg];
    TransferArea area;
    area.psm = field(bitbltbuf, half + 24, 6);
    area.bp = field(bitbltbuf, half, 14);
    area.bw = field(bitbltbuf, half + 16, 6);
    area.left = field(trxpos, half, 11);
    area.y = field(trxpos, half + 16, 11);
    area.width = field(trxreg, 0, 12);
    area.bottom = area.y + field(trxreg, 32, 12);
    area.active = area.width != 0 && area.bottom != area.y;
    return area;
}

// Copies the TRXREG rectangle from the source buffer to the destination,
// in the order TRXPOS DIR gives, so that an overlapping copy moves each
// pixel before it is overwritten when the guest chose the order for it.
void copyLocalToLocal() {
    const TransferArea source = openArea(kSourceHalf);
    const TransferArea dest = openArea(kDestinationHalf);
    const uint32_t direction = field(state.reg[kRegTrxpos], 59, 2);
    const uint32_t width = source.width;
    const uint32_t height = source.bottom - source.y;
    const bool rightToLeft = direction & 2;
    const bool bottomToTop = direction & 1;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = bottomToTop ? height - 1 - row : row;
        for (uint32_t column = 0; column < width; ++column) {
            const uint32_t x = rightToLeft ? width - 1 - column : column;
            const uint32_t pixel = state.memory.readPixel(source.psm, source.bp, source.bw,
                                                          (source.left + x) & kCoordinateMask,
                                                          (source.y + y) & kCoordinateMask);
            state.memory.writePixel(dest.psm, dest.bp, dest.bw, (dest.left + x) & kCoordinateMask,
                                    (dest.y + y) & kCoordinateMask, pixel);
        }
    }
    ++state.generation;
}

void storePixel(HostTransfer& transfer, uint32_t value) {
    state.memory.writePixel(transfer.psm, transfer.bp, transfer.bw, (transfer.left + transfer.x) & kCoordinateMask,
                            transfer.y & kCoordinateMask, value);
    transfer.advance();
}

}  // namespace

void startTransfer() {
    state.transfer.active = false;
    state.readback.active = false;
    switch (field(state.reg[kRegTrxdir], 0, 2)) {
    case kHostToLocal:
        state.transfer = HostTransfer{openArea(kDestinationHalf)};
        break;
    case kLocalToHost:
        state.readback = LocalTransfer{openArea(kSourceHalf)};
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
            readback.advance();
        }
        bytes[i] = static_cast<uint8_t>(readback.pendingBits);
        readback.pendingBits >>= 8;
        readback.pendingCount = readback.pendingCount > 8 ? readback.pendingCount - 8 : 0;
    }
}

}  // namespace gs
