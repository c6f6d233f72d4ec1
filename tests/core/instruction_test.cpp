// The instruction classes run as guest code (guest/*_ops.S): each program
// stores one 128-bit register per case into `results` and lists beside it,
// in `expected`, the value worked out by hand and the case's name.

#include <gtest/gtest.h>

#include <string>

#include "core/ee_state.h"
#include "memory/bus.h"
#include "support/guest_machine.h"

namespace {

struct RecordProgram {
    const char* name;
    unsigned records;
};

constexpr RecordProgram kPrograms[] = {
    {"cpu_integer", 53}, {"cpu_muldiv", 24}, {"cpu_loadstore", 48}, {"cpu_branch", 56}};

void PrintTo(const RecordProgram& program, std::ostream* out) { *out << program.name; }

std::string guestString(u32 address) {
    std::string text;
    for (char c; text.size() < 200 && (c = static_cast<char>(memRead8(address + text.size()))) != 0;) text += c;
    return text;
}

class Records : public testing::TestWithParam<RecordProgram> {};

// HI1 and LO1 are set from the host: no instruction of these programs may
// touch them.
TEST_P(Records, MatchTheValuesListedBesideThem) {
    constexpr u64 kHi1 = 0x0BADC0DE0BADC0DE, kLo1 = 0xFEEDFACEFEEDFACE;
    ASSERT_TRUE(loadGuestProgram(GetParam().name));
    ee.hi.d[1] = kHi1;
    ee.lo.d[1] = kLo1;
    ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop);
    ASSERT_EQ(guestWord(guestSymbol("resultCount")), GetParam().records);
    const u32 results = guestSymbol("results"), expected = guestSymbol("expected");
    for (unsigned i = 0; i < GetParam().records; ++i) {
        const u32 entry = expected + 24 * i;
        SCOPED_TRACE(testing::Message() << "record " << i << ": " << guestString(guestWord(entry + 16)));
        EXPECT_EQ(guestDouble(results + 16 * i), guestDouble(entry));
        EXPECT_EQ(guestDouble(results + 16 * i + 8), guestDouble(entry + 8)) << "upper doubleword";
    }
    EXPECT_EQ(ee.hi.d[1], kHi1);
    EXPECT_EQ(ee.lo.d[1], kLo1);
}

INSTANTIATE_TEST_SUITE_P(Programs, Records, testing::ValuesIn(kPrograms),
                         [](const testing::TestParamInfo<RecordProgram>& info) { return std::string(info.param.name); });

}  // namespace
