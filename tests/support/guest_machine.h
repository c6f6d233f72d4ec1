// Test support: bring the machine to a known state, load a guest program
// built by this project, run it, and look at what it left behind.
#pragma once

#include <string>

#include "core/types.h"
#include "machine/emulation.h"

// The machine as a freshly started emulator has it, nothing loaded: memory cleared,
// registers at their reset values, programLoaded 0.
void resetMachine();

// The path of a guest program built into the guest-programs directory.
std::string guestProgramPath(const std::string& name);

// Resets the machine and loads guest-programs/NAME.elf; false when the file
// cannot be opened.
bool loadGuestProgram(const std::string& name);

// Runs until the program's idle loop (or the cycle limit).
StopReason runGuest(u64 maxCycles = 200'000'000);

// The address of a symbol in the last program loaded with
// loadGuestProgram, read from the file's symbol table; fails the current
// test when the symbol is missing.
u32 guestSymbol(const std::string& symbol);

u32 guestWord(u32 address);
u64 guestDouble(u32 address);
