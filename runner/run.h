// The headless run: load a host ELF as the Open ELF command does (without
// the dialog) or boot a disc image as the Open ISO command does, run it
// with the limits of the command line, print the summary and write the
// requested state and memory files.
#pragma once

#include <string>
#include <vector>

#include "core/types.h"
#include "machine/emulation.h"
#include "plugins/plugin_host.h"
#include "runner/options.h"

// Exit codes of corvane-run.
inline constexpr int kExitRan = 0;
inline constexpr int kExitLoadFailed = 1;  // also: the run happened but an output file could not be written
inline constexpr int kExitUsage = 2;

// Vertical blanks seen by the run: the one place the runner takes that
// count from (the timers' count since the machine was initialised; the
// runner initialises once per run).
u32 vblanksSoFar();

// What to print for slots that did not load, one line each ("corvane-run:
// plugin slot GS: file not found: '/x/gs.so' (no such file)"), then a hint.
std::string pluginFailureReport(const std::vector<PluginSlotStatus>& failedSlots);

// "stopped: idle-loop at 0x00100090 after 1234 cycles, 0 vblanks"; a run
// that the program ended with Exit adds ", exit code 3".
std::string summaryLine(StopReason reason, u32 pc, u32 cycles, u32 vblanks, s32 exitCode = 0);

// LENGTH bytes of guest RAM from ADDR masked as the bus masks RAM; the copy
// wraps from the end of RAM to its start, as consecutive guest addresses
// do, so it never reads outside the RAM block. The length is capped at the
// RAM size.
std::vector<u8> guestRamBytes(u32 address, u32 length);

// Runs the program of `options`; prints the summary on stdout and any
// failure on stderr; returns the exit code.
int runProgram(const RunnerOptions& options);
