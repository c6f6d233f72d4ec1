// The FPU's slots in the COP1 opcode tables: the moves and the W format by
// rs, the BC1 branches by bits 17..16, the S format by function.
#pragma once

#include <array>

#include "core/tables.h"

inline constexpr std::array<OpcodeEntry, 0> kCop1Entries{};
inline constexpr std::array<OpcodeEntry, 0> kBc1Entries{};
inline constexpr std::array<OpcodeEntry, 0> kCop1SEntries{};
