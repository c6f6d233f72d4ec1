// Lane helpers shared by the multimedia instruction handlers: a 128-bit
// register seen as an array of bytes, halfwords, words or doublewords, the
// lane-wise templates the regular families are built from, and the
// saturating and dividing arithmetic of one lane.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>

#include "core/ee_state.h"
#include "core/types.h"

template <typename Lane>
using Lanes = std::array<Lane, sizeof(Reg128) / sizeof(Lane)>;

template <typename Lane>
inline Lanes<Lane> lanesOf(const Reg128& value) {
    return std::bit_cast<Lanes<Lane>>(value);
}

template <typename Lane>
inline Reg128 fromLanes(const Lanes<Lane>& lanes) {
    return std::bit_cast<Reg128>(lanes);
}

// rd = operation(rs, rt) lane by lane. Both sources are read before rd is
// written, so rd may name either of them.
template <typename Lane, Lane (*operation)(Lane, Lane)>
inline void lanewise() {
    const Lanes<Lane> a = lanesOf<Lane>(rsReg());
    const Lanes<Lane> b = lanesOf<Lane>(rtReg());
    Lanes<Lane> result;
    for (std::size_t i = 0; i < result.size(); ++i) result[i] = operation(a[i], b[i]);
    writeWholeRd(fromLanes<Lane>(result));
}

// rd = operation(rt) lane by lane.
template <typename Lane, Lane (*operation)(Lane)>
inline void lanewiseOfRt() {
    const Lanes<Lane> a = lanesOf<Lane>(rtReg());
    Lanes<Lane> result;
    for (std::size_t i = 0; i < result.size(); ++i) result[i] = operation(a[i]);
    writeWholeRd(fromLanes<Lane>(result));
}

// Clamps a wide value into the range of Lane.
template <typename Lane>
constexpr Lane saturate(s64 value) {
    return static_cast<Lane>(
        std::clamp<s64>(value, std::numeric_limits<Lane>::min(), std::numeric_limits<Lane>::max()));
}

// The quotient and remainder of one lane's division, with the processor's
// answers where the host's division would fault or overflow: a zero divisor
// gives a quotient of -1 for a non-negative dividend and +1 for a negative
// one with the dividend as remainder, and the most negative dividend over -1
// gives that dividend back with a remainder of 0.
struct SignedQuotient {
    s32 quotient;
    s32 remainder;
};

constexpr SignedQuotient divideSigned(s32 dividend, s32 divisor) {
    if (divisor == 0) return {dividend < 0 ? 1 : -1, dividend};
    if (divisor == -1) return {static_cast<s32>(0u - static_cast<u32>(dividend)), 0};
    return {dividend / divisor, dividend % divisor};
}

struct UnsignedQuotient {
    u32 quotient;
    u32 remainder;
};

// An unsigned zero divisor gives a quotient of all ones and the dividend as
// remainder.
constexpr UnsignedQuotient divideUnsigned(u32 dividend, u32 divisor) {
    if (divisor == 0) return {0xFFFFFFFFu, dividend};
    return {dividend / divisor, dividend % divisor};
}
