// The multimedia instructions' slots: the MMI table by function, and the
// MMI0..MMI3 tables by bits 10..6.
#pragma once

#include <array>

#include "core/tables.h"

inline constexpr std::array<OpcodeEntry, 0> kMmiEntries{};
inline constexpr std::array<OpcodeEntry, 0> kMmi0Entries{};
inline constexpr std::array<OpcodeEntry, 0> kMmi1Entries{};
inline constexpr std::array<OpcodeEntry, 0> kMmi2Entries{};
inline constexpr std::array<OpcodeEntry, 0> kMmi3Entries{};
