// Differential tests: the same C workloads run natively here and as guest
// code (differential/*.c, built into cpu_differential); guest memory must
// hold exactly the host's results.

#include <gtest/gtest.h>

#include <vector>

#include "differential/workloads.h"
#include "support/guest_machine.h"

namespace {

struct Workload {
    const char* name;
    void (*run)(unsigned*);
    const char* guestArray;
    unsigned words;
};

constexpr Workload kWorkloads[] = {
    {"integer", integerWorkload, "integerResults", kIntegerWorkloadWords},
    {"sort", sortWorkload, "sortResults", kSortWorkloadWords},
    {"hash", hashWorkload, "hashResults", kHashWorkloadWords},
    // GCC's 32-bit code carries between the halves of a 64-bit sum with an
    // SLTU that compares all 64 bits: these two need SLL and SRL to
    // sign-extend their result as the processor does.
    {"wide", wideWorkload, "wideResults", kWideWorkloadWords},
    {"string", stringWorkload, "stringResults", kStringWorkloadWords},
};

class Differential : public testing::TestWithParam<Workload> {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(loadGuestProgram("cpu_differential"));
        ASSERT_EQ(runGuest(50'000'000), StopReason::IdleLoop);
    }
};

TEST_P(Differential, GuestMatchesHost) {
    const Workload& workload = GetParam();
    std::vector<unsigned> expected(workload.words);
    workload.run(expected.data());
    const u32 base = guestSymbol(workload.guestArray);
    for (unsigned i = 0; i < workload.words; ++i) {
        EXPECT_EQ(guestWord(base + 4 * i), expected[i]) << workload.name << " word " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Workloads, Differential, testing::ValuesIn(kWorkloads),
                         [](const testing::TestParamInfo<Workload>& info) { return std::string(info.param.name); });

}  // namespace
