// The GIF fuzz target, built here with the tests' compiler: every input
// starts from a power-on GS, so what an input draws depends on its own bytes
// and not on the inputs run before it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gif_packet.h"
#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/ps2e.h"
#include "support/plugin_freeze.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// The target's input: the PATH3 piece length in its first byte, then the
// packet's quadwords.
std::vector<uint8_t> fuzzInput(const GifPacket& packet) {
    std::vector<uint8_t> bytes(1 + 4 * packet.words.size());
    bytes[0] = 3;
    std::memcpy(bytes.data() + 1, packet.words.data(), 4 * packet.words.size());
    return bytes;
}

void run(const std::vector<uint8_t>& input) { LLVMFuzzerTestOneInput(input.data(), input.size()); }

// Registers, local memory and the PATH3 packet in progress, as GSfreeze
// saves them; the display generation, which every GSinit moves on, is left
// out.
std::vector<char> gsState() {
    gs::state.generation = 0;
    return frozenState(GSfreeze);
}

TEST(GifFuzzTarget, EachInputStartsFromAPowerOnGs) {
    // The first input leaves a large frame and scissor, a triangle strip
    // with two vertices queued, and a PATH3 tag waiting for 50 more.
    GifPacket setup;
    setup.registers({{gs::kRegFrame_1, frameValue(0, 10, 0)},
                     {gs::kRegScissor_1, scissorValue(0, 639, 0, 447)},
                     {gs::kRegPrim, gs::kPrimTriangleStrip},
                     {gs::kRegRgbaq, rgbaq(200, 100, 50, 128)},
                     {gs::kRegXyz2, xyz(0, 0, 0)},
                     {gs::kRegXyz2, xyz(640 * 16, 0, 0)}});
    setup.tag(50, true, kPacked, {0xE});

    // The second only sends a vertex and a sprite of its own.
    GifPacket drawing;
    drawing.registers({{gs::kRegXyz2, xyz(0, 448 * 16, 0)},
                       {gs::kRegPrim, gs::kPrimSprite},
                       {gs::kRegXyz2, xyz(0, 0, 0)},
                       {gs::kRegXyz2, xyz(64 * 16, 64 * 16, 0)}},
                      true);

    run(fuzzInput(drawing));
    const std::vector<char> alone = gsState();

    run(fuzzInput(setup));
    // Handed straight on, the drawing would finish the first input's
    // triangle and be read as its packet's data.
    GSgifTransfer(drawing.words.data(), static_cast<uint32_t>(drawing.quadwords()));
    EXPECT_NE(gsState(), alone);

    run(fuzzInput(setup));
    run(fuzzInput(drawing));
    EXPECT_EQ(gsState(), alone);
}

}  // namespace
