// The cube demo run for 120 vertical blanks with a scripted pad. The GS
// traffic the recording GS saw is drawn again by the software GS; the shown
// picture must match the golden PNG, the kicked vertices must be the cube's
// corners as the host projects them, lit as the host lights them, and the
// text must show where its upload put it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "machine/emulation.h"
#include "plugins/recording.h"
#include "ps2e/gs-soft/picture.h"
#include "ps2e/ps2e.h"
#include "support/golden.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

constexpr u64 kFrames = 120;
constexpr u32 kDispfb1 = 0x12000070;

// The demo's view: eye distance, focal lengths, screen centre, depth
// scale, the light in eye space, and its colours.
constexpr double kDistance = 5, kFocalX = 300, kFocalY = -300, kCentreX = 320, kCentreY = 240;
constexpr double kDepthScale = 1 << 20;
constexpr double kLight[3] = {-0.4, 0.5, -0.768};
constexpr double kDiffuse = 112, kAmbient[3] = {36, 36, 40};

// Buttons in the two active-low button bytes of a digital pad.
constexpr u16 kStart = 0x0008, kRight = 0x0020, kDown = 0x0040;

// One digital-pad answer per vertical blank: Right held for polls 10-29,
// Start tapped at 40 (pause) and 70 (resume), Down held for polls 50-59.
std::vector<u8> padScript() {
    std::vector<u8> bytes;
    for (int poll = 0; poll < 200; ++poll) {
        u16 held = 0;
        if (poll >= 10 && poll < 30) held |= kRight;
        if (poll == 40 || poll == 41 || poll == 70 || poll == 71) held |= kStart;
        if (poll >= 50 && poll < 60) held |= kDown;
        const u16 bits = static_cast<u16>(~held);
        bytes.insert(bytes.end(), {0x41, 0x5A, static_cast<u8>(bits & 0xFF), static_cast<u8>(bits >> 8)});
    }
    return bytes;
}

struct GsTraffic {
    std::vector<u32> path3;                   // every PATH3 quadword, in order
    std::vector<std::vector<u32>> kicks;      // each XGKICK packet
    std::vector<RecordedCall> calls;
};

struct DemoRun {
    u32 angleX = 0, angleY = 0, paused = 0, frames = 0;
    GsTraffic traffic;
};

// An XGKICK packet reaches the GS in pieces, a few loops of its tag each,
// every piece ending the packet. The demo's list is one tag with PRE, which
// only its first piece keeps: the pieces after it are joined to it again.
void addKickPiece(std::vector<std::vector<u32>>& kicks, const std::vector<u32>& piece) {
    constexpr u32 kPreBit = 1u << 14;  // in the tag's second word
    if (piece.size() < 4) return;
    if ((piece[1] & kPreBit) || kicks.empty()) {
        kicks.push_back(piece);
        return;
    }
    std::vector<u32>& packet = kicks.back();
    packet[0] += piece[0] & 0x7FFF;
    packet.insert(packet.end(), piece.begin() + 4, piece.end());
}

DemoRun runDemo() {
    useTestPlugins();
    scriptPollAnswers("pad", padScript());
    DemoRun run;
    if (!loadGuestProgram("cube")) {
        ADD_FAILURE() << "cube.elf did not load";
        return run;
    }
    RunLimits limits;
    limits.maxVblanks = kFrames;
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::MaxVblanks);
    run.angleX = guestWord(guestSymbol("angleX")) & 255;
    run.angleY = guestWord(guestSymbol("angleY")) & 255;
    run.paused = guestWord(guestSymbol("paused"));
    run.frames = guestWord(guestSymbol("frames"));
    for (const RecordedCall& call : recordedCalls()) {
        if (call.library != "gs") continue;
        if (call.entry == "GSgifTransfer") run.traffic.path3.insert(run.traffic.path3.end(), call.data.begin(), call.data.end());
        if (call.entry == "GSgifTransfer2") addKickPiece(run.traffic.kicks, call.data);
        run.traffic.calls.push_back(call);
    }
    return run;
}

// Draws the recorded traffic again with the software GS, in its order.
DisplayedPicture replay(const GsTraffic& traffic) {
    GSinit();
    for (const RecordedCall& call : traffic.calls) {
        if (call.entry == "GSwrite32") GSwrite32(static_cast<u32>(call.args[0]), static_cast<u32>(call.args[1]));
        else if (call.entry == "GSwrite64") GSwrite64(static_cast<u32>(call.args[0]), call.args[1]);
        else if (call.entry == "GSgifTransfer") GSgifTransfer(call.data.data(), static_cast<u32>(call.data.size() / 4));
        else if (call.entry == "GSgifTransfer2") GSgifTransfer2(call.data.data());
    }
    return composeDisplayedPicture();
}

