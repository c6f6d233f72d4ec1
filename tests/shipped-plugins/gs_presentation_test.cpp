// The presentation side of gs-soft: snapshots written through the plugin's
// entry point read back with the picture the guest set up; the pacing of
// presented pictures over a script of vertical blanks and clock readings;
// the 4:3 fit; the window settings file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "gs-soft/gif_packet.h"
#include "ps2e/gs-soft/presentation_pacing.h"
#include "ps2e/gs-soft/presentation_window.h"
#include "ps2e/gs-soft/settings.h"
#include "ps2e/ps2e.h"
#include "runner/run_corvane_run.h"
#include "shipped_plugin.h"
#include "support/png_file.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kPmode = 0x12000000, kDispfb1 = 0x12000070, kDisplay1 = 0x12000080;
constexpr int kWidth = 64, kHeight = 40;

// A 32-bit frame pixel as the GS stores it (R in the low byte).
uint32_t patternPixel(int x, int y) {
    return static_cast<uint32_t>(x * 4) | static_cast<uint32_t>(y * 6) << 8 | static_cast<uint32_t>((x + y) * 3) << 16 |
           0x80u << 24;
}

bool fileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

using GsSnapshot = RunnerInOwnFolder;

// The pattern is uploaded into a 64-pixel-wide buffer that read circuit 1
// shows at its own size: the PNG holds exactly the pattern, opaque.
TEST_F(GsSnapshot, PngReadsBackWithThePicturesSizeAndPixelsUnderTheNextFreeNumber) {
    ShippedPlugin plugin("gs-soft.so");
    ASSERT_TRUE(plugin.loaded());
    auto write64 = plugin.entry<void(uint32_t, uint64_t)>("GSwrite64");
    auto transfer = plugin.entry<void(const uint32_t*, uint32_t)>("GSgifTransfer");
    auto snapshot = plugin.entry<void(const char*)>("GSmakeSnapshot");
    plugin.entry<int32_t()>("GSinit")();

    // PMODE: circuit 1 on, blended with the fixed alpha 0xFF (fully over).
    write64(kPmode, 1 | 1 << 5 | 0xFF << 8);
    write64(kDispfb1, 0 | 1 << 9 | 0 << 15);  // page 0, 64 pixels wide, 32-bit
    write64(kDisplay1, uint64_t{kWidth - 1} << 32 | uint64_t{kHeight - 1} << 44);
    GifPacket upload;
    upload.registers({{0x50, uint64_t{1} << 48},  // BITBLTBUF: to block 0, 64 wide, 32-bit
                      {0x51, 0},                   // TRXPOS
                      {0x52, kWidth | uint64_t{kHeight} << 32},
                      {0x53, 0}});                 // TRXDIR: host to local
    upload.tag(kWidth * kHeight / 4, true, kImage, {});
    for (int i = 0; i < kWidth * kHeight; i += 4) {
        const auto pixel = [&](int k) { return uint64_t{patternPixel((i + k) % kWidth, (i + k) / kWidth)}; };
        upload.quadword(pixel(0) | pixel(1) << 32, pixel(2) | pixel(3) << 32);
    }
    transfer(upload.words.data(), static_cast<uint32_t>(upload.quadwords()));

    ASSERT_EQ(std::system("rm -rf Screens Made plain-file"), 0);  // left by an earlier run
    ASSERT_EQ(mkdir("Screens", 0755), 0);
    std::ofstream("Screens/snap001.png") << "taken";
    snapshot("Screens/");
    snapshot("Screens/");
    snapshot("Made/On/Demand/");
    RgbaImage first, third;
    ASSERT_TRUE(readPng("Screens/snap000.png", first));
    EXPECT_TRUE(fileExists("Screens/snap002.png")) << "snap001 was taken";
    ASSERT_TRUE(readPng("Made/On/Demand/snap000.png", third));
    ASSERT_EQ(first.width, kWidth);
    ASSERT_EQ(first.height, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_EQ(first.pixels[y * kWidth + x], (patternPixel(x, y) & 0xFFFFFF) | 0xFF000000u) << x << "," << y;
        }
    }
    EXPECT_EQ(third.pixels, first.pixels);

    // A folder that cannot be made gets a reason, not a file.
    std::ofstream("plain-file") << "x";
    testing::internal::CaptureStderr();
    snapshot("plain-file/inside/");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("gs-soft: no snapshot: cannot make the folder"), std::string::npos);
}

