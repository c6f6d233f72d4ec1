// Running a kernel test program and checking what it left in `results`.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "core/types.h"
#include "support/guest_machine.h"

inline constexpr u32 kMinusOne32 = 0xFFFFFFFF;

inline void runProgram(const char* name) {
    ASSERT_TRUE(loadGuestProgram(name));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
}

inline u32 resultWord(unsigned index) { return guestWord(guestSymbol("results") + 4 * index); }

// Compares results[0], results[1], ... with the values of `expected`, in order.
inline void expectResults(std::initializer_list<std::pair<u32, const char*>> expected) {
    unsigned index = 0;
    for (const auto& [value, label] : expected) {
        EXPECT_EQ(resultWord(index), value) << "results[" << index << "]: " << label;
        ++index;
    }
}
