#include "core/loadstore.h"

#include "cop/fpu.h"
#include "core/ee_state.h"
#include "memory/bus.h"
#include "vu/vu_state.h"

namespace {

u32 effectiveAddress() { return rsReg().w[0] + static_cast<u32>(fieldSimm()); }

}  // namespace

void opLb() { rtReg().d[0] = signExtend8(memRead8(effectiveAddress())); }
void opLh() { rtReg().d[0] = signExtend16(memRead16(effectiveAddress())); }
void opLw() { rtReg().d[0] = signExtend32(memRead32(effectiveAddress())); }
void opLbu() { rtReg().d[0] = memRead8(effectiveAddress()); }
void opLhu() { rtReg().d[0] = memRead16(effectiveAddress()); }
void opLwu() { rtReg().d[0] = memRead32(effectiveAddress()); }
void opLd() { rtReg().d[0] = memRead64(effectiveAddress()); }

// The quadword forms pass EA as it is: the low four bits are not cleared.
void opLq() {
    memRead128(rtReg().w, effectiveAddress());
    putBackGprZeroUpperHalf();
}

void opSb() { memWrite8(static_cast<u8>(rtReg().w[0]), effectiveAddress()); }
void opSh() { memWrite16(static_cast<u16>(rtReg().w[0]), effectiveAddress()); }
void opSw() { memWrite32(rtReg().w[0], effectiveAddress()); }
void opSd() { memWrite64(rtReg().w[0], rtReg().w[1], effectiveAddress()); }
void opSq() { memWrite128(rtReg().w, effectiveAddress()); }

// The unaligned word pairs merge into rt.w0 and clear rt.w1.
void opLwl() {
    const u32 address = effectiveAddress();
    const unsigned shift = 8 * (address & 3);
    const u32 word = memRead32(address & ~3u);
    const u32 kept = rtReg().w[0] & (0x00FFFFFFu >> shift);
    rtReg().d[0] = static_cast<u32>((word << (24 - shift)) | kept);
}

void opLwr() {
    const u32 address = effectiveAddress();
    const unsigned shift = 8 * (address & 3);
    const u32 word = memRead32(address & ~3u);
    const u32 kept = rtReg().w[0] & ~(0xFFFFFFFFu >> shift);
    rtReg().d[0] = static_cast<u32>((word >> shift) | kept);
}

void opSwl() {
    const u32 address = effectiveAddress();
    const u32 aligned = address & ~3u;
    const unsigned k = address & 3;
    const u32 value = rtReg().w[0];
    if (k == 3) return memWrite32(value, aligned);
    const unsigned shift = 8 * k;
    const u32 word = memRead32(aligned);
    memWrite32((word & (0xFFFFFF00u << shift)) | (value >> (24 - shift)), aligned);
}

void opSwr() {
    const u32 address = effectiveAddress();
    const u32 aligned = address & ~3u;
    const unsigned k = address & 3;
    const u32 value = rtReg().w[0];
    if (k == 0) return memWrite32(value, aligned);
    const unsigned shift = 8 * k;
    const u32 word = memRead32(aligned);
    memWrite32((word & (0xFFFFFFFFu >> (32 - shift))) | (value << shift), aligned);
}

void opLdl() {
    const u32 address = effectiveAddress();
    const unsigned n = 8 * (address & 7);
    const u64 doubleword = memRead64(address & ~7u);
    const u64 kept = rtReg().d[0] & ((u64{1} << (56 - n)) - 1);
    rtReg().d[0] = (doubleword << (56 - n)) | kept;
}

void opLdr() {
    const u32 address = effectiveAddress();
    const unsigned n = 8 * (address & 7);
    const u64 doubleword = memRead64(address & ~7u);
    if (n == 0) {
        rtReg().d[0] = doubleword;
        return;
    }
    const u64 kept = rtReg().d[0] & ~((u64{1} << (64 - n)) - 1);
    rtReg().d[0] = (doubleword >> n) | kept;
}

namespace {
void writeDouble(u64 value, u32 address) {
    memWrite64(static_cast<u32>(value), static_cast<u32>(value >> 32), address);
}
}  // namespace

void opSdl() {
    const u32 address = effectiveAddress();
    const u32 aligned = address & ~7u;
    const unsigned n = 8 * (address & 7);
    const u64 value = rtReg().d[0];
    if (n == 56) return writeDouble(value, aligned);
    const u64 doubleword = memRead64(aligned);
    writeDouble((doubleword & ~((u64{1} << (n + 8)) - 1)) | (value >> (56 - n)), aligned);
}

void opSdr() {
    const u32 address = effectiveAddress();
    const u32 aligned = address & ~7u;
    const unsigned n = 8 * (address & 7);
    const u64 value = rtReg().d[0];
    if (n == 0) return writeDouble(value, aligned);
    const u64 doubleword = memRead64(aligned);
    writeDouble((doubleword & ((u64{1} << n) - 1)) | (value << n), aligned);
}

void opLwc1() { fpu.fpr[fieldRt()].u = memRead32(effectiveAddress()); }
void opSwc1() { memWrite32(fpu.fpr[fieldRt()].u, effectiveAddress()); }
void opLqc2() { memRead128(vu0.vf[fieldRt()].u, effectiveAddress()); }
void opSqc2() { memWrite128(vu0.vf[fieldRt()].u, effectiveAddress()); }
