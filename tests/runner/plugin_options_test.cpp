// corvane-run's plugin options and --max-vblanks, end to end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/timers.h"
#include "run_corvane_run.h"
#include "runner/options.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

const std::string kProbe = guestProgramPath("runner_probe");
// Given without its final '/', which the runner adds.
const std::string kTestDir = testPluginDir().substr(0, testPluginDir().size() - 1);

using RunnerPluginOptions = RunnerInOwnFolder;

}  // namespace

TEST(RunnerPluginParsing, NoVblankLimitByDefaultOneSlashAfterTheDirectoryAndEmptyValuesRefused) {
    EXPECT_EQ(parseCommandLine({"p.elf"}).options.limits.maxVblanks, UINT64_MAX);
    EXPECT_EQ(parseCommandLine({"--plugin-dir", "/x/", "p.elf"}).options.plugins.dir, "/x/");
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--plugin-dir", "", "p.elf"}, {"--gs", "", "p.elf"}, {"--max-vblanks", "ten", "p.elf"}, {"p.elf", "--cdvd"}}) {
        EXPECT_NE(parseCommandLine(wrong).error, "") << wrong[0];
    }
}

TEST_F(RunnerPluginOptions, NamesEachSlotThatFailedAndWhyThenExits1) {
    const std::string dir = testPluginDir();
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> lines;   // each must appear in stderr
        std::vector<std::string> absent;  // none of these may
    };
    const Case cases[] = {
        {{"--gs", "null_pad.so"},
         {"plugin slot GS: wrong kind: '", "null_pad.so' (it reports kind 2, the GS slot takes 1)"},
         {"PAD1", "SPU2", "CDVD"}},
        {{"--plugin-dir", kTestDir, "--gs", "no_type.so"},
         {"plugin slot GS: not a plugin: '" + dir + "no_type.so' (it exports no PS2EgetLibType)",
          "plugin slot PAD1: file not found: '" + dir + "pad-sdl.so'", "plugin slot PAD2: file not found",
          "plugin slot SPU2: file not found", "plugin slot CDVD: file not found"},
         {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(kProbe);
        const RunResult run = runCorvaneRun(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments[1];
        EXPECT_EQ(run.out, "") << "nothing runs";
        for (const std::string& line : c.lines) EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
        for (const std::string& slot : c.absent) EXPECT_EQ(run.err.find(slot), std::string::npos) << run.err;
    }
}

// With the test plugins named, which the runner must put each in its slot to run at all.
TEST_F(RunnerPluginOptions, MaxVblanksStopsAtTheNthVerticalBlank) {
    const RunResult run = runCorvaneRun({"--plugin-dir", kTestDir, "--gs", "test_gs.so", "--pad", "test_pad.so", "--spu2",
                                         "test_spu2.so", "--cdvd", "test_cdvd.so", "--max-vblanks", "3",
                                         guestProgramPath("runner_spin")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(run.out.starts_with("stopped: max-vblanks at 0x")) << run.out;
    EXPECT_TRUE(run.out.ends_with(", 3 vblanks\n")) << run.out;
    // A timed vertical blank falls due once per frame.
    const u64 cycles = std::stoull(run.out.substr(run.out.find(" after ") + 7));
    EXPECT_GE(cycles, 2 * kFrameCycles) << run.out;
    EXPECT_LE(cycles, 3 * kFrameCycles + 16) << run.out;
}

// The shipped GS saves its picture before the plugins close; the picture of
// a program that set up no display is the blank one.
TEST_F(RunnerPluginOptions, SnapshotAtEndWritesTheGsPictureIntoScreens) {
    std::remove("Screens/snap000.png");  // left by an earlier run
    const RunResult run = runCorvaneRun({"--snapshot-at-end", kProbe});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string png = readFile("Screens/snap000.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    const auto bigEndian = [&](std::size_t at) {
        return (u32(u8(png[at])) << 24) | (u32(u8(png[at + 1])) << 16) | (u32(u8(png[at + 2])) << 8) | u8(png[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), 640u);  // the header's width and height
    EXPECT_EQ(bigEndian(20), 448u);
    EXPECT_TRUE(parseCommandLine({"--snapshot-at-end", "p.elf"}).options.snapshotAtEnd);
    EXPECT_FALSE(parseCommandLine({"p.elf"}).options.snapshotAtEnd);
}
