#include "support/guest_machine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "disc/elf_loader.h"
#include "machine/machine.h"
#include "memory/bus.h"

namespace {

std::map<std::string, u32> loadedSymbols;

template <typename T>
T readAt(const std::vector<u8>& file, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= file.size()) std::memcpy(&value, file.data() + offset, sizeof(T));
    return value;
}

// Reads SYMTAB and its string table from an ELF32 file on the host.
std::map<std::string, u32> readSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<u8> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, u32> symbols;
    const auto header = readAt<ElfHeader>(file, 0);
    for (unsigned i = 0; i < header.shnum; ++i) {
        const auto section = readAt<ElfSectionHeader>(file, header.shoff + i * sizeof(ElfSectionHeader));
        if (section.type != 2) continue;  // SHT_SYMTAB
        const auto strings = readAt<ElfSectionHeader>(file, header.shoff + section.link * sizeof(ElfSectionHeader));
        for (u32 at = section.offset; at + 16 <= section.offset + section.size; at += 16) {
            const u32 nameOffset = readAt<u32>(file, at);
            const u32 value = readAt<u32>(file, at + 4);
            const std::size_t nameAt = strings.offset + nameOffset;
            if (nameAt >= file.size()) continue;
            const char* name = reinterpret_cast<const char*>(file.data() + nameAt);
            symbols[std::string(name, strnlen(name, file.size() - nameAt))] = value;
        }
    }
    return symbols;
}

}  // namespace

void resetMachine() { machinePowerOn(); }

std::string guestProgramPath(const std::string& name) {
    return std::string(CORVANE_GUEST_DIR) + "/" + name + ".elf";
}

bool loadGuestProgram(const std::string& name) {
    resetMachine();
    const std::string path = guestProgramPath(name);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    HostFileSource source(file);
    loadElfImage(source, path);
    std::fclose(file);
    loadedSymbols = readSymbols(path);
    return true;
}

StopReason runGuest(u64 maxCycles) {
    RunLimits limits;
    limits.maxCycles = maxCycles;
    return emuRunWithLimits(limits);
}

u32 guestSymbol(const std::string& symbol) {
    const auto found = loadedSymbols.find(symbol);
    EXPECT_NE(found, loadedSymbols.end()) << "no symbol " << symbol << " in the guest program";
    return found == loadedSymbols.end() ? 0 : found->second;
}

u32 guestWord(u32 address) { return memRead32(address); }
u64 guestDouble(u32 address) { return memRead64(address); }
