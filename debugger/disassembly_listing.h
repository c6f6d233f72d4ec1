// The debugger's listing of the code around an address: one line per
// instruction word, as the CPU would fetch it there.
#pragma once

#include <string>
#include <vector>

#include "core/types.h"

// Lines for `before` words ahead of `centre`, the word at `centre` and
// `after` words behind it: "> 00100010  27BDFFF0  addiu sp,sp,-16", the
// mark "> " on the centre's line and two blanks on the others. Words the
// disassembler cannot spell out show their trace name ("NI"). The window
// is cut at the ends of the 32-bit address space instead of wrapping.
std::vector<std::string> disassemblyAround(u32 centre, u32 before, u32 after);
