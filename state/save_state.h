// Saved machine states: the whole machine and the plugins' own states in
// one file.
//
//   "CORVSTAT"      8 bytes
//   format          u32, kSaveStateFormat
//   program         u64, the hash of the executable the state belongs to
//   section count   u32
//   per section     u32 tag (four characters), u32 size, u32 CRC-32 of the
//                   data, the data
//   file checksum   u32, CRC-32 of everything before it
//
// All values little-endian. The machine's sections come first, then one
// per plugin slot whose library saves a state ("GS  ", "PAD1", "PAD2",
// "SPU2", "CDVD"). A state is loaded whole or not at all: the file is read,
// checked and parsed off the machine first, and any fault leaves the
// machine as it was.
#pragma once

#include <string>
#include <vector>

#include "core/types.h"

inline constexpr u32 kSaveStateFormat = 2;

// The machine's state as the bytes of a state file.
std::vector<u8> saveStateBytes();

// Puts the state in `bytes` into the machine. Answers an empty string, or
// (with the machine untouched) why the state cannot be loaded.
std::string loadStateBytes(const std::vector<u8>& bytes);

// The same through a file; an empty string, or why it failed.
std::string saveStateFile(const std::string& path);
std::string loadStateFile(const std::string& path);
