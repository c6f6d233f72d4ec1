// corvane-run's plugin options and --max-vblanks, end to end: the runner
// is started as a child process, each test in a folder of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "memory/timers.h"
#include "runner/options.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

RunResult runCorvaneRun(const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(CORVANE_RUN_PATH)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(open("runner.out", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open("runner.err", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readFile("runner.out"),
            readFile("runner.err")};
}

const std::string kProbe = guestProgramPath("runner_probe");
const std::string kSpin = guestProgramPath("runner_spin");

// The test plugin directory without its final '/': the runner adds it.
std::string testDirWithoutSlash() {
    const std::string dir = testPluginDir();
    return dir.substr(0, dir.size() - 1);
}

class RunnerPluginOptions : public testing::Test {
protected:
    void SetUp() override {
        const std::string folder = std::string("plugins-") + testing::UnitTest::GetInstance()->current_test_info()->name();
        mkdir(folder.c_str(), 0755);
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(".."), 0); }
};

}  // namespace

TEST(RunnerPluginParsing, OptionsSetThePluginsAndTheVblankLimit) {
    const CommandLine defaults = parseCommandLine({"p.elf"});
    ASSERT_EQ(defaults.error, "");
    EXPECT_EQ(defaults.options.plugins, (PluginConfig{"", "null_gs.so", "null_spu2.so", "null_pad.so", "null_cdvd.so"}));
    EXPECT_EQ(defaults.options.limits.maxVblanks, UINT64_MAX);

    const CommandLine given = parseCommandLine({"--plugin-dir", "/x/p", "--gs", "g.so", "--pad", "p.so", "--spu2",
                                                "s.so", "--cdvd", "c.so", "--max-vblanks", "0x10", "p.elf"});
    ASSERT_EQ(given.error, "");
    EXPECT_EQ(given.options.plugins, (PluginConfig{"/x/p/", "g.so", "s.so", "p.so", "c.so"}));
    EXPECT_EQ(given.options.limits.maxVblanks, 16u);
    EXPECT_EQ(parseCommandLine({"--plugin-dir", "/x/", "p.elf"}).options.plugins.dir, "/x/");

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--plugin-dir", "", "p.elf"}, {"--gs", "", "p.elf"}, {"--max-vblanks", "ten", "p.elf"}, {"p.elf", "--cdvd"}}) {
        EXPECT_NE(parseCommandLine(wrong).error, "") << wrong[0];
    }
}

TEST_F(RunnerPluginOptions, RunsWithTheBundledPluginsByDefaultAndWithThoseNamed) {
    const std::vector<std::vector<std::string>> commandLines = {
        {kProbe},
        {"--plugin-dir", testDirWithoutSlash(), "--gs", "test_gs.so", "--pad", "test_pad.so", "--spu2", "test_spu2.so",
         "--cdvd", "test_cdvd.so", kProbe},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        const RunResult run = runCorvaneRun(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.rfind("stopped: idle-loop at 0x", 0), 0u) << run.out;
    }
}

TEST_F(RunnerPluginOptions, NamesEachSlotThatFailedAndWhyThenExits1) {
    const std::string dir = testDirWithoutSlash();
    const std::string testDir = testPluginDir();
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> lines;  // each must appear in stderr
        std::vector<std::string> absent;  // none of these may
    };
    const Case cases[] = {
        {{"--gs", "null_pad.so"},
         {"plugin slot GS: wrong kind: '", "null_pad.so' (it reports kind 2, the GS slot takes 1)"},
         {"PAD1", "SPU2", "CDVD"}},
        {{"--plugin-dir", dir},
         {"plugin slot GS: file not found: '" + testDir + "null_gs.so'", "plugin slot PAD1: file not found",
          "plugin slot PAD2: file not found", "plugin slot SPU2: file not found", "plugin slot CDVD: file not found"},
         {}},
        {{"--plugin-dir", dir, "--gs", "no_type.so", "--pad", "not_a_plugin.so", "--spu2", "test_spu2.so", "--cdvd",
          "wrong_kind.so"},
         {"plugin slot GS: not a plugin: '" + testDir + "no_type.so' (it exports no PS2EgetLibType)",
          "plugin slot PAD1: not a plugin: '" + testDir + "not_a_plugin.so'", "plugin slot PAD2: not a plugin",
          "plugin slot CDVD: wrong kind: '" + testDir + "wrong_kind.so' (it reports kind 3, the CDVD slot takes 8)"},
         {"SPU2"}},
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

TEST_F(RunnerPluginOptions, MaxVblanksStopsAfterTheNthVerticalBlank) {
    for (const u32 vblanks : {1u, 3u}) {
        const RunResult run = runCorvaneRun({"--max-vblanks", std::to_string(vblanks), "--state-out", "state.json", kSpin});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string prefix = "stopped: max-vblanks at 0x";
        ASSERT_EQ(run.out.rfind(prefix, 0), 0u) << run.out;
        const std::string ending = ", " + std::to_string(vblanks) + " vblanks\n";
        ASSERT_GE(run.out.size(), ending.size());
        EXPECT_EQ(run.out.substr(run.out.size() - ending.size()), ending) << run.out;
        // A timed vertical blank falls due once per frame.
        const std::size_t after = run.out.find(" after ");
        const u64 cycles = std::stoull(run.out.substr(after + 7));
        EXPECT_GE(cycles, u64{vblanks} * kFrameCycles - kFrameCycles) << run.out;
        EXPECT_LE(cycles, u64{vblanks} * kFrameCycles + 16) << run.out;
        EXPECT_NE(readFile("state.json").find("\"stop\": \"max-vblanks\""), std::string::npos);
    }
}
