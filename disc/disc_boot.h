// The disc boot: reads SYSTEM.CNF;1 from the disc the CDVD plugin presents,
// takes the executable named on its BOOT2 line and loads it through the
// ISO 9660 reader with the ELF loader. The machine is not reset first and
// the run is not started.
#pragma once

#include <string>

#include "core/types.h"

inline constexpr u32 kSystemCnfBytes = 256;

// The first 256 bytes of SYSTEM.CNF;1, NUL-terminated after those read.
extern char systemCnfText[kSystemCnfBytes + 1];
// The BOOT2 path, such as cdrom0:\GAME_001.23;1 (at most 255 characters).
extern std::string bootPath;

// Forgets the last disc boot's SYSTEM.CNF text and boot path.
void discBootPowerOn();

enum class DiscBootResult {
    Booted,
    NoSystemCnf,      // SYSTEM.CNF;1 cannot be opened
    NoBoot2Line,      // no BOOT2 in its first 256 bytes
    NoBootPath,       // no letter follows BOOT2
    NoBootExecutable, // the BOOT2 file cannot be opened
    BootFileNotElf,   // the BOOT2 file is no ELF file with something to load
};

// "booted", "no SYSTEM.CNF;1 on the disc", ...
const char* discBootResultText(DiscBootResult result);

// Opens the CDVD plugin, prepares the disc file table and loads the boot
// executable; on success the PC is at its entry and programLoaded and
// bootedFromDisc are 1. A failure loads nothing (the console shows no
// message; the result says why for the front ends that want to).
DiscBootResult bootFromDisc();
