// SJDF data archives: a 16-byte header ("SJDF", the entry count,
// 8 unused bytes), one 64-byte entry per file (the name with
// sjdfNameOffset added to every byte up to its terminating zero, the data
// size, the data offset), then the data, delta-coded: each byte after an
// entry's first is stored XORed with the stored byte before it.
#pragma once

#include <string>
#include <vector>

#include "core/types.h"

// Every entry name in an SJDF archive is stored with this value added to
// each byte (modulo 256).
inline constexpr u8 sjdfNameOffset = 0x37;
inline constexpr u32 kSjdfHeaderBytes = 16;
inline constexpr u32 kSjdfEntryBytes = 64;
inline constexpr u32 kSjdfNameBytes = 56;

struct SjdfEntry {
    std::string name;  // at most 55 characters
    std::string data;
};

// The archive's bytes; empty when a name is too long or empty.
std::string packSjdfArchive(const std::vector<SjdfEntry>& entries);
