// Reading what the COP0 and FPU test programs leave behind (see
// guest/cop_macros.h): 128-bit records of GPRs primed with a pattern, and
// 32-bit words.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "core/types.h"
#include "support/guest_machine.h"

inline constexpr u64 kPatternHigh = 0x0123456789ABCDEFull;

struct RecordCase {
    const char* what;
    u64 low;  // the expected low doubleword; the upper one keeps the pattern
};

inline u64 recordLow(unsigned index) { return guestDouble(guestSymbol("results") + 16 * index); }
inline u64 recordHigh(unsigned index) { return guestDouble(guestSymbol("results") + 16 * index + 8); }
inline u32 resultWord(unsigned index) { return guestWord(guestSymbol("words") + 4 * index); }

// Loads and runs a program to its idle loop and checks how much it stored.
inline void runCopProgram(const std::string& name, unsigned records, unsigned words) {
    ASSERT_TRUE(loadGuestProgram(name)) << name;
    ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop) << name;
    ASSERT_EQ(guestWord(guestSymbol("resultCount")), records) << name;
    ASSERT_EQ(guestWord(guestSymbol("wordCount")), words) << name;
}

inline void expectRecords(std::span<const RecordCase> cases, unsigned first) {
    for (unsigned i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "record " << first + i << ": " << cases[i].what);
        EXPECT_EQ(recordLow(first + i), cases[i].low);
        EXPECT_EQ(recordHigh(first + i), kPatternHigh);
    }
}
