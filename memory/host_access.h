// Unaligned little-endian loads and stores on host memory. The host is
// little-endian like the guest, so these are plain copies that the compiler
// turns into single moves.
#pragma once

#include <cstring>

#include "core/types.h"

template <typename T>
inline T hostLoad(const u8* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

template <typename T>
inline void hostStore(u8* p, T value) {
    std::memcpy(p, &value, sizeof(T));
}
