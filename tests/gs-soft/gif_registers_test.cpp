// GIF packets, general registers, the vertex queue and the privileged
// registers, through the plugin's entry points.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <vector>

#include "gif_packet.h"
#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/gs-soft/picture.h"
#include "ps2e/ps2e.h"

using gs::state;

namespace {

void send(const GifPacket& packet) { GSgifTransfer(packet.words.data(), static_cast<uint32_t>(packet.quadwords())); }

// A 64-pixel-wide PSMCT32 frame at page 0 with the whole window drawable and
// no offset, context 1.
void setUpFrame(GifPacket& packet) {
    packet.registers({{gs::kRegFrame_1, frameValue(0, 1, gs::kPsmCt32)},
                      {gs::kRegScissor_1, scissorValue(0, 63, 0, 63)},
                      {gs::kRegXyoffset_1, 0},
                      {gs::kRegTest_1, 0},
                      {gs::kRegPrmodecont, 1}});
}

uint32_t pixel(int x, int y) { return state.memory.readPixel(gs::kPsmCt32, 0, 1, x, y); }

class GifTest : public testing::Test {
protected:
    void SetUp() override { GSinit(); }
};

}  // namespace

TEST_F(GifTest, PackedDescriptorsGatherTheirFieldsIntoTheRegisters) {
    GifPacket p;
    p.tag(1, true, kPacked, {0x2, 0x1, 0x3, 0xA, 0xD, 0x4, 0xE, 0xF, 0x6});
    p.quadword(floatBits(1.5f) | (floatBits(2.5f) << 32), floatBits(0.25f));  // ST, Q 0.25
    p.quadword(0x11 | (uint64_t{0x22} << 32), 0x33 | (uint64_t{0x44} << 32));  // RGBAQ
    p.quadword(0x1234 | (uint64_t{0x2345} << 32), 0);                           // UV
    p.quadword(0, uint64_t{0x5A} << 36);                                        // FOG
    p.quadword(0x100 | (uint64_t{0x200} << 32), 0xFEDCBA98);                                    // XYZ3
    p.quadword(0x300 | (uint64_t{0x400} << 32), (0x123456ull << 4) | (uint64_t{1} << 47));     // XYZF2, ADC set
    p.quadword(0xDEADBEEF, gs::kRegFogcol);                                                    // A+D
    p.quadword(~0ull, ~0ull);                                                                  // NOP
    p.quadword(0x0123456789ABCDEFull, 0xFFFFFFFF);                                             // TEX0_1
    send(p);
    EXPECT_EQ(floatBits(1.5f) | (floatBits(2.5f) << 32), state.reg[gs::kRegSt]);
    EXPECT_EQ(0x44332211u | (floatBits(0.25f) << 32), state.reg[gs::kRegRgbaq]);
    EXPECT_EQ(0x1234u | (0x2345u << 16), state.reg[gs::kRegUv]);
    EXPECT_EQ(uint64_t{0x5A} << 56, state.reg[gs::kRegFog]);
    EXPECT_EQ(0x100u | (0x200u << 16) | (0xFEDCBA98ull << 32), state.reg[gs::kRegXyz3]);
    // ADC turns the XYZF2 into an XYZF3: no drawing, the register is XYZF3.
    EXPECT_EQ(0x300u | (0x400u << 16) | (0x123456ull << 32), state.reg[gs::kRegXyzf3] & 0x00FFFFFFFFFFFFFFull);
    EXPECT_EQ(0u, state.reg[gs::kRegXyzf2]);
    EXPECT_EQ(0xDEADBEEFu, state.reg[gs::kRegFogcol]);
    EXPECT_EQ(0x0123456789ABCDEFull, state.reg[gs::kRegTex0_1]);
}

