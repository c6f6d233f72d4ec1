// Reading what a kernel test program left in its `results` array.
#pragma once

#include <string>

#include "core/types.h"
#include "support/guest_machine.h"

inline u32 resultWord(unsigned index) { return guestWord(guestSymbol("results") + 4 * index); }
inline u64 resultDouble(unsigned index) { return guestDouble(guestSymbol("results") + 8 * index); }

inline constexpr u32 kMinusOne32 = 0xFFFFFFFF;
inline constexpr u64 kMinusOne64 = ~u64{0};
