// A program that starts up the way programs built with the open-source SDK
// do (module loads, module-list walk, timer-1 clock, controller discovery,
// CSR vertical-blank and FINISH waits) reaches its frame loop: headless
// through corvane-run with the bundled plugins, and in this process with
// the recording GS counting the GIF packets of every frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "memory/bus.h"
#include "plugins/recording.h"
#include "run_corvane_run.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

constexpr u32 kFinalStage = 7;
constexpr u32 kFrames = 30;

// struct Progress in sdk_start_up.c.
struct Progress {
    u32 stage;
    u32 moduleIds[3];
    u32 soundAnswer;
    u32 overflows;
    u32 dualShockMode;
    u32 portOneWaited;
    u32 frames;
    char console[64];
};

Progress readProgress(const std::string& bytes) {
    Progress progress{};
    EXPECT_EQ(bytes.size(), sizeof progress);
    std::memcpy(&progress, bytes.data(), std::min(bytes.size(), sizeof progress));
    return progress;
}

void expectFrameLoopReached(const Progress& progress) {
    EXPECT_EQ(progress.stage, kFinalStage);
    EXPECT_EQ(progress.moduleIds[0], 0x10u);
    EXPECT_EQ(progress.moduleIds[1], 0x11u);
    EXPECT_EQ(progress.moduleIds[2], 0x12u) << "the sound module was not found loaded, so it was loaded";
    EXPECT_EQ(progress.soundAnswer, 0xFFFFFFFFu) << "a server nobody provides answers -1";
    EXPECT_EQ(progress.dualShockMode, 1u);
    EXPECT_GE(progress.portOneWaited, 576000u / 5) << "the 200 ms time-out ran out";
    EXPECT_GE(progress.overflows, 1u);
    EXPECT_EQ(progress.frames, kFrames);
    EXPECT_STREQ(progress.console, "Welcome to the SDK start-up test");
}

using SdkStartUp = RunnerInOwnFolder;

TEST_F(SdkStartUp, ReachesItsFrameLoopHeadlessWithTheBundledPlugins) {
    ASSERT_TRUE(loadGuestProgram("sdk_start_up"));
    const u32 progress = guestSymbol("progress");
    char range[64];
    std::snprintf(range, sizeof range, "0x%08X:%zu:progress.bin", progress, sizeof(Progress));
    const RunResult run = runCorvaneRun(
        {guestProgramPath("sdk_start_up"), "--max-cycles", "300000000", "--memory-out", range, "--log", "IOP"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("stopped: idle-loop", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "corvane-run: IOP stub: no answer for server 0x0000ABCD function 1\n");
    expectFrameLoopReached(readProgress(readFile("progress.bin")));
}

TEST_F(SdkStartUp, SendsGifPacketsEveryFrame) {
    useTestPlugins();
    ASSERT_TRUE(loadGuestProgram("sdk_start_up"));
    clearRecording();
    scriptGsRead(0x12001000, 0x2);  // FINISH: the recording GS draws nothing
    // The recording GS logs every CSR read, so a program stuck polling CSR
    // is cut off early rather than left to fill the log.
    ASSERT_EQ(runGuest(40'000'000), StopReason::IdleLoop);
    const u32 progress = guestSymbol("progress");
    expectFrameLoopReached(readProgress(std::string(reinterpret_cast<const char*>(memory.ram + progress), sizeof(Progress))));
    u32 transfers = 0, vsyncs = 0;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.library != "gs") continue;
        if (call.entry == "GSgifTransfer") {
            ++transfers;
            EXPECT_EQ(call.args, std::vector<u64>{1}) << "one quadword each: the chain's, never the block again";
        }
        if (call.entry == "GSvsync") ++vsyncs;
    }
    EXPECT_EQ(transfers, kFrames);
    EXPECT_GE(vsyncs, kFrames);
    useNoPlugins();
}

}  // namespace