TEST_F(GifTest, TagFieldsPreNregZeroAndReglistPairs) {
    GifPacket p;
    // PRE writes PRIM from the tag, in PACKED form only.
    p.tag(0, false, kPacked, {0xF}, true, 0x156);
    p.tag(0, false, kReglist, {0xF}, true, 0x003);
    // NREG 0 means sixteen descriptors: sixteen A+D quadwords.
    p.tag(1, false, kPacked, {0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE, 0xE});
    for (uint8_t i = 0; i < 16; ++i) p.quadword(0x1000 + i, 0x34 + (i % 4));  // MIPTBP registers 0x34-0x37
    // REGLIST: three registers twice is six halves in three quadwords; then
    // three once leaves the last upper half unused.
    p.tag(2, false, kReglist, {gs::kRegFog, gs::kRegUv, gs::kRegSt});
    p.quadword(1, 2);
    p.quadword(3, 4);
    p.quadword(5, 6);
    p.tag(1, true, kReglist, {gs::kRegClamp_1, gs::kRegClamp_2, gs::kRegXyz3});
    p.quadword(7, 8);
    p.quadword(9, 0xBAD);
    send(p);
    EXPECT_EQ(0x156u, state.reg[gs::kRegPrim]);
    EXPECT_EQ(0x100Cu, state.reg[gs::kRegMiptbp1_1]);
    EXPECT_EQ(0x100Fu, state.reg[gs::kRegMiptbp2_2]);
    EXPECT_EQ(4u, state.reg[gs::kRegFog]);
    EXPECT_EQ(5u, state.reg[gs::kRegUv]);
    EXPECT_EQ(6u, state.reg[gs::kRegSt]);
    EXPECT_EQ(7u, state.reg[gs::kRegClamp_1]);
    EXPECT_EQ(8u, state.reg[gs::kRegClamp_2]);
    EXPECT_EQ(9u, state.reg[gs::kRegXyz3]);

    // The next tag starts right after the unused half.
    GifPacket after;
    after.registers({{gs::kRegColclamp, 1}}, true);
    send(after);
    EXPECT_EQ(1u, state.reg[gs::kRegColclamp]);
}

// A packet that sets up a frame, draws a sprite and a Gouraud triangle,
// writes registers by REGLIST and uploads a texture as IMAGE data.
GifPacket mixedPacket() {
    GifPacket p;
    setUpFrame(p);
    p.tag(1, false, kPacked, {0x1, 0x5, 0x5}, true, gs::kPrimSprite);
    p.quadword(200 | (uint64_t{100} << 32), 50 | (uint64_t{255} << 32));
    p.quadword(16 * 2 | (uint64_t{16 * 3} << 32), 0);
    p.quadword(16 * 20 | (uint64_t{16 * 9} << 32), 0);
    p.tag(3, false, kPacked, {0x1, 0x5}, true, gs::kPrimTriangle | 0x8);
    for (int i = 0; i < 3; ++i) {
        p.quadword(uint64_t{80u * i} | (uint64_t{255u - 80 * i} << 32), 40);
        p.quadword(uint64_t{16u * (30 + 20 * (i == 1))} | (uint64_t{16u * (10 + 30 * (i == 2))} << 32), 0);
    }
    p.tag(1, false, kReglist, {gs::kRegUv, gs::kRegFog});
    p.quadword(0x123, uint64_t{0x45} << 56);
    p.registers({{gs::kRegBitbltbuf, uint64_t{64} << 32 | uint64_t{1} << 48},
                 {gs::kRegTrxpos, uint64_t{3} << 32 | uint64_t{5} << 48},
                 {gs::kRegTrxreg, 8 | (uint64_t{4} << 32)},
                 {gs::kRegTrxdir, 0}});
    p.tag(8, true, kImage, {});
    for (uint32_t i = 0; i < 8; ++i) p.quadword(0x0101010101010101ull * i, ~(0x0202020202020202ull * i));
    return p;
}

TEST_F(GifTest, PacketsCutAtAnyQuadwordDrawTheSameAsWholeOnes) {
    const GifPacket packet = mixedPacket();
    send(packet);
    const std::vector<uint32_t> whole(state.memory.words(), state.memory.words() + gs::kLocalMemoryBytes / 4);
    const auto registers = state.reg;
    // Something was drawn and uploaded, so the comparison means something.
    EXPECT_EQ(0xFF3264C8u, pixel(5, 5));
    // Pixel 14 of the 8 x 4 upload: the third word of quadword 3.
    EXPECT_EQ(~0x06060606u, state.memory.readPixel(gs::kPsmCt32, 64, 1, 3 + 6, 5 + 1));
    for (size_t cut = 1; cut < packet.quadwords(); ++cut) {
        GSinit();
        GSgifTransfer(packet.words.data(), static_cast<uint32_t>(cut));
        GSgifTransfer(packet.words.data() + 4 * cut, static_cast<uint32_t>(packet.quadwords() - cut));
        ASSERT_EQ(0, std::memcmp(whole.data(), state.memory.words(), gs::kLocalMemoryBytes)) << "cut at " << cut;
        ASSERT_EQ(registers, state.reg) << "cut at " << cut;
    }
}

