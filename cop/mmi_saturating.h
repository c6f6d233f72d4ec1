// The saturating add and subtract of the multimedia instructions (PADDS*,
// PSUBS*, PADDU*, PSUBU*). lanewiseSaturated is the definition: each lane
// widened, added or subtracted, and clamped to the lane's range.
// vectorSaturated is what the handlers run: the byte and halfword forms are
// one SSE2 instruction each (PADDSB/W, PSUBSB/W, PADDUSB/W, PSUBUSB/W do
// exactly this clamping), which g++ does not find in the widened loop; the
// word forms have no SSE2 counterpart and run lane by lane. A differential
// test holds the two to each other.
#pragma once

#include <limits>
#include <type_traits>

#include "cop/mmi_lanes.h"
#include "core/ee_state.h"
#include "core/types.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

enum class SaturatingOp { add, subtract };

template <typename Lane, SaturatingOp op>
Lane saturatedLane(Lane a, Lane b) {
    if constexpr (std::is_signed_v<Lane>) {
        return saturate<Lane>(op == SaturatingOp::add ? static_cast<s64>(a) + b : static_cast<s64>(a) - b);
    } else if constexpr (op == SaturatingOp::add) {
        const u64 sum = static_cast<u64>(a) + b;
        return sum > std::numeric_limits<Lane>::max() ? std::numeric_limits<Lane>::max() : static_cast<Lane>(sum);
    } else {
        return a > b ? static_cast<Lane>(a - b) : Lane{0};
    }
}

template <typename Lane, SaturatingOp op>
inline void lanewiseSaturated() {
    lanewise<Lane, saturatedLane<Lane, op>>();
}

#if defined(__SSE2__)

template <typename Lane, SaturatingOp op>
inline __m128i saturatedLanes(__m128i a, __m128i b) {
    constexpr bool add = op == SaturatingOp::add;
    if constexpr (std::is_same_v<Lane, s8>) return add ? _mm_adds_epi8(a, b) : _mm_subs_epi8(a, b);
    else if constexpr (std::is_same_v<Lane, s16>) return add ? _mm_adds_epi16(a, b) : _mm_subs_epi16(a, b);
    else if constexpr (std::is_same_v<Lane, u8>) return add ? _mm_adds_epu8(a, b) : _mm_subs_epu8(a, b);
    else {
        static_assert(std::is_same_v<Lane, u16>);
        return add ? _mm_adds_epu16(a, b) : _mm_subs_epu16(a, b);
    }
}

// rd = rs op rt; both sources are loaded before rd is stored, so rd may
// name either of them.
template <typename Lane, SaturatingOp op>
inline void vectorSaturated() {
    if constexpr (sizeof(Lane) <= 2) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&rsReg()));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&rtReg()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&rdReg()), saturatedLanes<Lane, op>(a, b));
        putBackGprZeroUpperHalf();
    } else {
        lanewiseSaturated<Lane, op>();
    }
}

#else

template <typename Lane, SaturatingOp op>
inline void vectorSaturated() {
    lanewiseSaturated<Lane, op>();
}

#endif
