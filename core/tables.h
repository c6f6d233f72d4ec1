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

// The entries of two lists as one, for tables whose slots come from more
// than one unit.
template <std::size_t First, std::size_t Second>
consteval std::array<OpcodeEntry, First + Second> joinEntries(const std::array<OpcodeEntry, First>& first,
                                                             const std::array<OpcodeEntry, Second>& second) {
    std::array<OpcodeEntry, First + Second> joined{};
    for (std::size_t i = 0; i < First; ++i) joined[i] = first[i];
    for (std::size_t i = 0; i < Second; ++i) joined[First + i] = second[i];
    return joined;
}