// A script of vertical blanks: the display generation at each, and the
// clock reading the pacer is given. Nothing here reads a real clock.
TEST(PicturePacing, PresentsOnlyNewPicturesAtMostOnePictureTimeApart) {
    const PacingClock::time_point t0{};
    PicturePacer pacer;
    VsyncDecision d = pacer.onVsync(7, false, false, t0);
    EXPECT_TRUE(d.present) << "the first picture of a window";
    EXPECT_EQ(d.presentAt, t0);

    // Many vertical blanks with nothing new: none presents, none waits.
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(pacer.onVsync(7, false, false, t0 + i * 1ms).present);

    // New drawing 6 ms after the last picture waits for its picture time.
    d = pacer.onVsync(8, false, false, t0 + 6ms);
    EXPECT_TRUE(d.present);
    EXPECT_EQ(d.presentAt, t0 + kNtscPictureTime);
    // The next keeps the cadence from the last picture's time, not from now.
    d = pacer.onVsync(9, false, false, t0 + kNtscPictureTime + 1ms);
    EXPECT_EQ(d.presentAt, t0 + 2 * kNtscPictureTime);
    // Slightly late: presented at once (its due time has passed) without losing the cadence.
    d = pacer.onVsync(10, false, false, t0 + 3 * kNtscPictureTime + 2ms);
    EXPECT_EQ(d.presentAt, t0 + 3 * kNtscPictureTime);
    // Far behind (a pause): starts again from now instead of rushing.
    const PacingClock::time_point later = t0 + 10s;
    d = pacer.onVsync(11, false, false, later);
    EXPECT_EQ(d.presentAt, later);
    // PAL timing paces at 50 pictures a second.
    EXPECT_EQ(pacer.onVsync(12, true, false, later).presentAt, later + kPalPictureTime);
    // Unthrottled: every new picture at once, and nothing old again.
    const PacingClock::time_point fast = later + kPalPictureTime;
    EXPECT_EQ(pacer.onVsync(13, false, true, fast).presentAt, fast);
    EXPECT_EQ(pacer.onVsync(14, false, true, fast).presentAt, fast);
    EXPECT_FALSE(pacer.onVsync(14, false, true, fast).present);
    // A new window shows the current picture even when it is not new.
    pacer.presentNext();
    EXPECT_TRUE(pacer.onVsync(14, false, false, fast + 1ms).present);
}

TEST(PictureFit, FourByThreeCentredInAnyWindow) {
    EXPECT_EQ(fitFourByThree(640, 480), (PictureRect{0, 0, 640, 480}));
    EXPECT_EQ(fitFourByThree(1920, 1080), (PictureRect{240, 0, 1440, 1080}));  // bars left and right
    EXPECT_EQ(fitFourByThree(800, 1000), (PictureRect{0, 200, 800, 600}));     // bars above and below
    EXPECT_EQ(fitFourByThree(0, 480), PictureRect{});
}

TEST(GsSettingsFile, RoundTripAndValuesOutOfRangeKeepTheDefaults) {
    const std::string path = "gs-settings-round-trip.ini";
    std::remove(path.c_str());
    EXPECT_EQ(readGsSettings(path), GsSettings{});
    const GsSettings chosen{3, false};
    ASSERT_TRUE(writeGsSettings(path, chosen));
    EXPECT_EQ(readGsSettings(path), chosen);
    std::ofstream(path) << "[window]\nscale=9\nfilter=blurry\n";
    testing::internal::CaptureStderr();
    EXPECT_EQ(readGsSettings(path), GsSettings{});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Scale=9"), std::string::npos) << said;
    EXPECT_NE(said.find("Filter=blurry"), std::string::npos) << said;
    std::remove(path.c_str());
}

}  // namespace