u64 lastDispfb1(const GsTraffic& traffic) {
    u64 value = 0;
    for (const RecordedCall& call : traffic.calls) {
        if (call.entry == "GSwrite64" && call.args[0] == kDispfb1) value = call.args[1];
        if (call.entry == "GSwrite32" && call.args[0] == kDispfb1) value = (value & ~u64{0xFFFFFFFF}) | call.args[1];
    }
    return value;
}

// A host-to-local upload found in the PATH3 stream, with the transfer
// registers that placed it.
struct Upload {
    u64 bitbltbuf = 0, trxpos = 0, trxreg = 0;
    std::vector<u32> pixels;
};

std::vector<Upload> uploads(const std::vector<u32>& stream) {
    std::vector<Upload> found;
    std::map<u32, u64> registers;
    size_t at = 0;
    const size_t count = stream.size() / 4;
    while (at < count) {
        const u32* tag = &stream[4 * at++];
        const u32 loops = tag[0] & 0x7FFF, format = (tag[1] >> 26) & 3;
        const u32 nreg = ((tag[1] >> 28) & 0xF) == 0 ? 16 : (tag[1] >> 28) & 0xF;
        if (format == 0) {
            for (u32 i = 0; i < loops * nreg && at < count; ++i, ++at) {
                const u32* q = &stream[4 * at];
                if (((tag[2 + (i % nreg) / 8] >> (4 * (i % nreg % 8))) & 0xF) == 0xE)
                    registers[q[2] & 0xFF] = q[0] | (u64{q[1]} << 32);
            }
        } else if (format == 1) {
            at += (loops * nreg + 1) / 2;
        } else {
            Upload upload{registers[0x50], registers[0x51], registers[0x52], {}};
            for (u32 i = 0; i < loops && at < count; ++i, ++at)
                upload.pixels.insert(upload.pixels.end(), &stream[4 * at], &stream[4 * at] + 4);
            found.push_back(upload);
        }
    }
    return found;
}

using Vec3 = std::array<double, 3>;

// The demo's turn: about x by angleX, then about y by angleY (256ths).
Vec3 turn(const Vec3& p, u32 angleX, u32 angleY) {
    const double ax = angleX * 2 * M_PI / 256, ay = angleY * 2 * M_PI / 256;
    const double y1 = std::cos(ax) * p[1] - std::sin(ax) * p[2], z1 = std::sin(ax) * p[1] + std::cos(ax) * p[2];
    return {std::cos(ay) * p[0] + std::sin(ay) * z1, y1, -std::sin(ay) * p[0] + std::cos(ay) * z1};
}

// Screen x, y and depth of a model-space point, as 12.4 values and depth.
Vec3 project(const Vec3& p, u32 angleX, u32 angleY) {
    Vec3 eye = turn(p, angleX, angleY);
    eye[2] += kDistance;
    return {(kCentreX + kFocalX * eye[0] / eye[2]) * 16, (kCentreY + kFocalY * eye[1] / eye[2]) * 16,
            kDepthScale / eye[2] * 16};
}


class CubeDemo : public testing::Test {
protected:
    static void SetUpTestSuite() { demo = new DemoRun(runDemo()); }
    static void TearDownTestSuite() { delete demo; }
    static DemoRun* demo;
};
DemoRun* CubeDemo::demo = nullptr;

}  // namespace

// Right held 20 frames turns 2 a frame; 30 frames paused between the two
// Start taps do not spin; Down held 10 frames tilts forward 2 a frame.
TEST_F(CubeDemo, ThePadTurnsAndPausesTheCube) {
    ASSERT_GE(demo->frames, kFrames - 2);
    EXPECT_EQ(demo->paused, 0u);
    EXPECT_EQ(demo->angleY, (16 + (demo->frames - 30) + 2 * 20) & 255);
    EXPECT_EQ(demo->angleX, 24 + 2 * 10u);
}

TEST_F(CubeDemo, FrameOneHundredTwentyMatchesTheGoldenPicture) {
    const DisplayedPicture picture = replay(demo->traffic);
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 448);
    EXPECT_TRUE(matchesGoldenPicture(goldenFile("cube_frame120.png"), {picture.width, picture.height, picture.pixels}));
}

