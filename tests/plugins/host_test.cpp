// The plugin host through real dlopen: which libraries each slot takes,
// the orders of the life-cycle calls, the guarded calls, and reloading.
#include <gtest/gtest.h>

#include <cstdint>
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

namespace {

// The entries of the life-cycle calls (and loads) in the log, in order.
Entries lifeCycleEntries() {
    Entries entries;
    for (const std::string& entry : recordedEntries()) {
        if (entry.find("PADkeyEvent") == std::string::npos && entry.find("GSvsync") == std::string::npos) {
            entries.push_back(entry);
        }
    }
    return entries;
}

// A run of a few no-operations from address 0 of the cleared RAM.
void runBriefly() {
    programLoaded = 1;
    RunLimits limits;
    limits.maxCycles = 8;
    emuRunWithLimits(limits);
}

}  // namespace

TEST_F(PluginHost, ResetShutsDownReloadsAndInitialisesInTheFixedOrders) {
    resetMachine();
    // The PAD library stays mapped: while PAD1 is reloaded, PAD2 still holds it.
    const Entries expected = {
        "gs:GSshutdown", "cdvd:CDVDshutdown", "pad:PADshutdown", "pad:PADshutdown", "spu2:SPU2shutdown",
        "gs:unload",     "gs:load",           "spu2:unload",     "spu2:load",       "cdvd:unload",
        "cdvd:load",     "gs:GSinit",         "cdvd:CDVDinit",   "pad:PADinit",     "pad:PADinit",
        "spu2:SPU2init",
    };
    EXPECT_EQ(lifeCycleEntries(), expected);
    const std::vector<RecordedCall> calls = recordedCalls();
    std::vector<u64> ports;
    for (const RecordedCall& call : calls) {
        if (call.entry == "PADinit") ports.push_back(call.args.at(0));
    }
    EXPECT_EQ(ports, (std::vector<u64>{1, 2}));
}

TEST_F(PluginHost, EachRunOpensAndClosesOnceAndClosesTheCdvdOnlyAfterADiscBoot) {
    struct Case {
        u32 bootedFromDisc;
        Entries closing;
    };
    const Case cases[] = {
        {0, {"gs:GSclose", "pad:PADclose", "pad:PADclose", "spu2:SPU2close"}},
        {1, {"gs:GSclose", "cdvd:CDVDclose", "pad:PADclose", "pad:PADclose", "spu2:SPU2close"}},
    };
    const Entries opening = {"gs:GSopen", "spu2:SPU2open", "pad:PADopen", "pad:PADopen"};
    for (const Case& c : cases) {
        bootedFromDisc = c.bootedFromDisc;
        clearRecording();
        runBriefly();
        runBriefly();
        Entries expected = opening;
        expected.insert(expected.end(), c.closing.begin(), c.closing.end());
        expected.insert(expected.end(), opening.begin(), opening.end());
        expected.insert(expected.end(), c.closing.begin(), c.closing.end());
        EXPECT_EQ(lifeCycleEntries(), expected) << "bootedFromDisc " << c.bootedFromDisc;

        // A second stop while idle closes nothing more.
        clearRecording();
        emuStop();
        EXPECT_EQ(lifeCycleEntries(), Entries{});
    }
}

TEST_F(PluginHost, ARunStartedWhileOpenDoesNotOpenAgain) {
    openPlugins();
    pluginsOpened = 1;
    clearRecording();
    runBriefly();
    EXPECT_EQ(lifeCycleEntries(), (Entries{"gs:GSclose", "pad:PADclose", "pad:PADclose", "spu2:SPU2close"}));
}

TEST_F(PluginHost, OpenHandsEveryPluginTheDisplayHandleThatGsStored) {
    displayHandle = 0;
    runBriefly();
    const u64 handleAddress = reinterpret_cast<std::uintptr_t>(&displayHandle);
    int opened = 0;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.entry == "GSopen") {
            EXPECT_EQ(call.args.at(0), handleAddress);
            EXPECT_EQ(call.text, "Corvane Engine");
            ++opened;
        } else if (call.entry == "SPU2open" || call.entry == "PADopen") {
            EXPECT_EQ(call.args.at(0), handleAddress) << call.entry;
            EXPECT_EQ(call.args.at(1), 0x600Du) << call.entry;  // stored by the recording GS's GSopen
            ++opened;
        }
    }
    EXPECT_EQ(opened, 4);
}

