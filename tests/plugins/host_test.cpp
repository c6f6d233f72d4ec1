// The plugin host through real dlopen: which libraries each slot takes,
// the orders of the life-cycle calls, the guarded calls, and reloading.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

using Entries = std::vector<std::string>;

std::string testPlugin(const std::string& file) { return testPluginDir() + file; }

u32 loadInto(PluginSlot slot, const std::string& path) {
    switch (slot) {
    case PluginSlot::Gs: return loadGsPlugin(path);
    case PluginSlot::Pad1: return loadPad1Plugin(path);
    case PluginSlot::Pad2: return loadPad2Plugin(path);
    case PluginSlot::Spu2: return loadSpu2Plugin(path);
    case PluginSlot::Cdvd: return loadCdvdPlugin(path);
    }
    return 0;
}

std::vector<PluginSlotStatus> failuresSeen;
void recordFailures(const std::vector<PluginSlotStatus>& failed) { failuresSeen = failed; }

// Each test starts from a machine with the four recording plugins loaded
// and initialised, and leaves none loaded.
class PluginHost : public testing::Test {
protected:
    void SetUp() override {
        useTestPlugins();
        resetMachine();
        clearRecording();
    }
    void TearDown() override {
        setPluginChoiceHook(nullptr);
        bootedFromDisc = 0;
        useNoPlugins();
        resetMachine();
        clearPluginConfigOverride();
    }
};

}  // namespace

TEST_F(PluginHost, EachSlotTakesOnlyALibraryOfExactlyItsKind) {
    struct Case {
        PluginSlot slot;
        std::string file;
        PluginLoadFailure failure;
    };
    const Case cases[] = {
        {PluginSlot::Gs, "bare_gs.so", PluginLoadFailure::None},
        {PluginSlot::Pad1, "bare_pad.so", PluginLoadFailure::None},
        {PluginSlot::Pad2, "bare_pad.so", PluginLoadFailure::None},
        {PluginSlot::Spu2, "bare_spu2.so", PluginLoadFailure::None},
        {PluginSlot::Cdvd, "bare_cdvd.so", PluginLoadFailure::None},
        {PluginSlot::Gs, "bare_pad.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Spu2, "bare_cdvd.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Cdvd, "bare_gs.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Pad1, "bare_spu2.so", PluginLoadFailure::WrongKind},
        // GS and PAD at once: each bit alone would do, the mask is neither.
        {PluginSlot::Gs, "wrong_kind.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Pad2, "wrong_kind.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Gs, "no_type.so", PluginLoadFailure::NotAPlugin},
        {PluginSlot::Pad1, "not_a_plugin.so", PluginLoadFailure::NotAPlugin},
        {PluginSlot::Cdvd, "absent.so", PluginLoadFailure::FileNotFound},
        {PluginSlot::Spu2, "", PluginLoadFailure::FileNotFound},  // the directory alone
    };
    for (const Case& c : cases) {
        const std::string path = testPlugin(c.file);
        const u32 filled = loadInto(c.slot, path);
        const PluginSlotStatus& status = pluginSlotStatus(c.slot);
        EXPECT_EQ(filled, c.failure == PluginLoadFailure::None ? 1u : 0u) << c.file;
        EXPECT_EQ(status.failure, c.failure) << c.file << " in " << pluginSlotName(c.slot) << ": " << status.detail;
        EXPECT_EQ(status.path, path);
    }
}

TEST_F(PluginHost, LoadAllAsksTheFrontEndOnlyAboutTheSlotsThatFailed) {
    setPluginChoiceHook(recordFailures);
    PluginConfig config = testPluginConfig();
    config.gs = "bare_pad.so";
    config.cdvd = "absent.so";
    overridePluginConfig(config);
    failuresSeen.clear();
    resetMachine();
    ASSERT_EQ(failuresSeen.size(), 2u);
    EXPECT_EQ(failuresSeen[0].slot, PluginSlot::Gs);
    EXPECT_EQ(failuresSeen[0].failure, PluginLoadFailure::WrongKind);
    EXPECT_EQ(failuresSeen[1].slot, PluginSlot::Cdvd);
    EXPECT_EQ(failuresSeen[1].failure, PluginLoadFailure::FileNotFound);
    EXPECT_EQ(pluginsLoaded, 1u);

    failuresSeen.clear();
    useTestPlugins();
    resetMachine();
    EXPECT_TRUE(failuresSeen.empty());
}
