// Fixed-width integer names and the 128-bit register type shared by every
// subsystem of the emulated machine.
#pragma once

#include <cstdint>

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using s8 = std::int8_t;
using s16 = std::int16_t;
using s32 = std::int32_t;
using s64 = std::int64_t;

// A 128-bit EE register, held as four little-endian 32-bit words: w[0] is
// bits 0..31, w[3] bits 96..127. The same bytes are visible as two doublewords,
// eight halfwords and sixteen bytes, in the host's (little-endian) order.
union Reg128 {
    u32 w[4];
    s32 sw[4];
    u64 d[2];
    s64 sd[2];
    u16 h[8];
    s16 sh[8];
    u8 b[16];
    s8 sb[16];
};
static_assert(sizeof(Reg128) == 16);

// Sign-extends a 32-bit result to the 64 bits of a register's low doubleword.
constexpr u64 signExtend32(u32 value) { return static_cast<u64>(static_cast<s64>(static_cast<s32>(value))); }
constexpr u64 signExtend16(u16 value) { return static_cast<u64>(static_cast<s64>(static_cast<s16>(value))); }
constexpr u64 signExtend8(u8 value) { return static_cast<u64>(static_cast<s64>(static_cast<s8>(value))); }
