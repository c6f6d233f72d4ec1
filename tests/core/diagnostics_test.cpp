// Messages by category and level: each distinct one passes once, however
// often a guest repeats it, until the machine starts anew; the number of
// distinct ones kept is bounded.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/diagnostics.h"

namespace {

struct Received {
    LogCategory category;
    LogLevel level;
    std::string line;
};

std::vector<Received> received;

void keep(LogCategory category, LogLevel level, const char* line) { received.push_back({category, level, line}); }

class Diagnostics : public testing::Test {
protected:
    void SetUp() override {
        received.clear();
        logForgetReported();
        setLogSink(keep);
    }
    void TearDown() override { setLogSink(nullptr); }
};

TEST_F(Diagnostics, EachCausePassesOnceUntilTheMachineStartsAnew) {
    for (int i = 0; i < 1000; ++i) logReport(LogCategory::Kernel, LogLevel::GuestError, "system call %u is not assigned", 90u);
    logReport(LogCategory::Kernel, LogLevel::GuestError, "system call %u is not assigned", 91u);
    logReport(LogCategory::Kernel, LogLevel::Stub, "system call %u is not assigned", 90u);  // another level
    logReport(LogCategory::Dma, LogLevel::GuestError, "system call %u is not assigned", 90u);  // another category
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].line, "kernel guest-error: system call 90 is not assigned");
    EXPECT_EQ(received[1].line, "kernel guest-error: system call 91 is not assigned");
    EXPECT_EQ(received[2].line, "kernel stub: system call 90 is not assigned");
    EXPECT_EQ(received[3].line, "DMA guest-error: system call 90 is not assigned");
    EXPECT_EQ(received[3].category, LogCategory::Dma);
    EXPECT_EQ(received[3].level, LogLevel::GuestError);

    logForgetReported();
    logReport(LogCategory::Kernel, LogLevel::GuestError, "system call %u is not assigned", 90u);
    EXPECT_EQ(received.size(), 5u) << "a new machine reports again";
}

TEST_F(Diagnostics, DistinctCausesWithoutEndStopAtABoundWithOneLineSayingSo) {
    for (u32 i = 0; i < 100'000; ++i) logReport(LogCategory::Vif, LogLevel::GuestError, "unknown code at 0x%08X", i);
    ASSERT_GT(received.size(), 100u);
    ASSERT_LT(received.size(), 10'000u);
    EXPECT_EQ(received.back().line, "VIF error: too many distinct messages; the rest are dropped");
    EXPECT_EQ(received.back().level, LogLevel::Error);
    char lastPassed[64];
    std::snprintf(lastPassed, sizeof lastPassed, "VIF guest-error: unknown code at 0x%08X",
                  static_cast<u32>(received.size() - 2));
    EXPECT_EQ(received[received.size() - 2].line, lastPassed) << "every cause up to the bound passed, in order";
    const std::size_t count = received.size();
    logReport(LogCategory::Vif, LogLevel::GuestError, "unknown code at 0x%08X", 200'000u);
    EXPECT_EQ(received.size(), count) << "the bound is said once";
}

}  // namespace
