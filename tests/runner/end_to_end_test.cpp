// End-to-end tests of the built corvane-run on the probe program. The
// runner is started as a child process in a folder of the test's own (it
// creates Log.txt there); the probe's symbol addresses are read by loading
// it in this process too.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/ee_state.h"
#include "json_reader.h"
#include "run_corvane_run.h"
#include "runner/state_json.h"
#include "support/golden.h"
#include "support/guest_machine.h"

namespace {

const std::string kProbe = guestProgramPath("runner_probe");
const std::string kS0 = "ccddeeff8899aabb4455667700112233";

u32 probeSymbol(const std::string& name) {
    EXPECT_TRUE(loadGuestProgram("runner_probe"));
    return guestSymbol(name);
}

std::string hex8(u32 value) { return hexDigits(value, 8); }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

using RunnerEndToEnd = RunnerInOwnFolder;

TEST_F(RunnerEndToEnd, RunsToTheIdleLoopAndWritesTheState) {
    const u32 idle = probeSymbol("_idle");
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const std::string cycles = std::to_string(ee.cycle);

    std::remove("state.json");
    const RunResult run = runCorvaneRun(withNullPlugins({kProbe, "--state-out", "state.json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "stopped: idle-loop at 0x" + hex8(idle) + " after " + cycles + " cycles, 0 vblanks\n");
    EXPECT_EQ(run.err, "");
    // The probe leaves a value in each kind of register: every GPR, HI, LO
    // and SA, an FPR and the FPU control words, COP0, a VU0 vector.
    EXPECT_TRUE(matchesGolden(goldenFile("probe_state.json"), readFile("state.json")));
}

TEST_F(RunnerEndToEnd, UntilStopsBeforeTheProgramReturns) {
    const u32 until = probeSymbol("until_here");
    const RunResult run = runCorvaneRun(withNullPlugins({"--until", hex8(until), "--state-out", "until.json", kProbe}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("stopped: until at 0x" + hex8(until) + " after ")) << run.out;
    const auto state = parseJson(readFile("until.json"));
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ((*state)["stop"], "until");
    EXPECT_EQ((*state)["gpr.16"], kS0) << "set before the stop";
    EXPECT_EQ((*state)["gpr.2"], std::string(32, '0')) << "not yet returned";
}

TEST_F(RunnerEndToEnd, MemoryOutWritesTheBytesAsTheRunLeftThem) {
    const u32 results = probeSymbol("results");
    const RunResult run = runCorvaneRun(withNullPlugins({kProbe, "--memory-out", "0x" + hex8(results | 0x80000000) + ":66:dump.bin"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string dump = readFile("dump.bin");
    ASSERT_EQ(dump.size(), 66u);
    for (unsigned i = 0; i < 64; ++i) EXPECT_EQ(static_cast<u8>(dump[i]), static_cast<u8>(3 * i + 1)) << i;
    EXPECT_EQ(dump.substr(64), std::string(2, '\0')) << "past the array: the zeroed rest of .bss";
}

// 1 when the program cannot be loaded or an output cannot be written (after
// the run, which is still reported), 2 on a usage error.
TEST_F(RunnerEndToEnd, ExitCodesAndTheirMessages) {
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string errMentions, outStarts;
    };
    const Case cases[] = {
        {{"no-such-program.elf"}, 1, "'no-such-program.elf': No such file", ""},
        {{"--max-cycles", "1000", "."}, 1, "it is a directory", ""},
        {{kProbe, "--state-out", "no-such-dir/state.json"}, 1, "no-such-dir/state.json", "stopped: idle-loop"},
        {{kProbe, "--memory-out", "0:16:/dev/full"}, 1, "/dev/full", "stopped: idle-loop"},  // fails at the flush
        {{"--bogus", kProbe}, 2, "usage: corvane-run", ""},
        {{"--help"}, 0, "", "usage: corvane-run"},
    };
    for (const Case& c : cases) {
        const RunResult run = runCorvaneRun(withNullPlugins(c.arguments));
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_TRUE(contains(run.err, c.errMentions)) << run.err;
        EXPECT_TRUE(run.out.starts_with(c.outStarts) && run.out.empty() == c.outStarts.empty()) << run.out;
    }
}

// A file that is no ELF, or has nothing to load, is refused before
// anything runs (it would run zeroed memory until stopped).
TEST_F(RunnerEndToEnd, FilesThatAreNoLoadableElfAreRefused) {
    std::ofstream("short.bin") << "not an executable";
    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream("garbage.bin", std::ios::binary) << garbage;
    std::string headerOnly(52, '\0');
    headerOnly.replace(0, 7, "\x7F" "ELF\1\1\1");
    std::ofstream("empty.elf", std::ios::binary) << headerOnly;

    for (const char* file : {"short.bin", "garbage.bin", "/dev/null", "empty.elf"}) {
        const RunResult run = runCorvaneRun(withNullPlugins({file}));
        EXPECT_EQ(run.exitCode, 1) << file << ": " << run.err;
        EXPECT_TRUE(contains(run.err, std::string("cannot load program '") + file + "'")) << run.err;
        EXPECT_EQ(run.out, "") << file;
    }
}

// A test harness as SDK programs write one: a more urgent thread runs the
// test body and prints through the file service, the program waits on a
// semaphore the body signals, then exits with the body's verdict. The body
// sleeps on an alarm half-way, so the program must really wait.
TEST_F(RunnerEndToEnd, AThreadedTestHarnessPrintsItsBodyAndExits) {
    const RunResult run = runCorvaneRun(
        withNullPlugins({guestProgramPath("thread_harness"), "--tty", "-", "--max-cycles", "50000000", "--state-out", "state.json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string printed = "body: start\nmain: waiting for the body\nbody: 6 * 7 = 42\nbody: done\nmain: body finished\n";
    ASSERT_TRUE(run.out.starts_with(printed)) << run.out;
    const std::string summary = run.out.substr(printed.size());
    EXPECT_TRUE(summary.starts_with("stopped: exit at 0x")) << summary;
    EXPECT_TRUE(summary.ends_with(", exit code 3\n")) << summary;
    const auto state = parseJson(readFile("state.json"));
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ((*state)["stop"], "exit");
    EXPECT_EQ((*state)["exitCode"], "3");
    EXPECT_EQ((*state)["thread"], "1") << "the program's main thread called Exit";
}

// Guest mistakes of several parts of the machine: by default only errors
// reach stderr; --log chooses categories, in any letter case or all, and a
// mistake that a loop makes 1000 times is reported once.
TEST_F(RunnerEndToEnd, LogReportsTheChosenCategoriesOncePerCause) {
    ASSERT_TRUE(loadGuestProgram("log_faults"));
    const std::string tagChain = hex8(guestSymbol("loopingTag"));
    const std::string program = guestProgramPath("log_faults");
    const auto linesOf = [](const std::string& text) {
        std::vector<std::string> lines;
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(text.substr(at, end - at));
        return lines;
    };

    const RunResult quiet = runCorvaneRun(withNullPlugins({program}));
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_TRUE(quiet.out.starts_with("stopped: idle-loop")) << quiet.out;
    EXPECT_EQ(quiet.err, "");

    const RunResult kernel = runCorvaneRun(withNullPlugins({"--log", "kernel", program}));
    const std::vector<std::string> kernelLines = linesOf(kernel.err);
    ASSERT_EQ(kernelLines.size(), 3u) << kernel.err;
    EXPECT_TRUE(kernelLines[0].starts_with(
        "corvane-run: kernel guest-error: system call 90 (v1 = 0x0000005A) is not assigned; ignored at 0x"))
        << kernelLines[0];
    EXPECT_EQ(kernelLines[1], "corvane-run: kernel stub: SYSCALL_FlushCache is not emulated; it does nothing");
    EXPECT_EQ(kernelLines[2], "corvane-run: kernel guest-error: AddIntcHandler for 20, which does not exist; ignored");

    const RunResult dmaAndIop = runCorvaneRun(withNullPlugins({"--log", "DMA,iop", program}));
    EXPECT_EQ(dmaAndIop.err, "corvane-run: DMA stub: IPU channel at 0xB400 is not emulated: its start moves nothing\n"
                             "corvane-run: DMA guest-error: tag chain from 0x" + tagChain +
                                 " ran 1048576 tags without an end; cut\n"
                             "corvane-run: IOP stub: no answer for server 0x0000ABCD function 1\n");

    const RunResult all = runCorvaneRun(withNullPlugins({"--log", "all", program}));
    EXPECT_EQ(linesOf(all.err).size(), 6u) << all.err;

    const RunResult bad = runCorvaneRun(withNullPlugins({"--log", "kernel,bogus", program}));
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(contains(bad.err, "unknown log category 'bogus' for --log")) << bad.err;
    EXPECT_EQ(bad.out, "");
}