TEST_F(PluginHost, CallsReachTheLibraryWithTheirArgumentsAndAnswers) {
    scriptGsRead(0x12001000, 0x1122334455667788ull);
    scriptPollAnswers("pad", {0x41, 0x5A});
    scriptKeyEvents("pad", {{0x1B, KEYPRESS}});
    const u32 gif[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    gsGifTransfer(gif, 2);
    gsWrite32(0x12000010, 0xAABBCCDD);
    gsWrite64(0x12000020, 0x0102030405060708ull);
    EXPECT_EQ(gsRead32(0x12001000), 0x55667788u);
    EXPECT_EQ(gsRead64(0x12001000), 0x1122334455667788ull);
    keyEvent released{0x77, KEYRELEASE};
    gsKeyEvent(&released);
    gsMakeSnapshot("Screens/");
    padStartPoll(PadSlot::Pad1, 1);
    EXPECT_EQ(padPoll(PadSlot::Pad1, 0x01), 0x41);
    EXPECT_EQ(padPoll(PadSlot::Pad1, 0x42), 0x5A);
    const keyEvent* pressed = padKeyEvent(PadSlot::Pad1);
    ASSERT_NE(pressed, nullptr);
    EXPECT_EQ(pressed->key, 0x1Bu);
    EXPECT_EQ(pressed->event, u32{KEYPRESS});
    EXPECT_EQ(padKeyEvent(PadSlot::Pad1), nullptr);
    cdvdLoc sector16{0, 2, 16, 0};
    EXPECT_NE(cdvdReadTrack(&sector16), 0xFFFFFFFFu);
    const u8* buffer = cdvdGetBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[24], 16);  // the recording CDVD's pattern starts with the logical sector

    const std::vector<RecordedCall> calls = recordedCalls();
    ASSERT_EQ(calls.size(), 14u);
    EXPECT_EQ(calls[0].args, (std::vector<u64>{2}));
    EXPECT_EQ(calls[0].data, std::vector<u32>(gif, gif + 8));
    EXPECT_EQ(calls[1].args, (std::vector<u64>{0x12000010, 0xAABBCCDD}));
    EXPECT_EQ(calls[2].args, (std::vector<u64>{0x12000020, 0x0102030405060708ull}));
    EXPECT_EQ(calls[5].args, (std::vector<u64>{0x77, KEYRELEASE}));
    EXPECT_EQ(calls[6].text, "Screens/");
    EXPECT_EQ(calls[7].args, (std::vector<u64>{1}));
    EXPECT_EQ(calls[9].args, (std::vector<u64>{0x42, 0x5A}));
    EXPECT_EQ(calls[12].args, (std::vector<u64>{0, 2, 16}));
}

TEST_F(PluginHost, MissingEntryPointsAndEmptySlotsAreSkippedAndReadsAnswerAsFailures) {
    PluginConfig bare = testPluginConfig();
    bare.gs = "bare_gs.so";
    bare.pad = "bare_pad.so";
    bare.spu = "bare_spu2.so";
    bare.cdvd = "bare_cdvd.so";
    struct Case {
        const char* name;
        PluginConfig config;
        Entries recorded;
    };
    const Case cases[] = {
        {"bare libraries", bare,
         {"bare_gs:GSinit", "bare_cdvd:CDVDinit", "bare_pad:PADinit", "bare_pad:PADinit", "bare_spu2:SPU2init"}},
        {"no libraries", PluginConfig{}, {}},
    };
    for (const Case& c : cases) {
        overridePluginConfig(c.config);
        resetMachine();
        clearRecording();
        shutdownPlugins();
        initPlugins();
        runBriefly();
        bootedFromDisc = 1;
        runBriefly();
        const u32 gif[4] = {};
        gsGifTransfer(gif, 1);
        gsGifTransfer2(gif);
        gsWrite32(0x12000000, 1);
        gsWrite64(0x12000000, 1);
        gsVsync();
        keyEvent event{0x1B, KEYPRESS};
        gsKeyEvent(&event);
        gsMakeSnapshot("Screens/");
        cdvdOpen();
        cdvdLoc location{0, 2, 16, 0};
        for (const PadSlot pad : {PadSlot::Pad1, PadSlot::Pad2}) {
            padStartPoll(pad, 1);
            EXPECT_EQ(padPoll(pad, 0x42), 0) << c.name;
            EXPECT_EQ(padKeyEvent(pad), nullptr) << c.name;
        }
        EXPECT_EQ(gsRead32(0x12001000), 0u) << c.name;
        EXPECT_EQ(gsRead64(0x12001000), 0u) << c.name;
        EXPECT_EQ(cdvdReadTrack(&location), 0xFFFFFFFFu) << c.name;
        EXPECT_EQ(cdvdGetBuffer(), nullptr) << c.name;
        EXPECT_EQ(lifeCycleEntries(), c.recorded) << c.name;
    }
}

TEST_F(PluginHost, ASlotThatRefusesANewLibraryNoLongerCallsTheOldOne) {
    scriptGsRead(0x12001000, 7);
    ASSERT_EQ(gsRead32(0x12001000), 7u);
    EXPECT_EQ(loadGsPlugin(testPlugin("bare_pad.so")), 0u);
    clearRecording();
    EXPECT_EQ(gsRead32(0x12001000), 0u);
    gsVsync();
    EXPECT_EQ(recordedEntries(), Entries{});
}

TEST_F(PluginHost, Pad1AndPad2AreIndependentTables) {
    ASSERT_EQ(loadPad2Plugin(testPlugin("test_pad_b.so")), 1u);
    clearRecording();
    initPlugins();
    scriptPollAnswers("pad", {0x11});
    scriptPollAnswers("pad_b", {0x22});
    scriptKeyEvents("pad_b", {{0x77, KEYRELEASE}});
    padStartPoll(PadSlot::Pad2, 2);
    EXPECT_EQ(padPoll(PadSlot::Pad1, 0x01), 0x11);
    EXPECT_EQ(padPoll(PadSlot::Pad2, 0x01), 0x22);
    EXPECT_EQ(padKeyEvent(PadSlot::Pad1), nullptr);
    const keyEvent* event = padKeyEvent(PadSlot::Pad2);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->key, 0x77u);
    EXPECT_EQ(recordedEntries("pad"), (Entries{"pad:PADinit", "pad:PADpoll", "pad:PADkeyEvent"}));
    EXPECT_EQ(recordedEntries("pad_b"),
              (Entries{"pad_b:PADinit", "pad_b:PADstartPoll", "pad_b:PADpoll", "pad_b:PADkeyEvent"}));
    for (const RecordedCall& call : recordedCalls()) {
        if (call.entry == "PADinit") {
            EXPECT_EQ(call.args.at(0), call.library == "pad" ? 1u : 2u) << call.library;
        }
    }
}
