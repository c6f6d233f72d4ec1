// Guest RAM as the IOP services see it: every address a guest hands them is
// masked to the 32 MB of RAM, and nothing they read or write may reach past
// its end. Reads beyond the end give 0 and writes there are dropped, so a
// request that runs off the top of RAM cannot touch host memory.
#pragma once

#include <algorithm>
#include <string>

#include "core/types.h"
#include "memory/bus.h"
#include "memory/host_access.h"

inline u32 ramOffset(u32 address) { return address & kRamMask; }

inline u8* ramAt(u32 address) { return memory.ram + ramOffset(address); }

// The byte count of a guest buffer that lies inside RAM.
inline u32 boundedRamSize(u32 address, u32 size) { return std::min(size, kRamSize - ramOffset(address)); }

inline u32 ramWord(u32 address) {
    const u32 offset = ramOffset(address);
    return offset <= kRamSize - 4 ? hostLoad<u32>(memory.ram + offset) : 0;
}

inline void setRamWord(u32 address, u32 value) {
    const u32 offset = ramOffset(address);
    if (offset <= kRamSize - 4) hostStore<u32>(memory.ram + offset, value);
}

inline u8 ramByte(u32 address) { return memory.ram[ramOffset(address)]; }

inline void setRamByte(u32 address, u8 value) { memory.ram[ramOffset(address)] = value; }

// The NUL-terminated text at address, at most maxLength characters, cut
// short at the end of RAM.
inline std::string ramString(u32 address, u32 maxLength) {
    std::string text;
    for (u32 offset = ramOffset(address); offset < kRamSize && text.size() < maxLength; ++offset) {
        const char c = static_cast<char>(memory.ram[offset]);
        if (c == '\0') break;
        text.push_back(c);
    }
    return text;
}
