// The FMAC family (ADD, SUB, MUL, MADD, MSUB, MAX, MINI in every operand
// form) computed on the four lanes at once with SSE2: the same results and
// the same judgement of each result before rounding as vuFmac in
// vu_fmac.h, which remains the definition. The vector-unit tables run these
// handlers; a differential test holds them to vuFmac on random and special
// values and on values at every edge of the flags' quick judgement below.
// VU1's FMACs record their operands for the flags instead of judging them
// at once (see VuPendingFlags and kVuFlagsWait).
#pragma once

#include <array>
#include <bit>

#include "vu/vu_fmac.h"

#if defined(__SSE2__)
#include <emmintrin.h>

// The dest field (bits 24..21, x highest) as lane bits, x lowest, and as
// all-ones 32-bit elements.
consteval std::array<u8, 16> vuBuildDestLaneBits() {
    std::array<u8, 16> bits{};
    for (unsigned field = 0; field < 16; ++field)
        for (unsigned lane = 0; lane < 4; ++lane)
            if (field >> (3 - lane) & 1) bits[field] |= static_cast<u8>(1u << lane);
    return bits;
}
inline constexpr std::array<u8, 16> kVuDestLaneBits = vuBuildDestLaneBits();

struct alignas(16) VuLaneMask {
    u32 lanes[4];
};

consteval std::array<VuLaneMask, 16> vuBuildDestLaneMasks() {
    std::array<VuLaneMask, 16> masks{};
    for (unsigned field = 0; field < 16; ++field)
        for (unsigned lane = 0; lane < 4; ++lane) masks[field].lanes[lane] = kVuDestLaneBits[field] >> lane & 1 ? ~0u : 0u;
    return masks;
}
inline constexpr std::array<VuLaneMask, 16> kVuDestLaneMasks = vuBuildDestLaneMasks();

// Read from the table rather than built from the field by a broadcast and a
// compare: the field shifted straight to its entry's byte offset (entries
// are 16 bytes, as in vuVfNamedBy) leaves one aligned load, which the
// blends can take as their memory operand.
// Most instructions enable all four lanes, which needs no blend with the
// lanes kept.
inline constexpr u32 kVuAllLanes = 0xFu << 21;

inline __m128 vuDestLanes(u32 word) {
    const u32 offset = (word >> 17) & (15u << 4);
    const auto* entry = reinterpret_cast<const unsigned char*>(kVuDestLaneMasks.data()) + offset;
    return _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(entry)));
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

// A broadcast second operand holds one value in all four lanes, so one
// widening serves both halves.
template <VuOperand operand>
VuDoubleLanes vuWidenSecond(__m128 t) {
    if constexpr (operand == VuOperand::vector) return vuWiden(t);
    else {
        const __m128d both = _mm_cvtps_pd(t);
        return {both, both};
    }
}

template <VuOp op>
VuDoubleLanes vuArithmetic(const VuDoubleLanes& s, const VuDoubleLanes& t, const VuDoubleLanes& acc) {
    if constexpr (op == VuOp::add) return {_mm_add_pd(s.xy, t.xy), _mm_add_pd(s.zw, t.zw)};
    else if constexpr (op == VuOp::sub) return {_mm_sub_pd(s.xy, t.xy), _mm_sub_pd(s.zw, t.zw)};
    else if constexpr (op == VuOp::mul) return {_mm_mul_pd(s.xy, t.xy), _mm_mul_pd(s.zw, t.zw)};
    else if constexpr (op == VuOp::madd)
        return {_mm_add_pd(acc.xy, _mm_mul_pd(s.xy, t.xy)), _mm_add_pd(acc.zw, _mm_mul_pd(s.zw, t.zw))};
    else return {_mm_sub_pd(acc.xy, _mm_mul_pd(s.xy, t.xy)), _mm_sub_pd(acc.zw, _mm_mul_pd(s.zw, t.zw))};
}

// ADD, SUB and MUL rounded straight to single precision give what rounding
// their double result gives: a product of two singles is exact in double,
// and a double carries more than twice a single's precision plus two bits,
// so rounding a sum or difference to double first never changes its
// rounding to single.
template <VuOp op>
__m128 vuRoundedOnce(__m128 s, __m128 t) {
    if constexpr (op == VuOp::add) return _mm_add_ps(s, t);
    else if constexpr (op == VuOp::sub) return _mm_sub_ps(s, t);
    else return _mm_mul_ps(s, t);
}

// The quick judgement of four results, one bit per lane with x lowest:
// the lanes whose flags follow from the cheap tests below, and among them
// those judged zero and those judged negative; the unsure lanes need the
// whole judgement.
struct VuQuickJudgement {
    int unsure;
    int zero;
    int negative;
};

// The lanes of a 32-bit compare as bits, x lowest.
inline int vuLaneBits(__m128i mask) { return _mm_movemask_ps(_mm_castsi128_ps(mask)); }

