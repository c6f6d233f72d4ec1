// A plugin's state through its freeze entry point ("GSfreeze",
// "CDVDfreeze", ...): the bytes it saves, and its answer to loading some.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "ps2e/ps2e.h"

using FreezeEntry = int32_t (*)(int32_t mode, freezeData* data);

inline std::vector<char> frozenState(FreezeEntry freeze) {
    freezeData size{0, nullptr};
    EXPECT_EQ(freeze(FREEZE_SIZE, &size), 0);
    std::vector<char> bytes(static_cast<std::size_t>(size.size));
    freezeData save{size.size, bytes.data()};
    EXPECT_EQ(freeze(FREEZE_SAVE, &save), 0);
    return bytes;
}

inline int32_t loadFrozenState(FreezeEntry freeze, std::vector<char>& bytes) {
    freezeData load{static_cast<int32_t>(bytes.size()), bytes.data()};
    return freeze(FREEZE_LOAD, &load);
}
