// The plugins shipped with Corvane, loaded through the host as the runner
// loads them: the null PAD's answers and the CDVD serving a disc image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

class BundledPlugins : public testing::Test {
protected:
    void SetUp() override {
        overridePluginConfig({CORVANE_BUNDLED_PLUGIN_DIR, "null_gs.so", "null_spu2.so", "null_pad.so", "null_cdvd.so"});
        resetMachine();
    }
    void TearDown() override {
        unsetenv("CORVANE_CDVD_IMAGE");
        useNoPlugins();
        resetMachine();
    }
};

}  // namespace

TEST_F(BundledPlugins, PadReportsNoKeysAndADigitalPadWithNothingPressed) {
    for (const PadSlot pad : {PadSlot::Pad1, PadSlot::Pad2}) {
        EXPECT_EQ(padKeyEvent(pad), nullptr);
        for (int poll = 0; poll < 2; ++poll) {  // each start begins the answer again
            padStartPoll(pad, pad == PadSlot::Pad1 ? 1 : 2);
            std::vector<u8> answers;
            for (const u8 sent : {0x42, 0x00, 0x00, 0x00}) answers.push_back(padPoll(pad, sent));
            EXPECT_EQ(answers, (std::vector<u8>{0x41, 0x5A, 0xFF, 0xFF}));
        }
    }
}

TEST_F(BundledPlugins, CdvdServesTheImageNamedInTheEnvironment) {
    constexpr unsigned kSectors = 20;
    cdvdLoc sector16{0, 2, 16, 0};
    cdvdLoc pastTheEnd{0, 2, kSectors, 0};
    cdvdLoc leadIn{0, 1, 74, 0};
    // An ISO image holds the 2048 user bytes alone, a raw one 2352-byte sectors with them at 24.
    for (const unsigned sectorSize : {2048u, 2352u}) {
        const unsigned userOffset = sectorSize == 2048 ? 0 : 24;
        const std::string path = "image-" + std::to_string(sectorSize) + ".bin";
        std::vector<char> bytes(kSectors * sectorSize, 0);
        for (unsigned sector = 0; sector < kSectors; ++sector) {
            for (unsigned i = 0; i < 2048; ++i) bytes[sector * sectorSize + userOffset + i] = char(sector * 3 + i);
        }
        std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
        setenv("CORVANE_CDVD_IMAGE", path.c_str(), 1);
        cdvdOpen();
        ASSERT_NE(cdvdReadTrack(&sector16), 0xFFFFFFFFu) << sectorSize;
        const u8* buffer = cdvdGetBuffer();
        ASSERT_NE(buffer, nullptr) << sectorSize;
        EXPECT_EQ(buffer[24], 48) << sectorSize;
        EXPECT_EQ(buffer[24 + 2047], u8(48 + 2047)) << sectorSize;
        for (cdvdLoc* location : {&pastTheEnd, &leadIn}) {
            EXPECT_EQ(cdvdReadTrack(location), 0xFFFFFFFFu) << sectorSize;
            EXPECT_EQ(cdvdGetBuffer(), nullptr) << sectorSize;
        }
        bootedFromDisc = 1;
        closePlugins();
        bootedFromDisc = 0;
    }
    unsetenv("CORVANE_CDVD_IMAGE");
    cdvdOpen();
    EXPECT_EQ(cdvdReadTrack(&sector16), 0xFFFFFFFFu) << "no image named";
}