// From the results of ADD, SUB and MUL rounded to single precision.
// Rounding is monotonic and keeps the sign of a nonzero value, so a
// finite rounded result below 2^31 in magnitude has an unrounded one
// within +-2^31 with the same sign, nonzero if it is. A rounded zero is an
// exact one for ADD and SUB (a nonzero sum of two singles is at least the
// smallest denormal) and for a product with a zero factor; any other
// product rounded to zero underflowed, and is unsure. So are 2^31 itself,
// which a result just above it rounds to, infinities and NaNs.
template <VuOp op>
VuQuickJudgement vuJudgeRounded(__m128 s, __m128 t, __m128 rounded) {
    constexpr s32 kBelowFlagLimit = 0x4EFFFFFF;  // the largest single below 2^31
    const __m128i magnitude = _mm_and_si128(_mm_castps_si128(rounded), _mm_set1_epi32(0x7FFFFFFF));
    VuQuickJudgement judgement;
    judgement.unsure = vuLaneBits(_mm_cmpgt_epi32(magnitude, _mm_set1_epi32(kBelowFlagLimit)));
    judgement.zero = vuLaneBits(_mm_cmpeq_epi32(magnitude, _mm_setzero_si128()));
    judgement.negative = _mm_movemask_ps(rounded);
    if constexpr (op == VuOp::mul) {
        const __m128 zero = _mm_setzero_ps();
        const int zeroFactor = _mm_movemask_ps(_mm_or_ps(_mm_cmpeq_ps(s, zero), _mm_cmpeq_ps(t, zero)));
        judgement.unsure |= judgement.zero & ~zeroFactor;
    }
    return judgement;
}

// From the double results of MADD and MSUB, by their high words. A nonzero
// result from single operands is at least 2^-298 in magnitude, far above
// the doubles' denormals, so its high word is never zero; a high word
// below that of 2^31 is a magnitude below 2^31. At 2^31 itself the low
// word would decide, so those lanes, infinities and NaNs are unsure.
inline VuQuickJudgement vuJudgeExact(const VuDoubleLanes& exact) {
    constexpr s32 kBelowFlagLimitHigh = 0x41DFFFFF;  // 2^31 is 0x41E00000 00000000
    const __m128 highWords = _mm_shuffle_ps(_mm_castpd_ps(exact.xy), _mm_castpd_ps(exact.zw), _MM_SHUFFLE(3, 1, 3, 1));
    const __m128i magnitude = _mm_and_si128(_mm_castps_si128(highWords), _mm_set1_epi32(0x7FFFFFFF));
    VuQuickJudgement judgement;
    judgement.unsure = vuLaneBits(_mm_cmpgt_epi32(magnitude, _mm_set1_epi32(kBelowFlagLimitHigh)));
    judgement.zero = vuLaneBits(_mm_cmpeq_epi32(magnitude, _mm_setzero_si128()));
    judgement.negative = _mm_movemask_ps(highWords);
    return judgement;
}

// The quick judgement's flags, indexed by the lanes judged zero (bits 0..3,
// x lowest) and the lanes judged negative (bits 4..7): the MAC flag's Z and
// S groups with x highest in each, and status Z and S from bit 16.
consteval std::array<u32, 256> vuBuildZeroSignFlags() {
    std::array<u32, 256> table{};
    for (u32 index = 0; index < 256; ++index) {
        u32 flags = 0;
        for (unsigned lane = 0; lane < 4; ++lane) {
            if (index >> lane & 1) flags |= 0x01u << (3 - lane) | 0x10000u;
            if (index >> (4 + lane) & 1) flags |= 0x10u << (3 - lane) | 0x20000u;
        }
        table[index] = flags;
    }
    return table;
}
inline constexpr std::array<u32, 256> kVuZeroSignFlags = vuBuildZeroSignFlags();

// The MAC and status flags of an ADD, SUB, MUL, MADD or MSUB: from the
// quick judgement when no enabled lane is unsure (a zero is Z alone, a
// negative nonzero S alone, U and O clear), otherwise from the whole
// judgement of the double results.
template <VuState& unit, VuOp op>
[[gnu::always_inline]] inline void vuStoreFmacFlags(u32 word, const VuQuickJudgement& judgement, __m128 s, __m128 t,
                                                    const VuDoubleLanes& exact) {
    const int dest = static_cast<int>(kVuDestLaneBits[(word >> 21) & 0xF]);
    if ((judgement.unsure & dest) == 0) [[likely]] {
        const int negative = judgement.negative & ~judgement.zero;
        const u32 flags = kVuZeroSignFlags[static_cast<u32>((judgement.zero | negative << 4) & dest * 0x11)];
        unit.vi[kViMac] = (unit.vi[kViMac] & ~0xFFFFu) | (flags & 0xFFFFu);
        unit.vi[kViStatus] = (unit.vi[kViStatus] & ~0xFu) | flags >> 16;
        return;
    }
    VuDoubleLanes judged = exact;
    if constexpr (op == VuOp::add || op == VuOp::sub || op == VuOp::mul)
        judged = vuArithmetic<op>(vuWiden(s), vuWiden(t), judged);
    vuStoreFlags(unit, vuMacFromResults(judged.xy, judged.zw) & ((word >> 21) & 0xF) * 0x1111u);
}

