// End-to-end tests of the built corvane-run on the probe program. The
// runner is started as a child process in this suite's build folder (it
// creates Log.txt there); the probe's symbol addresses are read by loading
// it in this process too.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/ee_state.h"
#include "json_reader.h"
#include "runner/run.h"
#include "runner/state_json.h"
#include "support/guest_machine.h"

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
        const int out = open("runner.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("runner.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile("runner.out");
    result.err = readFile("runner.err");
    return result;
}

const std::string kProbe = guestProgramPath("runner_probe");

// The probe's symbols, from loading it here.
u32 probeSymbol(const std::string& name) {
    EXPECT_TRUE(loadGuestProgram("runner_probe"));
    return guestSymbol(name);
}

std::string hex8(u32 value) { return hexDigits(value, 8); }

}  // namespace

// Each test works in a folder of its own, so that tests run in parallel do
// not share their output files.
class RunnerEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        const std::string folder = std::string("e2e-") + testing::UnitTest::GetInstance()->current_test_info()->name();
        mkdir(folder.c_str(), 0755);
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(".."), 0); }
};

TEST_F(RunnerEndToEnd, RunsToTheIdleLoopAndWritesTheState) {
    const u32 idle = probeSymbol("_idle");
    std::remove("state.json");
    const RunResult run = runCorvaneRun({kProbe, "--state-out", "state.json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto state = parseJson(readFile("state.json"));
    ASSERT_TRUE(state.has_value());
    const JsonValue& json = *state;
    EXPECT_EQ(run.out, "stopped: idle-loop at 0x" + hex8(idle) + " after " + json["cycle"].text +
                           " cycles, 0 vblanks\n");
    EXPECT_EQ(run.err, "");

    EXPECT_EQ(json["stop"].text, "idle-loop");
    EXPECT_EQ(json["pc"].text, hex8(idle));
    EXPECT_EQ(json["gpr"][kGprV0].text, "0000000000000000000000000000002a");
    EXPECT_EQ(json["gpr"][16].text, "ccddeeff8899aabb4455667700112233");
    EXPECT_EQ(json["gpr"][kGprRa].text, "000000000000000000000000" + hex8(idle));
    EXPECT_EQ(json["hi"].text, "00000000000000000123456789abcdef");
    EXPECT_EQ(json["lo"].text, "0000000000000000fedcba9876543210");
    EXPECT_EQ(json["sa"].text, "0000000500000048");
    EXPECT_EQ(json["fpr"][7].text, "3fc00000");
    EXPECT_EQ(json["cop0"][15].text, "00002e20");
    EXPECT_EQ(json["vu0"]["vf"][5][0].text, "3f800000");
    EXPECT_EQ(json["vu0"]["vf"][5][1].text, "40000000");
    EXPECT_EQ(json["vu0"]["vf"][5][2].text, "40400000");
    EXPECT_EQ(json["vu0"]["vf"][5][3].text, "40800000");

    // The same program run in this process through the core ends alike.
    ASSERT_TRUE(loadGuestProgram("runner_probe"));
    EXPECT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(json["cycle"].text, std::to_string(ee.cycle));
}

TEST_F(RunnerEndToEnd, UntilStopsAtTheAddressWithOrWithoutPrefix) {
    const u32 until = probeSymbol("until_here");
    for (const std::string& address : {hex8(until), "0x" + hex8(until)}) {
        const RunResult run = runCorvaneRun({"--until", address, "--state-out", "until.json", kProbe});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.rfind("stopped: until at 0x" + hex8(until) + " after ", 0), 0u) << run.out;
        const auto state = parseJson(readFile("until.json"));
        ASSERT_TRUE(state.has_value());
        EXPECT_EQ((*state)["stop"].text, "until");
        EXPECT_EQ((*state)["gpr"][16].text, "ccddeeff8899aabb4455667700112233");  // set before the stop
        EXPECT_EQ((*state)["gpr"][kGprV0].text, std::string(32, '0'));            // not yet returned
    }
}

TEST_F(RunnerEndToEnd, MaxCyclesAgreesWithTheCore) {
    const RunResult run = runCorvaneRun({"--max-cycles", "0x20", kProbe});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(loadGuestProgram("runner_probe"));
    EXPECT_EQ(runGuest(0x20), StopReason::MaxCycles);
    EXPECT_GE(ee.cycle, 0x20u);
    EXPECT_EQ(run.out, summaryLine(StopReason::MaxCycles, ee.pc, ee.cycle, 0) + "\n");
}

TEST_F(RunnerEndToEnd, MemoryOutWritesTheRequestedBytes) {
    const u32 results = probeSymbol("results");
    const RunResult run = runCorvaneRun({kProbe, "--memory-out", "0x" + hex8(results | 0x80000000) + ":64:all.bin",
                                         "--memory-out", std::to_string(results + 62) + ":4:tail.bin"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string all = readFile("all.bin");
    ASSERT_EQ(all.size(), 64u);
    for (unsigned i = 0; i < 64; ++i) EXPECT_EQ(static_cast<u8>(all[i]), static_cast<u8>(3 * i + 1)) << i;
    const std::string tail = readFile("tail.bin");
    ASSERT_EQ(tail.size(), 4u);
    EXPECT_EQ(static_cast<u8>(tail[1]), static_cast<u8>(3 * 63 + 1));
    EXPECT_EQ(tail[2], 0);  // past the array: the zeroed rest of .bss
}

TEST_F(RunnerEndToEnd, UnloadableProgramsExitOne) {
    const RunResult missing = runCorvaneRun({"no-such-program.elf"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no-such-program.elf"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("No such file"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.out, "");

    const RunResult directory = runCorvaneRun({"."});
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_NE(directory.err.find("directory"), std::string::npos) << directory.err;
}

TEST_F(RunnerEndToEnd, UsageErrorsExitTwoWithUsage) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--bogus", kProbe}, {"--max-cycles", "12q", kProbe}, {"--until"}, {}}) {
        const RunResult run = runCorvaneRun(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("usage: corvane-run"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const RunResult help = runCorvaneRun({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--memory-out ADDR:LENGTH:FILE"), std::string::npos);
}

// A file that is no ELF is loaded anyway, with a warning, and runs without
// crashing; a short one included.
TEST_F(RunnerEndToEnd, NonElfFilesWarnAndStillRun) {
    {
        std::ofstream shortFile("short.bin", std::ios::binary);
        shortFile << "not an executable";
    }
    std::vector<char> garbage(4096);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream("garbage.bin", std::ios::binary).write(garbage.data(), garbage.size());

    for (const char* file : {"short.bin", "garbage.bin"}) {
        const RunResult run = runCorvaneRun({"--max-cycles", "100000", file});
        EXPECT_EQ(run.exitCode, 0) << file << ": " << run.err;
        EXPECT_NE(run.err.find("warning"), std::string::npos) << file;
        EXPECT_NE(run.err.find(file), std::string::npos) << file;
        EXPECT_EQ(run.out.rfind("stopped: ", 0), 0u) << file << ": " << run.out;
    }
}

TEST_F(RunnerEndToEnd, UnwritableOutputsExitOneAfterTheRun) {
    const RunResult run = runCorvaneRun({kProbe, "--state-out", "no-such-dir/state.json"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.rfind("stopped: idle-loop", 0), 0u) << run.out;
    EXPECT_NE(run.err.find("no-such-dir/state.json"), std::string::npos) << run.err;

    const RunResult full = runCorvaneRun({kProbe, "--memory-out", "0:4096:/dev/full"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("/dev/full"), std::string::npos) << full.err;
}
