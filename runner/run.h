// The headless run: load a host ELF as the Open ELF command does (without
// the dialog), run it with the limits of the command line, print the
// summary and write the requested state and memory files.
#pragma once

#include <string>
#include <vector>

#include "core/emulation.h"
#include "core/types.h"
#include "runner/options.h"

// Exit codes of corvane-run.
inline constexpr int kExitRan = 0;
inline constexpr int kExitLoadFailed = 1;  // also: the run happened but an output file could not be written
inline constexpr int kExitUsage = 2;

// Vertical blanks seen by the run: the one place the runner takes that
// count from. The timers keep no running count of vertical blanks yet, so
// it is 0.
u32 vblanksSoFar();

// "stopped: idle-loop at 0x00100090 after 1234 cycles, 0 vblanks"
std::string summaryLine(StopReason reason, u32 pc, u32 cycles, u32 vblanks);

// LENGTH bytes of guest RAM from ADDR masked as the bus masks RAM; the copy
// wraps from the end of RAM to its start, as consecutive guest addresses
// do, so it never reads outside the RAM block. The length is capped at the
// RAM size.
std::vector<u8> guestRamBytes(u32 address, u32 length);

// Runs the program of `options`; prints the summary on stdout and any
// failure on stderr; returns the exit code.
int runProgram(const RunnerOptions& options);
