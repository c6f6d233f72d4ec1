// The constant opcode tables that route an instruction word to its handler.
// Each table is built at compile time from a short list of entries; every
// slot that no entry claims holds opUnassigned.
#pragma once

#include <array>
#include <cstddef>

#include "core/cpu.h"

struct OpcodeEntry {
    unsigned index;
    Handler handler;
    const char* name;  // the mnemonic, for the disassembler
};

template <std::size_t Size, std::size_t Count>
consteval std::array<Handler, Size> buildOpcodeTable(const std::array<OpcodeEntry, Count>& entries) {
    std::array<Handler, Size> table{};
    table.fill(opUnassigned);
    for (const OpcodeEntry& entry : entries) {
        // A slot claimed twice, or an index past the end, stops the build.
        if (entry.index >= Size || table[entry.index] != opUnassigned) throw "bad opcode table entry";
        table[entry.index] = entry.handler;
    }
    return table;
}

// True for the words that are branches or jumps (their own delay slots).
bool isBranchOrJump(u32 word);
