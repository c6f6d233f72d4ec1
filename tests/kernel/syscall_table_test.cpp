#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "kernel/syscalls.h"

namespace {

// The numbers the kernel answers itself; every other one is a no-op.
const std::set<unsigned> kImplemented = {
    2,  16, 17, 18, 19, 20, 21, 22, 23, 32, 34, 41, 47, 48, 50, 60, 61, 62, 63, 64,
    65, 66, 68, 69, 94, 95, 99, 112, 113, 118, 119, 120, 121, 122, 124, 136, 138, 143, 144, 153,
};

// The free numbers, as inclusive ranges.
const std::vector<std::pair<unsigned, unsigned>> kFreeRanges = {
    {26, 31},   {38, 38},   {42, 42},   {44, 44},   {46, 46},   {49, 49},   {52, 52},
    {54, 54},   {56, 56},   {58, 58},   {67, 67},   {70, 70},   {72, 72},   {90, 90},
    {101, 101}, {103, 106}, {128, 135}, {139, 142}, {145, 149}, {151, 151}, {154, 155},
    {157, 160}, {165, 165}, {167, 183}, {185, 185}, {187, 188}, {190, 197}, {199, 199},
    {201, 201}, {203, 203}, {205, 206}, {208, 209}, {211, 211}, {213, 213}, {215, 217},
    {219, 224}, {231, 255},
};

bool isFree(unsigned number) {
    for (const auto& [first, last] : kFreeRanges) {
        if (number >= first && number <= last) return true;
    }
    return false;
}

}  // namespace

TEST(SyscallTable, ImplementedNumbersHaveTheirOwnHandlersAndTheRestAreNoOps) {
    for (unsigned number = 0; number < 256; ++number) {
        if (kImplemented.count(number)) {
            EXPECT_NE(syscallHandlers[number], opUnassigned) << "call " << number;
        } else {
            EXPECT_EQ(syscallHandlers[number], opUnassigned) << "call " << number;
        }
    }
}

TEST(SyscallTable, FreeNumbersAndOnlyThoseAreNamedNotImplemented) {
    EXPECT_EQ(syscallNames.size(), 256u);
    for (unsigned number = 0; number < 256; ++number) {
        ASSERT_NE(syscallNames[number], nullptr);
        const bool named = std::strcmp(syscallNames[number], "SYSCALL_NI") != 0;
        EXPECT_EQ(named, !isFree(number)) << "call " << number << " " << syscallNames[number];
        EXPECT_EQ(std::strncmp(syscallNames[number], "SYSCALL_", 8), 0) << "call " << number;
    }
}

TEST(SyscallTable, NamesAtSampleNumbers) {
    EXPECT_STREQ(syscallNames[0], "SYSCALL_RFU000_FullReset");
    EXPECT_STREQ(syscallNames[2], "SYSCALL_SetGsCrt");
    EXPECT_STREQ(syscallNames[20], "SYSCALL__EnableIntc");
    EXPECT_STREQ(syscallNames[60], "SYSCALL_RFU060");
    EXPECT_STREQ(syscallNames[86], "SYSCALL_RFU086_WaitEvnetFlag");
    EXPECT_STREQ(syscallNames[99], "SYSCALL_GetCop0");
    EXPECT_STREQ(syscallNames[119], "SYSCALL_sceSifSetDma");
    EXPECT_STREQ(syscallNames[166], "SYSCALL_RFU090_iReferEventFlagStatus");
    EXPECT_STREQ(syscallNames[189], "SYSCALL_iSignalSema");
    EXPECT_STREQ(syscallNames[230], "SYSCALL__iEnableIntc");
    EXPECT_STREQ(syscallNames[255], "SYSCALL_NI");
}

// The interrupt-context variants that the kernel answers share the service
// of their plain counterparts.
TEST(SyscallTable, InterruptContextVariantsShareTheirServices) {
    EXPECT_EQ(syscallHandlers[99], syscallHandlers[63]);
    EXPECT_EQ(syscallHandlers[153], syscallHandlers[63]);
    EXPECT_EQ(syscallHandlers[138], syscallHandlers[118]);
    EXPECT_EQ(syscallHandlers[143], syscallHandlers[113]);
    EXPECT_EQ(syscallHandlers[144], syscallHandlers[112]);
}
