// spu2-null keeps the sound processor's registers: every register of both
// cores reads back what was written, independently of the others.
#include <gtest/gtest.h>

#include <vector>

#include "ps2e/ps2e.h"
#include "shipped_plugin.h"

TEST(Spu2Null, EveryRegisterOfBothCoresReadsBackWhatWasWritten) {
    ShippedPlugin plugin("spu2-null.so");
    ASSERT_TRUE(plugin.loaded());
    ASSERT_EQ(plugin.entry<uint32_t()>("PS2EgetLibType")(), uint32_t{PS2E_LT_SPU2});
    auto init = plugin.entry<int32_t()>("SPU2init");
    auto write = plugin.entry<void(uint32_t, uint16_t)>("SPU2write");
    auto read = plugin.entry<uint16_t(uint32_t)>("SPU2read");
    constexpr uint32_t kBase = 0x1F900000;
    auto pattern = [](uint32_t offset) { return static_cast<uint16_t>(offset * 0x9E37 + 0x1234); };

    init();
    for (uint32_t offset = 0; offset < 0x800; offset += 2) write(kBase + offset, pattern(offset));
    for (uint32_t offset = 0; offset < 0x800; offset += 2) ASSERT_EQ(read(kBase + offset), pattern(offset)) << offset;
    write(kBase + 0x400, 0xBEEF);  // core 1's first register is not core 0's
    EXPECT_EQ(read(kBase + 0x000), pattern(0));
    EXPECT_EQ(read(kBase + 0x400), 0xBEEF);
    EXPECT_EQ(read(0xFFFFFFFE), read(kBase + 0x7FE)) << "any address lands inside the register block";

    auto freeze = plugin.entry<int32_t(int32_t, freezeData*)>("SPU2freeze");
    freezeData size{0, nullptr};
    ASSERT_EQ(freeze(FREEZE_SIZE, &size), 0);
    std::vector<char> saved(static_cast<size_t>(size.size));
    freezeData save{size.size, saved.data()};
    ASSERT_EQ(freeze(FREEZE_SAVE, &save), 0);

    init();
    EXPECT_EQ(read(kBase + 0x400), 0) << "a new machine starts with cleared registers";
    freezeData cut{size.size - 2, saved.data()};
    EXPECT_EQ(freeze(FREEZE_LOAD, &cut), -1);
    freezeData load{size.size, saved.data()};
    ASSERT_EQ(freeze(FREEZE_LOAD, &load), 0);
    EXPECT_EQ(read(kBase + 0x400), 0xBEEF) << "the saved registers are back";
    EXPECT_EQ(read(kBase + 0x7FE), pattern(0x7FE));
}
