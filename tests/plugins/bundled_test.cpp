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
        clearPluginConfigOverride();
    }
};

}  // namespace

TEST_F(BundledPlugins, FillEverySlot) {
    for (const PluginSlot slot : {PluginSlot::Gs, PluginSlot::Pad1, PluginSlot::Pad2, PluginSlot::Spu2,
                                  PluginSlot::Cdvd}) {
        EXPECT_EQ(pluginSlotStatus(slot).failure, PluginLoadFailure::None)
            << pluginSlotName(slot) << ": " << pluginSlotStatus(slot).detail;
    }
}

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
    struct Case {
        const char* name;
        unsigned sectorSize;
        unsigned userOffset;  // where the user bytes lie in the file's sector
    };
    const Case cases[] = {{"iso", 2048, 0}, {"raw", 2352, 24}};
    constexpr unsigned kSectors = 20;
    for (const Case& c : cases) {
        const std::string path = std::string("image-") + c.name + ".bin";
        {
            std::vector<char> bytes(kSectors * c.sectorSize, 0);
            for (unsigned sector = 0; sector < kSectors; ++sector) {
                for (unsigned i = 0; i < 2048; ++i) bytes[sector * c.sectorSize + c.userOffset + i] = char(sector * 3 + i);
            }
            std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
        }
        setenv("CORVANE_CDVD_IMAGE", path.c_str(), 1);
        cdvdOpen();
        cdvdLoc sector16{0, 2, 16, 0};
        ASSERT_NE(cdvdReadTrack(&sector16), 0xFFFFFFFFu) << c.name;
        const u8* buffer = cdvdGetBuffer();
        ASSERT_NE(buffer, nullptr) << c.name;
        EXPECT_EQ(buffer[24], 48) << c.name;
        EXPECT_EQ(buffer[24 + 2047], u8(48 + 2047)) << c.name;

        cdvdLoc pastTheEnd{0, 2, kSectors, 0};
        cdvdLoc leadIn{0, 1, 74, 0};
        for (cdvdLoc* location : {&pastTheEnd, &leadIn}) {
            EXPECT_EQ(cdvdReadTrack(location), 0xFFFFFFFFu) << c.name;
            EXPECT_EQ(cdvdGetBuffer(), nullptr) << c.name;
        }
        bootedFromDisc = 1;
        closePlugins();
        bootedFromDisc = 0;
    }
    unsetenv("CORVANE_CDVD_IMAGE");
    cdvdOpen();
    cdvdLoc sector16{0, 2, 16, 0};
    EXPECT_EQ(cdvdReadTrack(&sector16), 0xFFFFFFFFu);
}
