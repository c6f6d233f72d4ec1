// Writing SJDF data archives: a 16-byte header ("SJDF", the entry count,
// 8 unused bytes), one 64-byte entry per file (the name with
// sjdfNameOffset added to every byte up to its terminating zero, the data
// size, the data offset), then the data, delta-coded: each byte after an
// entry's first is stored XORed with the stored byte before it.
#pragma once

#include <string>
#include <vector>

struct SjdfEntry {
    std::string name;  // at most 55 characters
    std::string data;
};

// The archive's bytes; empty when a name is too long or empty.
std::string packSjdfArchive(const std::vector<SjdfEntry>& entries);
