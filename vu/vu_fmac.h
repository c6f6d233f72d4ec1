// The flag-setting FMAC operations (ADD, SUB, MUL, MADD, MSUB) and MAX and
// MINI, lane by lane: the definition of the family's arithmetic and of its
// MAC and status flags. vu_fmac_vector.h computes the same on four lanes at
// once.
#pragma once

#include <bit>

#include "vu/vu_state.h"

enum class VuOp { add, sub, mul, madd, msub, max, mini };

// Where the second operand of each lane comes from.
enum class VuOperand { vector, broadcastX, broadcastY, broadcastZ, broadcastW, i, q };

// Instruction fields of a VU word.
inline unsigned vuFieldFt(u32 word) { return (word >> 16) & 31; }
inline unsigned vuFieldFs(u32 word) { return (word >> 11) & 31; }
inline unsigned vuFieldFd(u32 word) { return (word >> 6) & 31; }
// The VF register that the field at fieldShift (16 ft, 11 fs, 6 fd) names,
// addressed by the field shifted straight to the register's byte offset:
// registers are 16 bytes, which no x86 address scales by, so indexing by
// the register number costs a further shift per register named.
inline VuVector& vuVfNamedBy(VuState& unit, u32 word, unsigned fieldShift) {
    const u32 offset = (word >> (fieldShift - 4)) & (31u << 4);
    return *reinterpret_cast<VuVector*>(reinterpret_cast<unsigned char*>(unit.vf) + offset);
}

// Dest mask bit 24 enables x, 23 y, 22 z, 21 w.
inline bool vuLaneEnabled(u32 word, unsigned lane) { return (word >> (24 - lane)) & 1; }

// The MAC flag bits of one lane for a result judged before rounding. The
// underflow and overflow thresholds are +-2^31; a NaN sets nothing.
inline u32 vuLaneFlags(double result, unsigned lane) {
    constexpr double kLimit = 2147483648.0;
    const unsigned shift = 3 - lane;  // x is the highest bit of each group
    u32 flags = 0;
    if (result == 0.0) flags |= 0x0001u << shift;
    if (result < 0.0) flags |= 0x0010u << shift;
    if (result < -kLimit) flags |= 0x0100u << shift;
    if (result > kLimit) flags |= 0x1000u << shift;
    return flags;
}

// Replaces the low 16 bits of the MAC flag and rewrites status bits 0..3
// (Z, S, U, O) from its groups; the sticky bits above stay.
inline void vuStoreFlags(VuState& unit, u32 mac) {
    unit.vi[kViMac] = (unit.vi[kViMac] & ~0xFFFFu) | mac;
    // Bit 0 of each group becomes "any lane set"; the multiply then gathers
    // bits 0, 4, 8 and 12 into bits 12..15 without carries between them.
    u32 anyLane = mac | mac >> 1;
    anyLane = (anyLane | anyLane >> 2) & 0x1111u;
    const u32 summary = (anyLane * 0x1248u >> 12) & 0xFu;
    unit.vi[kViStatus] = (unit.vi[kViStatus] & ~0xFu) | summary;
}

template <VuOperand operand>
float vuSecondOperand(const VuState& unit, const VuVector& t, unsigned lane) {
    if constexpr (operand == VuOperand::vector) return t.f[lane];
    else if constexpr (operand == VuOperand::i) return std::bit_cast<float>(unit.vi[kViI]);
    else if constexpr (operand == VuOperand::q) return std::bit_cast<float>(unit.vi[kViQ]);
    else return t.f[static_cast<unsigned>(operand) - static_cast<unsigned>(VuOperand::broadcastX)];
}

// ADD, SUB, MUL, MADD, MSUB, MAX and MINI in one form, to VF[fd] or to ACC.
// Operands are read before any lane is written, so fd may equal fs or ft.
template <VuState& unit, VuOp op, VuOperand operand, bool toAcc>
void vuFmac() {
    const u32 word = unit.code;
    const VuVector s = unit.vf[vuFieldFs(word)];
    const VuVector t = unit.vf[vuFieldFt(word)];
    const VuVector acc = unit.vuAcc;
    VuVector& dest = toAcc ? unit.vuAcc : unit.vf[vuFieldFd(word)];
    constexpr bool setsFlags = op != VuOp::max && op != VuOp::mini;
    u32 mac = 0;
    for (unsigned lane = 0; lane < 4; ++lane) {
        if (!vuLaneEnabled(word, lane)) continue;
        const float second = vuSecondOperand<operand>(unit, t, lane);
        if constexpr (op == VuOp::max) {
            dest.f[lane] = s.f[lane] > second ? s.f[lane] : second;
        } else if constexpr (op == VuOp::mini) {
            dest.f[lane] = s.f[lane] < second ? s.f[lane] : second;
        } else {
            // A double holds the single-precision product exactly, so MADD
            // and MSUB round only once, after the accumulation.
            const double a = s.f[lane];
            const double b = second;
            double result;
            if constexpr (op == VuOp::add) result = a + b;
            else if constexpr (op == VuOp::sub) result = a - b;
            else if constexpr (op == VuOp::mul) result = a * b;
            else if constexpr (op == VuOp::madd) result = static_cast<double>(acc.f[lane]) + a * b;
            else result = static_cast<double>(acc.f[lane]) - a * b;
            mac |= vuLaneFlags(result, lane);
            dest.f[lane] = static_cast<float>(result);
        }
    }
    if constexpr (setsFlags) {
        // These flags replace any that still wait for their judgement.
        unit.pendingFlags.judge = nullptr;
        vuStoreFlags(unit, mac);
    }
}
