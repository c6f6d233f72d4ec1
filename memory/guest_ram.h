// Guest RAM as the emulated services see it: the kernel's calls, the IOP
// services, the executable loader and the runner's dumps. The CPU's loads
// and stores go through the bus (memory/bus.h) instead.
//
// Every guest address is masked to the 32 MB of RAM, as the bus masks
// data, and nothing read or written here reaches past RAM's end:
//   values      a value that would cross the end reads as 0 and is not
//               written; a single byte never crosses it
//   blocks      cut short at the end of RAM; the count that fits is
//               answered
//   strings     NUL-terminated, at most a given length, cut at the end
//   wrapping    the runner's dumps continue at the start of RAM, as the
//               32 MB aliases do
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/types.h"
#include "memory/bus.h"
#include "memory/host_access.h"

inline u32 ramOffset(u32 address) { return address & kRamMask; }

// The host byte that a guest address names. The bytes after it up to the
// end of RAM (ramBytesToEnd) are the guest's.
inline u8* ramAt(u32 address) { return memory.ram + ramOffset(address); }

inline u32 ramBytesToEnd(u32 address) { return kRamSize - ramOffset(address); }

// The byte count of a guest buffer that lies inside RAM.
inline u32 boundedRamSize(u32 address, u32 size) { return std::min(size, ramBytesToEnd(address)); }

// T: u8, u16, u32, u64 or Reg128 (a quadword).
template <typename T>
inline T ramLoad(u32 address) {
    return ramBytesToEnd(address) >= sizeof(T) ? hostLoad<T>(ramAt(address)) : T{};
}

template <typename T>
inline void ramStore(u32 address, T value) {
    if (ramBytesToEnd(address) >= sizeof(T)) hostStore<T>(ramAt(address), value);
}

inline u8 ramByte(u32 address) { return *ramAt(address); }
inline void setRamByte(u32 address, u8 value) { *ramAt(address) = value; }
inline u32 ramWord(u32 address) { return ramLoad<u32>(address); }
inline void setRamWord(u32 address, u32 value) { ramStore<u32>(address, value); }

// Copies between guest RAM and host memory, cut at the end of RAM; the
// bytes copied.
u32 readRamBlock(u32 address, void* destination, u32 size);
u32 writeRamBlock(u32 address, const void* source, u32 size);

// The NUL-terminated text at address, at most maxLength characters, cut
// short at the end of RAM.
std::string ramString(u32 address, u32 maxLength);

// length bytes from address (at most all of RAM), continuing at the start
// of RAM after its end.
std::vector<u8> ramBytesWrapping(u32 address, u32 length);