// The last list VU1 kicked: 36 flat-lit textured triangles whose corners
// are the cube's eight corners projected at the frame's angles, each face
// lit by its turned normal against the light.
TEST_F(CubeDemo, KickedVerticesAreTheProjectedAndLitCorners) {
    ASSERT_FALSE(demo->traffic.kicks.empty());
    const std::vector<u32>& packet = demo->traffic.kicks.back();
    ASSERT_GE(packet.size(), 4u + 36 * 12);
    EXPECT_EQ(packet[0], 0x8000u | 36);
    int hits[8] = {};
    for (int triangle = 0; triangle < 12; ++triangle) {
        Vec3 centroid{};
        for (int k = 0; k < 3; ++k) {
            const u32* vertex = &packet[4 + 12 * (3 * triangle + k)];
            const u32* xyz = vertex + 8;
            int found = -1;
            for (int corner = 0; corner < 8 && found < 0; ++corner) {
                const Vec3 model{corner & 1 ? 1.0 : -1.0, corner & 2 ? 1.0 : -1.0, corner & 4 ? 1.0 : -1.0};
                const Vec3 screen = project(model, demo->angleX, demo->angleY);
                if (std::abs(static_cast<double>(xyz[0] & 0xFFFF) - screen[0]) <= 2 &&
                    std::abs(static_cast<double>(xyz[1] & 0xFFFF) - screen[1]) <= 2 &&
                    std::abs(static_cast<double>(xyz[2]) - screen[2]) <= screen[2] * 1e-3) {
                    found = corner;
                    for (int i = 0; i < 3; ++i) centroid[i] += model[i] / 3;
                }
            }
            ASSERT_GE(found, 0) << "vertex " << 3 * triangle + k << " at " << (xyz[0] & 0xFFFF) / 16.0 << ", "
                                << (xyz[1] & 0xFFFF) / 16.0 << " is no corner of the cube";
            ++hits[found];
            EXPECT_EQ(xyz[3] & 0x8000, 0u) << "the drawing-kick bit stays clear";
        }
        // The face's normal is the axis the triangle's corners share.
        Vec3 normal{};
        for (int i = 0; i < 3; ++i)
            if (std::abs(centroid[i]) > 0.99) normal[i] = centroid[i] > 0 ? 1 : -1;
        const Vec3 turned = turn(normal, demo->angleX, demo->angleY);
        const double lit = std::max(0.0, turned[0] * kLight[0] + turned[1] * kLight[1] + turned[2] * kLight[2]);
        for (int k = 0; k < 3; ++k) {
            const u32* rgbaq = &packet[4 + 12 * (3 * triangle + k) + 4];
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(static_cast<double>(rgbaq[c]), kAmbient[c] + kDiffuse * lit, 1.0)
                    << "triangle " << triangle << " channel " << c;
            EXPECT_EQ(rgbaq[3], 128u);
        }
    }
    for (int corner = 0; corner < 8; ++corner) EXPECT_GT(hits[corner], 0) << "corner " << corner;
}

// The last upload into the buffer on show is the line of text; the picture
// shows its pixels at the upload's destination, every one.
TEST_F(CubeDemo, TheTextShowsWhereItsUploadPutIt) {
    const DisplayedPicture picture = replay(demo->traffic);
    const u32 shownBlock = static_cast<u32>(lastDispfb1(demo->traffic) & 0x1FF) * 32;
    const std::vector<Upload> path3Uploads = uploads(demo->traffic.path3);
    const Upload* text = nullptr;
    for (const Upload& upload : path3Uploads)
        if (((upload.bitbltbuf >> 32) & 0x3FFF) == shownBlock) text = &upload;
    ASSERT_NE(text, nullptr);
    const u32 x0 = (text->trxpos >> 32) & 0x7FF, y0 = (text->trxpos >> 48) & 0x7FF;
    const u32 width = text->trxreg & 0xFFF, height = (text->trxreg >> 32) & 0xFFF;
    ASSERT_EQ(text->pixels.size(), size_t{width} * height);
    u32 ink = 0;
    for (u32 y = 0; y < height; ++y) {
        for (u32 x = 0; x < width; ++x) {
            const u32 uploaded = text->pixels[y * width + x];
            ink += uploaded != text->pixels[0];
            ASSERT_EQ(picture.pixels[(y0 + y) * picture.width + x0 + x] & 0xFFFFFF, uploaded & 0xFFFFFF)
                << "text pixel " << x << ", " << y;
        }
    }
    EXPECT_GT(ink, width * height / 10) << "the text has letters in it";
}
