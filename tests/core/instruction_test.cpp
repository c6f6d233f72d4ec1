// The instruction classes run as guest code (guest/*_ops.S): each program
// stores one 128-bit register per case into `results` and lists beside it,
// in `expected`, the value worked out by hand and the case's name.

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "cop/fpu.h"
#include "core/ee_state.h"
#include "memory/bus.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

namespace {

struct RecordProgram {
    const char* name;
    unsigned records;
};

constexpr RecordProgram kPrograms[] = {
    {"cpu_integer", 53}, {"cpu_muldiv", 24}, {"cpu_loadstore", 33}, {"cpu_branch", 57}};

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

template <typename T>
void expectArea(const char* area, std::span<const T> expected) {
    const u32 base = guestSymbol(area);
    for (unsigned i = 0; i < expected.size(); ++i) {
        const u32 at = base + sizeof(T) * i;
        EXPECT_EQ(sizeof(T) == 8 ? guestDouble(at) : guestWord(at), expected[i]) << area << " element " << i;
    }
}

// The stores of cpu_loadstore. SWL/SWR put rt.w0 = 0x44332211 into words of
// 0xA3A2A1A0 (alignment k at word k), SDL/SDR 0x8877665544332211 into
// doublewords of 0xB7B6B5B4B3B2B1B0. Into 0xEE bytes: SB +1, SH +2, SW +4,
// SD +8 of 0x1122334455667788 and SQ of the pattern at +24, not a multiple
// of 16. LWC1/SWC1 move 32 bits as they are, LQC2/SQC2 at +8 the 16 bytes
// from there.
TEST(LoadStore, StoresWriteOnlyTheirBytes) {
    ASSERT_TRUE(loadGuestProgram("cpu_loadstore"));
    ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop);
    constexpr u32 swl[] = {0xA3A2A144, 0xA3A24433, 0xA3443322, 0x44332211};
    constexpr u32 swr[] = {0x44332211, 0x332211A0, 0x2211A1A0, 0x11A2A1A0};
    constexpr u64 sdl[] = {0xB7B6B5B4B3B2B188, 0xB7B6B5B4B3B28877, 0xB7B6B5B4B3887766, 0xB7B6B5B488776655,
                           0xB7B6B58877665544, 0xB7B6887766554433, 0xB788776655443322, 0x8877665544332211};
    constexpr u64 sdr[] = {0x8877665544332211, 0x77665544332211B0, 0x665544332211B1B0, 0x5544332211B2B1B0,
                           0x44332211B3B2B1B0, 0x332211B4B3B2B1B0, 0x2211B5B4B3B2B1B0, 0x11B6B5B4B3B2B1B0};
    constexpr u32 plain[] = {0x778888EE, 0x55667788, 0x55667788, 0x11223344, 0xEEEEEEEE, 0xEEEEEEEE,
                             0xCAFEF00D, 0xDEADBEEF, 0x89ABCDEF, 0x01234567, 0xEEEEEEEE, 0xEEEEEEEE};
    constexpr u32 cop[] = {0x73727170, 0xEEEEEEEE, 0x8B8A8988, 0x8F8E8D8C, 0x73727170, 0x77767574, 0xEEEEEEEE};
    expectArea<u32>("swlArea", swl);
    expectArea<u32>("swrArea", swr);
    expectArea<u64>("sdlArea", sdl);
    expectArea<u64>("sdrArea", sdr);
    expectArea<u32>("plainArea", plain);
    expectArea<u32>("copArea", cop);
    EXPECT_EQ(fpu.fpr[1].u, 0x73727170u);
    constexpr u32 vf1[] = {0x8B8A8988, 0x8F8E8D8C, 0x73727170, 0x77767574};
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(vu0.vf[1].u[i], vf1[i]) << "VF1 lane " << i;
}

}  // namespace
