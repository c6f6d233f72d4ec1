// A PATH1 packet (XGKICK, the scratchpad drain) reaches the GS in pieces of
// about a slice, each a packet of its own; the software GS, loaded in the
// machine, must end up exactly as the whole packet leaves it.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "devices/gif.h"
#include "gif_packet.h"
#include "plugins/plugin_host.h"
#include "ps2e/gs-soft/gs_state.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

PluginConfig softGsConfig() {
    PluginConfig config = testPluginConfig();
    config.gs = CORVANE_GS_SOFT_FROM_TEST_PLUGINS;
    return config;
}

// PACKED RGBAQ and XYZ2 quadwords, which spread their fields over both halves.
void packedColour(GifPacket& packet, uint32_t r, uint32_t g, uint32_t b) {
    packet.quadword(r | (uint64_t{g} << 32), b | (uint64_t{0x80} << 32));
}
void packedVertex(GifPacket& packet, uint32_t x, uint32_t y) { packet.quadword(x * 16 | (uint64_t{y * 16} << 32), 0); }

// Registers, local memory and the PATH3 packet state of the GS in the slot.
std::vector<u8> gsState() {
    const std::optional<std::vector<u8>> state = pluginFreezeSave(PluginSlot::Gs);
    EXPECT_TRUE(state.has_value());
    return state.value_or(std::vector<u8>{});
}

TEST(GifPath1Pieces, APacketHandedInPiecesDrawsAsTheWholeOne) {
    GifPacket packet;
    packet.registers({{gs::kRegFrame_1, frameValue(0, 1, 0)},
                      {gs::kRegScissor_1, scissorValue(0, 63, 0, 63)},
                      {gs::kRegBitbltbuf, uint64_t{0x400 | (1 << 16)} << 32},
                      {gs::kRegTrxpos, 0},
                      {gs::kRegTrxreg, 16 | (uint64_t{10} << 32)},
                      {gs::kRegTrxdir, 0}});
    // A Gouraud strip set up by PRE, whose vertex queue runs across pieces.
    constexpr uint32_t kStripVertices = 15;
    packet.tag(kStripVertices, false, kPacked, {0x1, 0x5}, true, gs::kPrimTriangleStrip | 1 << 3);
    for (uint32_t i = 0; i < kStripVertices; ++i) {
        packedColour(packet, 17 * i, 255 - 17 * i, 40);
        packedVertex(packet, 4 * i, i % 2 == 0 ? 2 : 60);
    }
    // REGLIST with an odd register count, so that a loop can end in the
    // middle of a quadword: a flat sprite per loop, the last quadword padded.
    constexpr uint32_t kSprites = 7;
    packet.tag(kSprites, false, kReglist, {gs::kRegPrim, gs::kRegRgbaq, gs::kRegXyz2, gs::kRegXyz2, gs::kRegFog});
    std::vector<uint64_t> doublewords;
    for (uint32_t i = 0; i < kSprites; ++i) {
        doublewords.insert(doublewords.end(), {gs::kPrimSprite, rgbaq(30 * i, 90, 200 - 20 * i, 0x80),
                                               xyz(16 * (8 * i), 16 * 20, 0), xyz(16 * (8 * i + 5), 16 * (30 + i), 0),
                                               uint64_t{i} << 56});
    }
    doublewords.push_back(0);
    for (std::size_t i = 0; i < doublewords.size(); i += 2) packet.quadword(doublewords[i], doublewords[i + 1]);
    // IMAGE data for the 16 x 10 transfer set up above.
    packet.tag(40, true, kImage, {});
    for (uint32_t i = 0; i < 40; ++i) packet.quadword(0x0101010101010101ull * i, ~0x0101010101010101ull * i);
    ASSERT_GT(packet.quadwords(), 4 * kGifSliceQuadwords);

    useTestPlugins(softGsConfig());
    resetMachine();
    const std::vector<u8> fresh = gsState();
    gsGifTransfer2(packet.words.data());
    const std::vector<u8> whole = gsState();
    EXPECT_NE(whole, fresh);

    resetMachine();
    gifPacketToGs(packet.words.data(), static_cast<u32>(packet.quadwords()));
    EXPECT_EQ(gsState(), whole);
}

}  // namespace
