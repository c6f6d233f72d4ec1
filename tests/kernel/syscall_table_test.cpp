#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "kernel/syscalls.h"

namespace {

// Interrupt-context variants and the plain calls whose services they share.
constexpr std::pair<unsigned, unsigned> kSharedServices[] = {
    {99, 63},   {153, 63},  {138, 118}, {143, 113}, {144, 112}, {183, 65},  {184, 71},  {186, 69},
    {189, 66},  {198, 57},  {200, 55},  {202, 53},  {204, 51},  {207, 48},  {210, 45},  {212, 43},
    {214, 41},  {218, 37},  {225, 25},  {226, 24},
};

// The interrupt-context variants that also have a number of their own, n,
// besides the 256 - n that their negative number lands on.
constexpr unsigned kVariantsWithPositiveNumbers[] = {26, 27, 28, 29, 30, 31, 38, 42, 44, 46,
                                                     49, 52, 54, 56, 58, 67, 70, 72, 73};

// The free numbers, as inclusive ranges.
constexpr std::pair<unsigned, unsigned> kFreeRanges[] = {
    {90, 90},   {101, 101}, {103, 106}, {128, 135}, {139, 142}, {145, 149}, {151, 151},
    {154, 155}, {157, 160}, {165, 165}, {167, 182}, {185, 185}, {187, 188}, {190, 197},
    {199, 199}, {201, 201}, {203, 203}, {205, 206}, {208, 209}, {211, 211}, {213, 213},
    {215, 217}, {219, 224}, {231, 255},
};

bool isFree(unsigned number) {
    return std::any_of(std::begin(kFreeRanges), std::end(kFreeRanges),
                       [number](const auto& range) { return number >= range.first && number <= range.second; });
}

}  // namespace

TEST(SyscallTable, HandlersAndNamesOfAll256Numbers) {
    for (unsigned number = 0; number < 256; ++number) {
        ASSERT_NE(syscallNames[number], nullptr) << "call " << number;
        const bool named = std::strcmp(syscallNames[number], "SYSCALL_NI") != 0;
        EXPECT_EQ(named, !isFree(number)) << "call " << number << " " << syscallNames[number];
        EXPECT_EQ(std::strncmp(syscallNames[number], "SYSCALL_", 8), 0) << "call " << number;
    }
    for (const auto& [variant, plain] : kSharedServices) {
        EXPECT_EQ(syscallHandlers[variant], syscallHandlers[plain]) << "call " << variant;
    }
    for (unsigned number : kVariantsWithPositiveNumbers) {
        EXPECT_EQ(syscallHandlers[number], syscallHandlers[256 - number]) << "call " << number;
        EXPECT_STREQ(syscallNames[number], syscallNames[256 - number]) << "call " << number;
    }
    constexpr std::pair<unsigned, const char*> kSamples[] = {
        {0, "SYSCALL_RFU000_FullReset"}, {2, "SYSCALL_SetGsCrt"}, {20, "SYSCALL__EnableIntc"},
        {86, "SYSCALL_RFU086_WaitEvnetFlag"}, {99, "SYSCALL_GetCop0"}, {119, "SYSCALL_sceSifSetDma"},
        {166, "SYSCALL_RFU090_iReferEventFlagStatus"}, {189, "SYSCALL_iSignalSema"}, {230, "SYSCALL__iEnableIntc"},
    };
    for (const auto& [number, name] : kSamples) EXPECT_STREQ(syscallNames[number], name) << "call " << number;
}
