// Runs the built corvane-run as a child process, for the end-to-end tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

struct RunResult {
    int exitCode;
    std::string out, err;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs corvane-run through the shell, which reports a crash as 128 + the
// signal. The run never has a display, so the shipped GS draws without a
// window and is never paced.
inline RunResult runCorvaneRun(const std::vector<std::string>& arguments) {
    std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + CORVANE_RUN_PATH;
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    const int status = std::system((command + " >runner.out 2>runner.err").c_str());
    return {WEXITSTATUS(status), readFile("runner.out"), readFile("runner.err")};
}

// `arguments` with the null plugins beside corvane-run named: for runs
// about the machine rather than about what a window or a controller does.
inline std::vector<std::string> withNullPlugins(std::vector<std::string> arguments) {
    const std::vector<std::string> nullPlugins = {"--gs",   "null_gs.so",   "--pad",  "null_pad.so",
                                                  "--spu2", "null_spu2.so", "--cdvd", "null_cdvd.so"};
    arguments.insert(arguments.begin(), nullPlugins.begin(), nullPlugins.end());
    return arguments;
}

// Each test works in a folder of its own (the runner writes Log.txt there),
// so that tests run in parallel do not share their output files.
class RunnerInOwnFolder : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(chdir(folder_.path().c_str()), 0); }
    void TearDown() override { ASSERT_EQ(chdir(previous_.c_str()), 0); }

private:
    const std::filesystem::path previous_ = std::filesystem::current_path();
    const ScratchFolder folder_{"run"};
};
