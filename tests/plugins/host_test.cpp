// The plugin host through real dlopen: which library each slot takes, the
// orders of the life-cycle calls, the guarded calls and reloading; then the
// bundled plugins as the runner loads them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

using Entries = std::vector<std::string>;

// "library:entry", then each argument in hex and the text in quotes. The
// GSvsync and PADkeyEvent calls that every run makes are left out.
Entries describedCalls() {
    Entries described;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.entry == "GSvsync" || call.entry == "PADkeyEvent") continue;
        std::ostringstream out;
        out << call.library << ':' << call.entry << std::hex;
        for (const u64 arg : call.args) out << ' ' << arg;
        if (!call.text.empty()) out << " '" << call.text << "'";
        described.push_back(out.str());
    }
    return described;
}

// A run of a few no-operations from address 0 of the cleared RAM.
void runBriefly() {
    programLoaded = 1;
    emuRunWithLimits(RunLimits{.maxCycles = 8});
}

// Each test starts with the four recording plugins loaded and initialised.
class PluginHost : public testing::Test {
protected:
    void SetUp() override {
        useTestPlugins();
        resetMachine();
        clearRecording();
    }
    void TearDown() override {
        bootedFromDisc = 0;
        useNoPlugins();
        resetMachine();
    }
};

}  // namespace

// Every slot takes its own kind: the set-up fills them all with the recording plugins.
TEST_F(PluginHost, ASlotRefusesALibraryOfAnotherKindOrNoPluginAtAll) {
    struct Case {
        PluginSlot slot;
        u32 (*load)(const std::string&);
        std::string file;
        PluginLoadFailure failure;
    };
    const Case cases[] = {
        {PluginSlot::Gs, loadGsPlugin, "bare_pad.so", PluginLoadFailure::WrongKind},
        // GS and PAD at once: each bit alone would do, the mask is neither.
        {PluginSlot::Gs, loadGsPlugin, "wrong_kind.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Pad2, loadPad2Plugin, "wrong_kind.so", PluginLoadFailure::WrongKind},
        {PluginSlot::Pad1, loadPad1Plugin, "not_a_plugin.so", PluginLoadFailure::NotAPlugin},
        {PluginSlot::Spu2, loadSpu2Plugin, "", PluginLoadFailure::FileNotFound},  // the directory alone
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.load(testPluginDir() + c.file), 0u) << c.file;
        const PluginSlotStatus& status = pluginSlotStatus(c.slot);
        EXPECT_EQ(status.failure, c.failure) << c.file << " in " << pluginSlotName(c.slot) << ": " << status.detail;
    }
}

TEST_F(PluginHost, ResetShutsDownReloadsAndInitialisesInTheFixedOrders) {
    resetMachine();
    // The PAD library stays mapped: while PAD1 is reloaded, PAD2 still holds it.
    const Entries expected = {
        "gs:GSshutdown", "cdvd:CDVDshutdown", "pad:PADshutdown", "pad:PADshutdown", "spu2:SPU2shutdown",
        "gs:unload",     "gs:load",           "spu2:unload",     "spu2:load",       "cdvd:unload",
        "cdvd:load",     "gs:GSinit",         "cdvd:CDVDinit",   "pad:PADinit 1",   "pad:PADinit 2",
        "spu2:SPU2init",
    };
    EXPECT_EQ(describedCalls(), expected);
}

TEST_F(PluginHost, EachRunOpensAndClosesOnceAndClosesTheCdvdOnlyAfterADiscBoot) {
    std::ostringstream handle;
    handle << std::hex << reinterpret_cast<std::uintptr_t>(&displayHandle) << ' ';
    const std::string at = handle.str();
    // SPU2 and PAD see the 600d that the recording GS's GSopen stored.
    const Entries opening = {"gs:GSopen " + at + "'Corvane Engine'", "spu2:SPU2open " + at + "600d",
                             "pad:PADopen " + at + "600d", "pad:PADopen " + at + "600d"};
    Entries closing = {"gs:GSclose", "pad:PADclose", "pad:PADclose", "spu2:SPU2close"};
    displayHandle = 0;
    for (const u32 disc : {0u, 1u}) {
        bootedFromDisc = disc;
        if (disc) closing.insert(closing.begin() + 1, "cdvd:CDVDclose");
        Entries oneRun = opening;
        oneRun.insert(oneRun.end(), closing.begin(), closing.end());
        for (int run = 0; run < 2; ++run) {
            clearRecording();
            runBriefly();
            EXPECT_EQ(describedCalls(), oneRun) << "bootedFromDisc " << disc << ", run " << run;
        }
        clearRecording();
        emuStop();
        EXPECT_EQ(describedCalls(), Entries{}) << "a second stop while idle";
    }

    openPlugins();
    pluginsOpened = 1;
    clearRecording();
    runBriefly();
    EXPECT_EQ(describedCalls(), closing) << "a run started while open does not open again";
}

