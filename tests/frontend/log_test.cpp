// Log.txt: created empty at every machine reset, unbuffered, exactly what
// was formatted and nothing more, silent when it cannot be created, and one
// stream at a time.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "frontend/log.h"
#include "machine/emulation.h"
#include "support/guest_machine.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

std::string fileContents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t openDescriptors() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
}

class Log : public ::testing::Test {
protected:
    void TearDown() override {
        logSetPath("Log.txt");
        logOpen();  // back to a log in the suite's own folder
    }

    const ScratchFolder folder_{"log"};
    const fs::path& directory_ = folder_.path();
    const fs::path logPath_ = directory_ / "Log.txt";
};

// The first case, so that it sees the default path even when every case runs
// in one process.
TEST_F(Log, DefaultIsLogTxtInTheWorkingDirectory) {
    const fs::path previous = fs::current_path();
    fs::current_path(directory_);
    cpuReset();
    logPrintf("x");
    fs::current_path(previous);
    EXPECT_EQ(fileContents(logPath_), "x");
}

TEST_F(Log, EveryResetStartsItEmptyAndMessagesArriveUnbuffered) {
    logSetPath(logPath_.c_str());
    resetMachine();
    logPrintf("DVD filename: %s", "SLES_123.45;1");
    emuReset();
    ASSERT_TRUE(fs::exists(logPath_));
    EXPECT_EQ(fs::file_size(logPath_), 0u);

    // The disc boot's message has no newline, so two boots share one line.
    EXPECT_EQ(logPrintf("DVD filename: %s", "GAME.ELF"), 22);
    EXPECT_EQ(fileContents(logPath_), "DVD filename: GAME.ELF") << "on disk at once";
    logPrintf("DVD filename: %s", "GAME.ELF");
    EXPECT_EQ(fileContents(logPath_), "DVD filename: GAME.ELFDVD filename: GAME.ELF");
}

TEST_F(Log, WithoutAFileLogPrintfDoesNothingAndNoStreamIsLeftOpen) {
    logSetPath(logPath_.c_str());
    cpuReset();
    const std::size_t withLog = openDescriptors();
    for (int reset = 0; reset < 20; ++reset) cpuReset();
    EXPECT_EQ(openDescriptors(), withLog);
    logPrintf("one");

    const fs::path unreachable = directory_ / "missing" / "Log.txt";
    logSetPath(unreachable.c_str());
    for (int reset = 0; reset < 5; ++reset) cpuReset();
    EXPECT_EQ(logPrintf("two"), 0);
    EXPECT_FALSE(fs::exists(unreachable));
    EXPECT_EQ(fileContents(logPath_), "one") << "the earlier stream is closed, not written to";
    EXPECT_EQ(openDescriptors(), withLog - 1) << "a failed open leaves no stream behind";
}

// A second run in the same folder creates the log anew while the first
// still writes to it: the first run's messages go to the end of what is
// there, with no hole of zero bytes where the file was before.
TEST_F(Log, RunsSharingAFolderInterleaveWholeMessages) {
    logSetPath(logPath_.c_str());
    logOpen();
    for (int i = 0; i < 50; ++i) logPrintf("first run %02d\n", i);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        logOpen();
        for (int i = 0; i < 10; ++i) logPrintf("other run %02d\n", i);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    logPrintf("first run %02d\n", 50);
    std::string expected;
    for (int i = 0; i < 10; ++i) expected += "other run 0" + std::to_string(i) + "\n";
    expected += "first run 50\n";
    EXPECT_EQ(fileContents(logPath_), expected);
}

}  // namespace