// The flags of an ADD, SUB, MUL, MADD or MSUB with the word's dest lanes,
// from its operands: s, t after any broadcast, and for MADD and MSUB the
// accumulator it read.
template <VuState& unit, VuOp op>
[[gnu::always_inline]] inline void vuJudgeFlags(u32 word, __m128 s, __m128 t, __m128 acc) {
    if constexpr (op == VuOp::add || op == VuOp::sub || op == VuOp::mul) {
        const VuDoubleLanes notYetComputed{};
        vuStoreFmacFlags<unit, op>(word, vuJudgeRounded<op>(s, t, vuRoundedOnce<op>(s, t)), s, t, notYetComputed);
    } else {
        const VuDoubleLanes exact = vuArithmetic<op>(vuWiden(s), vuWiden(t), vuWiden(acc));
        vuStoreFmacFlags<unit, op>(word, vuJudgeExact(exact), s, t, exact);
    }
}

template <VuState& unit, VuOp op>
void vuJudgePendingFlags() {
    const VuPendingFlags& pending = unit.pendingFlags;
    vuJudgeFlags<unit, op>(pending.word, _mm_loadu_ps(pending.s.f), _mm_loadu_ps(pending.t.f),
                           _mm_loadu_ps(pending.acc.f));
}

// Whether a unit's FMACs leave their flags waiting in a VuPendingFlags
// record. VU1's do: it runs whole micro-programs, and the end of each run
// settles them. VU0 runs only in macro mode, one FMAC per EE instruction,
// and the next EE instruction may read the flags with CFC2; judging every
// result there keeps VU0's flags settled between any two EE instructions,
// so CFC2, CTC2, saved states and the debugger never meet a waiting
// record of VU0's, and macro mode is too rare to gain from waiting.
template <VuState& unit>
inline constexpr bool kVuFlagsWait = kVuUnitOf<unit> == VuUnit::vu1;

template <VuState& unit, VuOp op>
[[gnu::always_inline]] inline void vuSetFlags(u32 word, __m128 s, __m128 t, __m128 acc) {
    if constexpr (kVuFlagsWait<unit>) {
        VuPendingFlags& pending = unit.pendingFlags;
        _mm_storeu_ps(pending.s.f, s);
        _mm_storeu_ps(pending.t.f, t);
        if constexpr (op == VuOp::madd || op == VuOp::msub) _mm_storeu_ps(pending.acc.f, acc);
        pending.word = word;
        pending.judge = vuJudgePendingFlags<unit, op>;
    } else {
        vuJudgeFlags<unit, op>(word, s, t, acc);
    }
}

template <VuState& unit, VuOp op, VuOperand operand, bool toAcc>
void vuFmacVector() {
    const u32 word = unit.code;
    const __m128 s = _mm_loadu_ps(vuVfNamedBy(unit, word, 11).f);
    const __m128 t = vuSecondOperands<operand>(unit, _mm_loadu_ps(vuVfNamedBy(unit, word, 16).f));
    float* dest = toAcc ? unit.vuAcc.f : vuVfNamedBy(unit, word, 6).f;
    __m128 result;
    if constexpr (op == VuOp::max) {
        const __m128 takeS = _mm_cmpgt_ps(s, t);
        result = _mm_or_ps(_mm_and_ps(takeS, s), _mm_andnot_ps(takeS, t));
    } else if constexpr (op == VuOp::mini) {
        const __m128 takeS = _mm_cmplt_ps(s, t);
        result = _mm_or_ps(_mm_and_ps(takeS, s), _mm_andnot_ps(takeS, t));
    } else if constexpr (op == VuOp::add || op == VuOp::sub || op == VuOp::mul) {
        result = vuRoundedOnce<op>(s, t);
        vuSetFlags<unit, op>(word, s, t, _mm_setzero_ps());
    } else {
        const __m128 acc = _mm_loadu_ps(unit.vuAcc.f);
        const VuDoubleLanes exact = vuArithmetic<op>(vuWiden(s), vuWidenSecond<operand>(t), vuWiden(acc));
        result = _mm_movelh_ps(_mm_cvtpd_ps(exact.xy), _mm_cvtpd_ps(exact.zw));
        vuSetFlags<unit, op>(word, s, t, acc);
    }
    if ((word & kVuAllLanes) == kVuAllLanes) {
        _mm_storeu_ps(dest, result);
        return;
    }
    const __m128 enabled = vuDestLanes(word);
    const __m128 kept = _mm_loadu_ps(dest);
    _mm_storeu_ps(dest, _mm_or_ps(_mm_and_ps(enabled, result), _mm_andnot_ps(enabled, kept)));
}

#else

// Without SSE2 the lane-by-lane definition serves.
template <VuState& unit, VuOp op, VuOperand operand, bool toAcc>
void vuFmacVector() {
    vuFmac<unit, op, operand, toAcc>();
}

#endif
