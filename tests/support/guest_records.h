// Checking what a guest program built on guest/records.h leaves behind:
// 16-byte records in `results`, each beside a 24-byte entry in `expected`
// (the 16 bytes worked out by hand, the address of its name, flags).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "memory/bus.h"
#include "support/guest_machine.h"

// The entry's low word stands for any single-precision NaN: the host
// chooses the pattern.
inline constexpr u32 kRecordAnyNaN = 1;

inline std::string guestString(u32 address) {
    std::string text;
    for (char c; text.size() < 200 && (c = static_cast<char>(memRead8(address + text.size()))) != 0;) text += c;
    return text;
}

inline bool isSingleNaN(u32 bits) { return (bits & 0x7FFFFFFF) > 0x7F800000; }

// Loads and runs PROGRAM to its idle loop, then checks that it stored one
// record per entry and that every record equals its entry.
inline void expectGuestRecords(const std::string& program) {
    ASSERT_TRUE(loadGuestProgram(program)) << program;
    ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop) << program;
    const u32 results = guestSymbol("results"), expected = guestSymbol("expected");
    const u32 count = (guestSymbol("expectedEnd") - expected) / 24;
    ASSERT_EQ(guestWord(guestSymbol("resultCount")), count) << program;
    for (u32 i = 0; i < count; ++i) {
        const u32 record = results + 16 * i, entry = expected + 24 * i;
        SCOPED_TRACE(testing::Message() << program << " record " << i << ": " << guestString(guestWord(entry + 16)));
        u64 low = guestDouble(record), wantLow = guestDouble(entry);
        if (guestWord(entry + 20) & kRecordAnyNaN) {
            EXPECT_TRUE(isSingleNaN(static_cast<u32>(low))) << std::hex << low;
            low >>= 32;
            wantLow >>= 32;
        }
        EXPECT_EQ(low, wantLow) << std::hex << "low doubleword " << low << ", want " << wantLow;
        const u64 high = guestDouble(record + 8), wantHigh = guestDouble(entry + 8);
        EXPECT_EQ(high, wantHigh) << std::hex << "upper doubleword " << high << ", want " << wantHigh;
    }
}
