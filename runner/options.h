// The command line of corvane-run. Parsing is kept apart from the run so
// that the tests can check it without starting the machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/types.h"
#include "machine/emulation.h"
#include "plugins/config.h"

// A --memory-out request: LENGTH bytes of guest RAM from ADDR into FILE.
struct MemoryDumpRequest {
    u32 address = 0;
    u32 length = 0;
    std::string path;
};

struct RunnerOptions {
    bool showHelp = false;
    RunLimits limits;       // the idle-loop stop is always on
    // The plugins of the run, never taken from Config.ini: the shipped ones
    // unless the options name others. An empty dir stands for the shipped
    // plugins' folder; a given one ends in '/'.
    PluginConfig plugins{"", kShippedGs, kShippedSpu2, kShippedPad, kShippedCdvd};
    std::string stateOut;   // empty: no state file
    std::string saveState;  // --save-state: the machine saved here when the run ends
    std::string loadState;  // --load-state: the machine loaded from here before the run
    std::vector<MemoryDumpRequest> memoryDumps;
    std::string program;
    std::string disc;       // --disc: the image to boot instead of a program
    bool snapshotAtEnd = false;  // --snapshot-at-end: the GS saves its picture in Screens/ as the run ends
    std::string tty;        // --tty: where guest writes to descriptors 1 and 2 go ("-": stdout; empty: dropped)
    u32 logCategories = 0;  // --log: bit n set shows LogCategory n's messages; errors show always
};

// The parsed options, or the reason the command line is unusable.
struct CommandLine {
    RunnerOptions options;
    std::string error;  // empty when the command line is usable
};

// Parses the arguments that follow the program name (argv[1] onwards).
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Decimal, or hexadecimal with a 0x prefix; no sign, no spaces, no overflow.
std::optional<u64> parseNumber(std::string_view text);

// Always hexadecimal, with or without 0x; at most 32 bits.
std::optional<u32> parseUntilAddress(std::string_view text);

// ADDR:LENGTH:FILE. ADDR is any 32-bit number (the RAM mask is applied when
// the bytes are copied); LENGTH is at most the 32 MB of guest RAM; FILE is
// everything after the second colon and must not be empty.
std::optional<MemoryDumpRequest> parseMemoryDump(std::string_view text, std::string& error);

// CATEGORY,CATEGORY,... as --log takes it ("all" for every category), as a
// mask of LogCategory bits; nothing, with the reason in `error`, when a name
// is unknown.
std::optional<u32> parseLogCategories(std::string_view text, std::string& error);

extern const char kUsageText[];
