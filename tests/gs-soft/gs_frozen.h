// The GS's whole state as GSfreeze saves it, for comparing GS states.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "ps2e/ps2e.h"

inline std::vector<char> gsFrozen() {
    freezeData size{0, nullptr};
    EXPECT_EQ(GSfreeze(FREEZE_SIZE, &size), 0);
    std::vector<char> bytes(static_cast<std::size_t>(size.size));
    freezeData save{size.size, bytes.data()};
    EXPECT_EQ(GSfreeze(FREEZE_SAVE, &save), 0);
    return bytes;
}
