// Log.txt: created empty at every machine reset, unbuffered, exactly what
// was formatted and nothing more, silent when it cannot be created, and one
// stream at a time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/emulation.h"
#include "frontend/log.h"
#include "support/guest_machine.h"

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
    void SetUp() override {
        directory_ = fs::temp_directory_path() / ("corvane-log-tests-" + std::to_string(getpid()));
        fs::create_directories(directory_);
        logPath_ = directory_ / "Log.txt";
        logSetPath(logPath_.c_str());
    }
    void TearDown() override {
        logSetPath("Log.txt");
        logOpen();
        fs::remove_all(directory_);
    }

    fs::path directory_;
    fs::path logPath_;
};

// Must stay the first case of this file: it relies on no other case having
// moved the log yet.
TEST(LogDefault, IsLogTxtInTheWorkingDirectory) {
    const fs::path directory = fs::temp_directory_path() / ("corvane-log-cwd-" + std::to_string(getpid()));
    fs::create_directories(directory);
    const fs::path previous = fs::current_path();
    fs::current_path(directory);
    cpuReset();
    logPrintf("x");
    fs::current_path(previous);
    EXPECT_EQ(fileContents(directory / "Log.txt"), "x");
    logOpen();  // back to a log in the suite's own folder
    fs::remove_all(directory);
}

TEST_F(Log, EveryResetStartsTheLogEmpty) {
    resetMachine();
    ASSERT_TRUE(fs::exists(logPath_));
    EXPECT_EQ(fs::file_size(logPath_), 0u);
    logPrintf("DVD filename: %s", "cdrom0:\\SLES_123.45;1");
    emuReset();
    EXPECT_EQ(fs::file_size(logPath_), 0u);
    logPrintf("after");
    EXPECT_EQ(fileContents(logPath_), "after");
}

TEST_F(Log, MessagesAreInTheFileAsSoonAsTheCallReturnsAndCarryNothingExtra) {
    cpuReset();
    EXPECT_EQ(logPrintf("DVD filename: %s", "GAME.ELF"), 22);
    EXPECT_EQ(fileContents(logPath_), "DVD filename: GAME.ELF");
    EXPECT_EQ(logPrintf("DVD filename: %s", "GAME.ELF"), 22);
    EXPECT_EQ(logPrintf("Couldn't Read from CD !\n"), 24);
    EXPECT_EQ(logPrintf("%d %05.1f %x", -7, 2.5, 255u), 11);
    EXPECT_EQ(fileContents(logPath_),
              "DVD filename: GAME.ELFDVD filename: GAME.ELFCouldn't Read from CD !\n-7 002.5 ff");
}

TEST_F(Log, WithoutAFileLogPrintfDoesNothing) {
    const fs::path unreachable = directory_ / "no such directory" / "Log.txt";
    logSetPath(unreachable.c_str());
    cpuReset();
    EXPECT_EQ(logPrintf("DVD filename: %s", "GAME.ELF"), 0);
    EXPECT_FALSE(fs::exists(unreachable));

    // The stream of the earlier log is closed, not written to any more.
    logSetPath(logPath_.c_str());
    cpuReset();
    logPrintf("one");
    logSetPath(unreachable.c_str());
    cpuReset();
    EXPECT_EQ(logPrintf("two"), 0);
    EXPECT_EQ(fileContents(logPath_), "one");
}

TEST_F(Log, RepeatedResetsKeepOneStreamOpen) {
    cpuReset();
    const std::size_t before = openDescriptors();
    for (int reset = 0; reset < 50; ++reset) cpuReset();
    EXPECT_EQ(openDescriptors(), before);

    logSetPath((directory_ / "missing" / "Log.txt").c_str());
    for (int reset = 0; reset < 5; ++reset) cpuReset();
    EXPECT_EQ(openDescriptors(), before - 1) << "a failed open leaves no stream behind";
}

}  // namespace