TEST_F(GifTest, GifTransfer2ReadsOnePacketToItsEndOfPacketTag) {
    GifPacket p;
    p.registers({{gs::kRegFogcol, 0x123}});
    p.tag(0, false, kPacked, {0xE});  // an empty tag does not end the packet
    p.registers({{gs::kRegDthe, 1}}, true);
    p.registers({{gs::kRegFogcol, 0xBAD}}, true);  // after the packet: not read
    GSgifTransfer2(p.words.data());
    EXPECT_EQ(0x123u, state.reg[gs::kRegFogcol]);
    EXPECT_EQ(1u, state.reg[gs::kRegDthe]);

    // A PATH3 packet left half read is not disturbed by an XGKICK.
    GifPacket path3;
    path3.registers({{gs::kRegTexa, 0x11}, {gs::kRegTexa, 0x22}}, true);
    GSgifTransfer(path3.words.data(), 2);
    GSgifTransfer2(p.words.data());
    GSgifTransfer(path3.words.data() + 8, 1);
    EXPECT_EQ(0x22u, state.reg[gs::kRegTexa]);
}

// A packet without EOP that fills the 16 KB it came from (VU1 data memory,
// the scratchpad) ends there: nothing after it is read, here a page that
// cannot be.
TEST_F(GifTest, AnXgkickPacketThatNeverEndsIsCutAtSixteenKilobytes) {
    constexpr size_t kPacketBytes = 16384, kPage = 4096;
    void* mapping = mmap(nullptr, kPacketBytes + kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapping, MAP_FAILED);
    auto* bytes = static_cast<uint8_t*>(mapping);
    ASSERT_EQ(mprotect(bytes + kPacketBytes, kPage, PROT_NONE), 0);
    std::memset(bytes, 0, kPacketBytes);  // empty PACKED tags without EOP
    GSgifTransfer2(reinterpret_cast<const uint32_t*>(bytes));
    munmap(mapping, kPacketBytes + kPage);
}

// Each primitive type draws when it has its vertices and keeps what the
// next one shares: checked by the pixels each primitive covers.
TEST_F(GifTest, VertexQueueKicksEachPrimitiveTypeWithTheRightVertices) {
    auto draw = [](uint32_t prim, std::initializer_list<std::pair<int, int>> points, bool firstWithoutKick = false) {
        GSinit();
        GifPacket p;
        setUpFrame(p);
        p.registers({{gs::kRegPrim, prim}, {gs::kRegRgbaq, rgbaq(255, 255, 255, 128)}});
        bool first = true;
        for (auto [x, y] : points) {
            p.registers({{first && firstWithoutKick ? gs::kRegXyz3 : gs::kRegXyz2,
                          xyz(static_cast<uint32_t>(x) * 16, static_cast<uint32_t>(y) * 16, 0)}});
            first = false;
        }
        send(p);
    };
    auto lit = [](int x, int y) { return pixel(x, y) != 0; };

    draw(gs::kPrimPoint, {{1, 1}, {5, 1}, {9, 1}});
    EXPECT_TRUE(lit(1, 1) && lit(5, 1) && lit(9, 1));

    // A line strip joins each vertex to the one before; two plain lines
    // need four vertices.
    draw(gs::kPrimLineStrip, {{0, 0}, {10, 0}, {10, 10}});
    EXPECT_TRUE(lit(5, 0) && lit(10, 5));
    draw(gs::kPrimLine, {{0, 0}, {10, 0}, {10, 10}});
    EXPECT_TRUE(lit(5, 0));
    EXPECT_FALSE(lit(10, 5));

    // Strip: (a b c) then (b c d). Fan: (a b c) then (a c d).
    draw(gs::kPrimTriangleStrip, {{0, 0}, {20, 0}, {0, 20}, {20, 20}});
    EXPECT_TRUE(lit(3, 3) && lit(17, 17));
    draw(gs::kPrimTriangleFan, {{0, 0}, {20, 0}, {20, 20}, {0, 20}});
    EXPECT_TRUE(lit(17, 3) && lit(3, 17));
    draw(gs::kPrimTriangle, {{0, 0}, {20, 0}, {20, 20}, {0, 20}});
    EXPECT_TRUE(lit(17, 3));
    EXPECT_FALSE(lit(3, 17));

    // An XYZ3 vertex enters the queue without drawing.
    draw(gs::kPrimSprite, {{0, 0}, {4, 4}}, true);
    EXPECT_TRUE(lit(1, 1));
    draw(gs::kPrimPoint, {{2, 2}}, true);
    EXPECT_FALSE(lit(2, 2));

    // A PRIM write empties the queue.
    GSinit();
    GifPacket p;
    setUpFrame(p);
    p.registers({{gs::kRegPrim, gs::kPrimSprite},
                 {gs::kRegRgbaq, rgbaq(255, 0, 0, 128)},
                 {gs::kRegXyz2, xyz(0, 0, 0)},
                 {gs::kRegPrim, gs::kPrimSprite},
                 {gs::kRegXyz2, xyz(16 * 8, 16 * 8, 0)}});
    send(p);
    EXPECT_FALSE(lit(1, 1));
}

