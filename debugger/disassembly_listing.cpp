#include "debugger/disassembly_listing.h"

#include <algorithm>
#include <cstdio>

#include "core/cpu.h"
#include "debugger/disassembler.h"
#include "memory/bus.h"

namespace {

std::string listingLine(u32 address, bool isCentre) {
    char head[32];
    // Before the machine has its memory nothing can be fetched.
    if (memory.ram == nullptr) {
        std::snprintf(head, sizeof head, "%s%08X  --------  ", isCentre ? "> " : "  ", address);
        return std::string(head) + "unmapped";
    }
    const u32 word = fetchInstruction(address);
    std::snprintf(head, sizeof head, "%s%08X  %08X  ", isCentre ? "> " : "  ", address, word);
    std::string text = disasmInstruction(word, address);
    if (text.empty()) text = disasmName(word);
    return head + text;
}

}  // namespace

std::vector<std::string> disassemblyAround(u32 centre, u32 before, u32 after) {
    const u32 wordsBefore = std::min(before, centre / 4);
    const u32 wordsAfter = std::min(after, (0xFFFFFFFFu - centre) / 4);
    std::vector<std::string> lines;
    lines.reserve(wordsBefore + 1 + wordsAfter);
    for (u32 i = wordsBefore; i > 0; --i) lines.push_back(listingLine(centre - 4 * i, false));
    lines.push_back(listingLine(centre, true));
    for (u32 i = 1; i <= wordsAfter; ++i) lines.push_back(listingLine(centre + 4 * i, false));
    return lines;
}
