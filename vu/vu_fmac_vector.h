// The FMAC family (ADD, SUB, MUL, MADD, MSUB, MAX, MINI in every operand
// form) computed on the four lanes at once with SSE2: the same double-
// precision arithmetic, the same judgement of each result before rounding
// and the same single rounding as vuFmac in vu_upper.h, which remains the
// definition. The vector-unit tables run these handlers; a differential test
// holds them to vuFmac on random and special values.
#pragma once

#include <bit>

#include "vu/vu_fmac.h"

#if defined(__SSE2__)
#include <emmintrin.h>

// The lanes whose dest bit is set, as all-ones 32-bit elements (x first).
inline __m128 vuDestLanes(u32 word) {
    const __m128i laneBits = _mm_set_epi32(1, 2, 4, 8);  // w, z, y, x
    const __m128i dest = _mm_set1_epi32(static_cast<int>((word >> 21) & 0xF));
    return _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(dest, laneBits), laneBits));
}

// The four lanes of one compare of the double results, in the order w, z,
// y, x: the shuffle keeps one 32-bit half of each lane's all-ones or
// all-zeros mask, so that x comes out highest, as the MAC flag keeps it.
inline __m128i vuLaneMasks(__m128d xy, __m128d zw) {
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(zw), _mm_castpd_ps(xy), _MM_SHUFFLE(1, 3, 1, 3)));
}

// The Z, S, U and O groups of the MAC flag for the four double results, as
// vuLaneFlags judges one: a NaN compares false everywhere and sets nothing.
// The judgement stays on the double results: it is made before rounding,
// and a result just above 2^31 or just above zero rounds to exactly the
// threshold in single precision, so the rounded bit patterns cannot tell.
// Two saturating packs narrow the four groups' masks to one byte per lane
// in MAC order (Z lowest), so one byte move-mask gathers all sixteen bits.
inline u32 vuMacFromResults(__m128d xy, __m128d zw) {
    const __m128d zero = _mm_setzero_pd();
    const __m128d limit = _mm_set1_pd(2147483648.0);
    const __m128d negativeLimit = _mm_set1_pd(-2147483648.0);
    const __m128i zeroSign = _mm_packs_epi32(vuLaneMasks(_mm_cmpeq_pd(xy, zero), _mm_cmpeq_pd(zw, zero)),
                                             vuLaneMasks(_mm_cmplt_pd(xy, zero), _mm_cmplt_pd(zw, zero)));
    const __m128i underOver =
        _mm_packs_epi32(vuLaneMasks(_mm_cmplt_pd(xy, negativeLimit), _mm_cmplt_pd(zw, negativeLimit)),
                        vuLaneMasks(_mm_cmpgt_pd(xy, limit), _mm_cmpgt_pd(zw, limit)));
    return static_cast<u32>(_mm_movemask_epi8(_mm_packs_epi16(zeroSign, underOver)));
}

template <VuOperand operand>
__m128 vuSecondOperands(const VuState& unit, __m128 t) {
    if constexpr (operand == VuOperand::vector) return t;
    else if constexpr (operand == VuOperand::i) return _mm_set1_ps(std::bit_cast<float>(unit.vi[kViI]));
    else if constexpr (operand == VuOperand::q) return _mm_set1_ps(std::bit_cast<float>(unit.vi[kViQ]));
    else {
        constexpr int lane = static_cast<int>(operand) - static_cast<int>(VuOperand::broadcastX);
        return _mm_shuffle_ps(t, t, lane * 0x55);
    }
}

// The low (x, y) and high (z, w) lanes of a vector widened to double.
struct VuDoubleLanes {
    __m128d xy;
    __m128d zw;
};

inline VuDoubleLanes vuWiden(__m128 v) { return {_mm_cvtps_pd(v), _mm_cvtps_pd(_mm_movehl_ps(v, v))}; }

template <VuOp op>
VuDoubleLanes vuArithmetic(const VuDoubleLanes& s, const VuDoubleLanes& t, const VuDoubleLanes& acc) {
    if constexpr (op == VuOp::add) return {_mm_add_pd(s.xy, t.xy), _mm_add_pd(s.zw, t.zw)};
    else if constexpr (op == VuOp::sub) return {_mm_sub_pd(s.xy, t.xy), _mm_sub_pd(s.zw, t.zw)};
    else if constexpr (op == VuOp::mul) return {_mm_mul_pd(s.xy, t.xy), _mm_mul_pd(s.zw, t.zw)};
    else if constexpr (op == VuOp::madd)
        return {_mm_add_pd(acc.xy, _mm_mul_pd(s.xy, t.xy)), _mm_add_pd(acc.zw, _mm_mul_pd(s.zw, t.zw))};
    else return {_mm_sub_pd(acc.xy, _mm_mul_pd(s.xy, t.xy)), _mm_sub_pd(acc.zw, _mm_mul_pd(s.zw, t.zw))};
}

template <VuState& unit, VuOp op, VuOperand operand, bool toAcc>
void vuFmacVector() {
    const u32 word = unit.code;
    const __m128 s = _mm_loadu_ps(unit.vf[vuFieldFs(word)].f);
    const __m128 t = vuSecondOperands<operand>(unit, _mm_loadu_ps(unit.vf[vuFieldFt(word)].f));
    float* dest = toAcc ? unit.vuAcc.f : unit.vf[vuFieldFd(word)].f;
    const __m128 enabled = vuDestLanes(word);
    __m128 result;
    u32 mac = 0;
    if constexpr (op == VuOp::max) {
        const __m128 takeS = _mm_cmpgt_ps(s, t);
        result = _mm_or_ps(_mm_and_ps(takeS, s), _mm_andnot_ps(takeS, t));
    } else if constexpr (op == VuOp::mini) {
        const __m128 takeS = _mm_cmplt_ps(s, t);
        result = _mm_or_ps(_mm_and_ps(takeS, s), _mm_andnot_ps(takeS, t));
    } else {
        VuDoubleLanes acc{};
        if constexpr (op == VuOp::madd || op == VuOp::msub) acc = vuWiden(_mm_loadu_ps(unit.vuAcc.f));
        const VuDoubleLanes exact = vuArithmetic<op>(vuWiden(s), vuWiden(t), acc);
        mac = vuMacFromResults(exact.xy, exact.zw) & ((word >> 21) & 0xF) * 0x1111u;
        result = _mm_movelh_ps(_mm_cvtpd_ps(exact.xy), _mm_cvtpd_ps(exact.zw));
    }
    const __m128 kept = _mm_loadu_ps(dest);
    _mm_storeu_ps(dest, _mm_or_ps(_mm_and_ps(enabled, result), _mm_andnot_ps(enabled, kept)));
    if constexpr (op != VuOp::max && op != VuOp::mini) vuStoreFlags(unit, mac);
}

#else

// Without SSE2 the lane-by-lane definition serves.
template <VuState& unit, VuOp op, VuOperand operand, bool toAcc>
void vuFmacVector() {
    vuFmac<unit, op, operand, toAcc>();
}

#endif
