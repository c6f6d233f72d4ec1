// Reading the records that the instruction-class guest programs leave in
// their `results` array: each record is one 128-bit register stored with SQ
// after the register was primed with `pattern`, so its upper doubleword
// must still hold the pattern's unless the instruction writes all 128 bits.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "core/types.h"
#include "support/guest_machine.h"

inline constexpr u64 kPatternLow = 0xDEADBEEFCAFEF00Dull;
inline constexpr u64 kPatternHigh = 0x0123456789ABCDEFull;

struct RecordCase {
    const char* what;
    u64 low;  // the expected low doubleword
};

inline u64 recordLow(unsigned index) { return guestDouble(guestSymbol("results") + 16 * index); }
inline u64 recordHigh(unsigned index) { return guestDouble(guestSymbol("results") + 16 * index + 8); }

// Loads and runs a record program to its idle loop and checks that it
// stored the expected number of records.
inline void runRecordProgram(const std::string& name, unsigned recordCount) {
    ASSERT_TRUE(loadGuestProgram(name)) << name;
    ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop) << name;
    ASSERT_EQ(guestWord(guestSymbol("resultCount")), recordCount) << name;
}

// Compares the records from `first` on with `cases`; the upper doubleword
// of each must be the pattern's.
inline void expectRecords(std::span<const RecordCase> cases, unsigned first) {
    for (unsigned i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "record " << first + i << ": " << cases[i].what);
        EXPECT_EQ(recordLow(first + i), cases[i].low);
        EXPECT_EQ(recordHigh(first + i), kPatternHigh);
    }
}
