// GSfreeze: the GS's registers, local memory and a PATH3 packet read part
// of the way come back from a saved state; bytes it did not save are
// refused with the GS left as it was.
#include <gtest/gtest.h>

#include <vector>

#include "gif_packet.h"
#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/ps2e.h"
#include "support/plugin_freeze.h"

namespace {

TEST(GsFreeze, RegistersLocalMemoryAndAPacketCutHalfwayComeBack) {
    GSinit();
    constexpr uint64_t kFrame1 = 0x00A00140, kFrame2 = 0x00B00280;
    GifPacket packet;
    packet.registers({{gs::kRegFrame_1, kFrame1}, {gs::kRegFrame_2, kFrame2}}, true);
    GSgifTransfer(packet.words.data(), 2);  // the tag and the first write; the second is yet to come
    GSwrite64(0x120000E0, 0x00302010);      // BGCOLOR
    gs::state.memory.words()[123456] = 0xDEADBEEF;
    std::vector<char> saved = frozenState(GSfreeze);

    GSinit();
    std::vector<char> damaged = saved;
    damaged[0] ^= 1;  // the format word
    EXPECT_EQ(loadFrozenState(GSfreeze, damaged), -1);
    std::vector<char> cut(saved.begin(), saved.end() - 1);
    EXPECT_EQ(loadFrozenState(GSfreeze, cut), -1);
    EXPECT_EQ(gs::state.memory.words()[123456], 0u) << "a refused state changed nothing";
    EXPECT_EQ(gs::state.reg[gs::kRegFrame_1], 0u);

    ASSERT_EQ(loadFrozenState(GSfreeze, saved), 0);
    EXPECT_EQ(gs::state.reg[gs::kRegFrame_1], kFrame1);
    EXPECT_EQ(gs::state.memory.words()[123456], 0xDEADBEEFu);
    EXPECT_EQ(GSread64(0x120000E0), 0x00302010u);
    GSgifTransfer(packet.words.data() + 8, 1);
    EXPECT_EQ(gs::state.reg[gs::kRegFrame_2], kFrame2) << "the packet went on where it was cut";
}

}  // namespace