TEST_F(PluginHost, CallsReachTheLibraryWithTheirArgumentsAndAnswers) {
    scriptGsRead(0x12001000, 0x1122334455667788ull);
    scriptPollAnswers("pad", {0x41});
    gsWrite32(0x12000010, 0xAABBCCDD);
    gsWrite64(0x12000020, 0x0102030405060708ull);
    EXPECT_EQ(gsRead32(0x12001000), 0x55667788u);
    EXPECT_EQ(gsRead64(0x12001000), 0x1122334455667788ull);
    padStartPoll(PadSlot::Pad1, 1);
    EXPECT_EQ(padPoll(PadSlot::Pad1, 0x42), 0x41);
    cdvdLoc sector16{0, 2, 16, 0};
    EXPECT_EQ(cdvdReadTrack(&sector16), 0u);
    const u8* buffer = cdvdGetBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[24], 16) << "filled with the frame number by the recording CDVD";

    const Entries expected = {
        "gs:GSwrite32 12000010 aabbccdd", "gs:GSwrite64 12000020 102030405060708",
        "gs:GSread32 12001000",           "gs:GSread64 12001000",
        "pad:PADstartPoll 1",             "pad:PADpoll 42 41",
        "cdvd:CDVDreadTrack 0 2 10",      "cdvd:CDVDgetBuffer",
    };
    EXPECT_EQ(describedCalls(), expected);

    // A slot that refuses a new library no longer calls the old one.
    EXPECT_EQ(loadGsPlugin(testPluginDir() + "bare_pad.so"), 0u);
    clearRecording();
    EXPECT_EQ(gsRead32(0x12001000), 0u);
    EXPECT_EQ(recordedEntries(), Entries{});
}

TEST_F(PluginHost, EntryPointsALibraryLacksAreSkippedAndReadsAnswerAsFailures) {
    overridePluginConfig({testPluginDir(), "bare_gs.so", "bare_spu2.so", "bare_pad.so", "bare_cdvd.so"});
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
    for (const PadSlot pad : {PadSlot::Pad1, PadSlot::Pad2}) {
        padStartPoll(pad, 1);
        EXPECT_EQ(padPoll(pad, 0x42), 0);
        EXPECT_EQ(padKeyEvent(pad), nullptr);
    }
    EXPECT_EQ(gsRead32(0x12001000), 0u);
    EXPECT_EQ(gsRead64(0x12001000), 0u);
    cdvdLoc location{0, 2, 16, 0};
    EXPECT_EQ(cdvdReadTrack(&location), 0xFFFFFFFFu);
    EXPECT_EQ(cdvdGetBuffer(), nullptr);
    EXPECT_EQ(describedCalls(), (Entries{"bare_gs:GSinit", "bare_cdvd:CDVDinit", "bare_pad:PADinit 1",
                                         "bare_pad:PADinit 2", "bare_spu2:SPU2init"}));
}

TEST_F(PluginHost, Pad1AndPad2AreIndependentTables) {
    ASSERT_EQ(loadPad2Plugin(testPluginDir() + "test_pad_b.so"), 1u);
    clearRecording();
    initPlugins();
    scriptPollAnswers("pad", {0x11});
    scriptPollAnswers("pad_b", {0x22});
    padStartPoll(PadSlot::Pad2, 2);
    EXPECT_EQ(padPoll(PadSlot::Pad1, 0x01), 0x11);
    EXPECT_EQ(padPoll(PadSlot::Pad2, 0x01), 0x22);
    const Entries expected = {"gs:GSinit", "cdvd:CDVDinit", "pad:PADinit 1", "pad_b:PADinit 2", "spu2:SPU2init",
                              "pad_b:PADstartPoll 2", "pad:PADpoll 1 11", "pad_b:PADpoll 1 22"};
    EXPECT_EQ(describedCalls(), expected);
}

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

// The null GS finishes every transfer at once, so CSR always shows FINISH,
// even right after the guest wrote it back to acknowledge it (the SDK
// start-up test runs such a frame loop on it).
TEST_F(BundledPlugins, GsReportsFinishInCsr) {
    for (int read = 0; read < 2; ++read) EXPECT_EQ(gsRead32(0x12001000), 0x2u);
    EXPECT_EQ(gsRead64(0x12001000), 0x2u);
    EXPECT_EQ(gsRead32(0x12001010), 0u) << "other registers read 0";
}

TEST_F(BundledPlugins, CdvdServesTheImageNamedInTheEnvironment) {
    constexpr unsigned kSectors = 20;
    cdvdLoc sector16{0, 2, 16, 0}, pastTheEnd{0, 2, kSectors, 0}, leadIn{0, 1, 74, 0};
    // An ISO image holds the 2048 user bytes alone, a raw one 2352-byte sectors with them at 24.
    for (const unsigned sectorSize : {2048u, 2352u}) {
        const std::string path = "image-" + std::to_string(sectorSize) + ".bin";
        std::vector<char> bytes(kSectors * sectorSize, 0);
        for (unsigned sector = 0; sector < kSectors; ++sector) {
            char* user = &bytes[sector * sectorSize + (sectorSize == 2048 ? 0 : 24)];
            for (unsigned i = 0; i < 2048; ++i) user[i] = char(sector * 3 + i);
        }
        std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
        setenv("CORVANE_CDVD_IMAGE", path.c_str(), 1);
        cdvdOpen();
        ASSERT_EQ(cdvdReadTrack(&sector16), 0u) << sectorSize;
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
