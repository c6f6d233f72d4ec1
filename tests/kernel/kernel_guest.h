// Running a kernel test program and checking what it left in `results`.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "core/types.h"
#include "support/guest_machine.h"

inline constexpr u32 kMinusOne32 = 0xFFFFFFFF;

inline void runProgram(const char* name) {
    ASSERT_TRUE(loadGuestProgram(name));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
}

inline u32 resultWord(unsigned index) { return guestWord(guestSymbol("results") + 4 * index); }

struct ExpectedResult {
    u32 value;
    const char* label;
};

// Compares results[first], results[first + 1], ... with `expected`, in order.
inline void expectResults(std::initializer_list<ExpectedResult> expected, unsigned first = 0) {
    unsigned index = first;
    for (const ExpectedResult& row : expected) {
        EXPECT_EQ(resultWord(index), row.value) << "results[" << index << "]: " << row.label;
        ++index;
    }
}