TEST_F(GifTest, SignalFinishLabelAndCsrAsGuestProgramsUseThem) {
    constexpr uint32_t kCsr = 0x12001000;
    constexpr uint32_t kSiglblid = 0x12001080;
    EXPECT_EQ(0x2u, GSread32(kCsr) & 0x1F) << "FINISH reads as set, nothing else";
    EXPECT_EQ(0x55u, GSread32(kCsr) >> 24);

    GifPacket p;
    p.registers({{gs::kRegSignal, 0x12345678 | (0x0000FFFFull << 32)},
                 {gs::kRegSignal, 0xAAAA0000 | (0xFF000000ull << 32)},
                 {gs::kRegLabel, 0xCAFE | (0xFFFFull << 32)},
                 {gs::kRegFinish, 0}},
                true);
    send(p);
    EXPECT_EQ(0x3u, GSread32(kCsr) & 0x1F);
    EXPECT_EQ(0xAA005678u, GSread32(kSiglblid));
    EXPECT_EQ(0xCAFEu, GSread32(kSiglblid + 4));
    EXPECT_EQ(0x0000CAFEAA005678ull, GSread64(kSiglblid));

    // Writing CSR back as it was read clears the events it carried; FINISH
    // still reads as set, since nothing is left to draw.
    GSwrite32(kCsr, GSread32(kCsr));
    EXPECT_EQ(0x2u, GSread32(kCsr) & 0x1F);
    // A 0 bit leaves its event alone.
    send(p);
    GSwrite64(kCsr, 0x2);
    EXPECT_EQ(0x3u, GSread32(kCsr) & 0x1F);
}

TEST_F(GifTest, DisplayRegistersAreReadableAndMoveTheDisplayGeneration) {
    constexpr uint32_t kDispfb1 = 0x12000070;
    const uint64_t before = displayGeneration();
    GSwrite64(kDispfb1, 0x0000000100000A00ull);
    EXPECT_NE(before, displayGeneration());
    EXPECT_EQ(0x0000000100000A00ull, GSread64(kDispfb1));
    GSwrite32(kDispfb1 + 4, 7);
    EXPECT_EQ(0x0000000700000A00ull, GSread64(kDispfb1));

    // The kernel's SetGsCrt values: NTSC, then PAL (CMOD 3).
    constexpr uint32_t kSmode1 = 0x12000010;
    GSwrite64(kSmode1, 0x0000000740834504ull);
    EXPECT_FALSE(displayIsPal());
    GSwrite64(kSmode1, 0x0000000740836504ull);
    EXPECT_TRUE(displayIsPal());

    // An IMR write is kept; an address between registers reads 0.
    GSwrite64(0x12001010, 0x7F00);
    EXPECT_EQ(0x7F00u, GSread32(0x12001010));
    EXPECT_EQ(0u, GSread32(0x12000008 + 0x100));
}
