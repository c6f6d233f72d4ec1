// corvane-run --save-state and --load-state: a program saved mid-run and
// loaded by a new corvane-run continues exactly as the uninterrupted run,
// and a state that cannot be loaded stops the runner with its reason.
#include <gtest/gtest.h>

#include <fstream>

#include "machine_workout.h"
#include "runner/run_corvane_run.h"
#include "support/guest_machine.h"

namespace {

const std::string kWorkout = guestProgramPath("machine_workout");

std::string summaryOf(const RunResult& run) { return run.out.substr(run.out.find("stopped:")); }

class SaveStateRunner : public RunnerInOwnFolder {
protected:
    void SetUp() override {
        RunnerInOwnFolder::SetUp();
        writeWorkoutInput(".");
    }
};

// With the shipped plugins: the software GS keeps its registers and local
// memory in the state too.
TEST_F(SaveStateRunner, AProgramSavedMidRunContinuesExactlyInANewProcess) {
    const RunResult whole = runCorvaneRun(
        {"--max-vblanks", "12", "--state-out", "whole.json", "--memory-out", "0:0x2000000:whole.ram", kWorkout});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const std::string wholeOutput = readFile("output.txt");
    ASSERT_EQ(wholeOutput.size(), 12u * 9) << "a line a frame";

    const RunResult first = runCorvaneRun({"--max-vblanks", "5", "--save-state", "mid.state", kWorkout});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(readFile("output.txt").size(), 5u * 9);
    const RunResult second = runCorvaneRun({"--max-vblanks", "7", "--load-state", "mid.state", "--state-out", "split.json",
                                            "--memory-out", "0:0x2000000:split.ram", kWorkout});
    ASSERT_EQ(second.exitCode, 0) << second.err;

    EXPECT_EQ(summaryOf(second), summaryOf(whole));
    EXPECT_EQ(readFile("split.json"), readFile("whole.json"));
    EXPECT_TRUE(readFile("split.ram") == readFile("whole.ram")) << "guest RAM";
    EXPECT_EQ(readFile("output.txt"), wholeOutput) << "the written file went on at its offset";
}

TEST_F(SaveStateRunner, AStateThatCannotBeLoadedStopsTheRunWithItsReason) {
    ASSERT_EQ(runCorvaneRun(withNullPlugins({"--max-vblanks", "2", "--save-state", "mid.state", kWorkout})).exitCode, 0);
    std::ofstream("garbage.state") << "not a state at all";

    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--load-state", "garbage.state", kWorkout}, 1,
         "corvane-run: cannot load the machine state 'garbage.state': not a Corvane machine state"},
        {{"--load-state", "missing.state", kWorkout}, 1, "cannot load the machine state 'missing.state': cannot open"},
        {{"--load-state", "mid.state", guestProgramPath("runner_probe")}, 1, "the state was saved for another program"},
        {{"--load-state", kWorkout}, 2, "no program given"},
        {{kWorkout, "--save-state"}, 2, "--save-state needs an argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const RunResult run = runCorvaneRun(withNullPlugins(c.arguments));
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("stopped:"), std::string::npos) << "nothing ran";
    }
}

}  // namespace
