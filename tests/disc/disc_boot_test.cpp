// The disc boot: SYSTEM.CNF;1 and its BOOT2 line, the executable loaded
// from the disc through the ISO reader, in-process and through
// corvane-run --disc.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/ee_state.h"
#include "disc/disc_boot.h"
#include "disc/elf_loader.h"
#include "disc/iso9660.h"
#include "disc_images.h"
#include "memory/bus.h"
#include "runner/json_reader.h"

namespace {

constexpr u32 kProbeSum = 5050;          // what disc_boot_probe returns
constexpr u32 kProgramStart = 0x00100000; // its lowest allocated section

// The program name that the argument block holds just below its 256-byte
// argument area, under the program.
std::string argumentBlockName(std::size_t length) {
    return std::string(reinterpret_cast<const char*>(memory.ram) + kProgramStart - 256 - (length + 1), length);
}

u32 probeEntry() {
    const std::string elf = guestProgramBytes("disc_boot_probe");
    u32 entry = 0;
    if (elf.size() >= 28) std::memcpy(&entry, elf.data() + 24, 4);
    return entry;
}

class DiscBoot : public RunnerInOwnFolder {
protected:
    void SetUp() override {
        RunnerInOwnFolder::SetUp();
        useBundledPlugins();
    }
    void TearDown() override {
        unsetenv("CORVANE_CDVD_IMAGE");
        RunnerInOwnFolder::TearDown();
    }
};

TEST_F(DiscBoot, Boot2LineNamesTheExecutable) {
    const std::string probe = guestProgramBytes("disc_boot_probe");
    ASSERT_FALSE(probe.empty());
    struct Case {
        const char* label;
        std::vector<DiscFile> files;
        DiscBootResult result;
        const char* log;
        const char* programName;  // as the argument block holds it
    };
    const Case cases[] = {
        {"root", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\BOOT.ELF;1\r\nVER = 1.00\r\n"}, {"BOOT.ELF", probe}},
         DiscBootResult::Booted, "DVD filename: cdrom0:\\BOOT.ELF;1", "BOOT.ELF;1"},
        {"six-character device", {{"SYSTEM.CNF", "BOOT2=cdrom:\\BOOT.ELF;1\n"}, {"BOOT.ELF", probe}},
         DiscBootResult::Booted, "DVD filename: cdrom:\\BOOT.ELF;1", "BOOT.ELF;1"},
        {"nested, name in another case", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\GAME\\Slus_123.45;1\n"}, {"GAME/SLUS_123.45", probe}},
         DiscBootResult::Booted, "DVD filename: cdrom0:\\GAME\\Slus_123.45;1", "Slus_123.45;1"},
        {"no SYSTEM.CNF", {{"BOOT.ELF", probe}}, DiscBootResult::NoSystemCnf, "", nullptr},
        {"no BOOT2", {{"SYSTEM.CNF", "VER = 1.00\n"}, {"BOOT.ELF", probe}}, DiscBootResult::NoBoot2Line, "", nullptr},
        {"BOOT2 past 256 bytes", {{"SYSTEM.CNF", std::string(256, ' ') + "BOOT2 = cdrom0:\\BOOT.ELF;1\n"}, {"BOOT.ELF", probe}},
         DiscBootResult::NoBoot2Line, "", nullptr},
        {"no letter after BOOT2", {{"SYSTEM.CNF", "BOOT2 = 1234\n"}}, DiscBootResult::NoBootPath, "", nullptr},
        {"missing executable", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\MISSING.ELF;1\n"}, {"BOOT.ELF", probe}},
         DiscBootResult::NoBootExecutable, "DVD filename: cdrom0:\\MISSING.ELF;1", nullptr},
        {"boot file that is no ELF", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\BOOT.ELF;1\n"}, {"BOOT.ELF", "BOOT2 = nothing to run"}},
         DiscBootResult::BootFileNotElf, "DVD filename: cdrom0:\\BOOT.ELF;1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        buildDiscImage("disc.iso", c.files);
        setenv("CORVANE_CDVD_IMAGE", "disc.iso", 1);
        resetMachine();
        ASSERT_EQ(bootFromDisc(), c.result);
        EXPECT_EQ(readFile("Log.txt"), c.log);
        EXPECT_EQ(discFiles.openCount, 0u) << "every disc file closed again";
        if (c.result != DiscBootResult::Booted) {
            EXPECT_EQ(programLoaded, 0u);
            EXPECT_EQ(bootedFromDisc, 0u);
            EXPECT_EQ(memRead32(kProgramStart), 0u) << "nothing loaded";
            continue;
        }
        EXPECT_EQ(programLoaded, 1u);
        EXPECT_EQ(bootedFromDisc, 1u);
        EXPECT_EQ(ee.pc, probeEntry());
        EXPECT_EQ(argumentBlockName(std::strlen(c.programName)), c.programName);
        ASSERT_EQ(runGuest(), StopReason::IdleLoop);
        EXPECT_EQ(ee.gpr[kGprV0].w[0], kProbeSum);
    }
}

// Without a Reset the second boot loads over the first and the log keeps
// both lines on one.
TEST_F(DiscBoot, SecondBootLoadsOverTheFirst) {
    const std::string probe = guestProgramBytes("disc_boot_probe");
    buildDiscImage("first.iso", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\FIRST.ELF;1\n"}, {"FIRST.ELF", probe}});
    buildDiscImage("second.iso", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\SECOND.ELF;1\n"}, {"SECOND.ELF", probe}});
    setenv("CORVANE_CDVD_IMAGE", "first.iso", 1);
    resetMachine();
    ASSERT_EQ(bootFromDisc(), DiscBootResult::Booted);
    memWrite32(0x12345678, 0x00080000);
    setenv("CORVANE_CDVD_IMAGE", "second.iso", 1);
    ASSERT_EQ(bootFromDisc(), DiscBootResult::Booted);
    EXPECT_EQ(memRead32(0x00080000), 0x12345678u) << "RAM is not cleared";
    EXPECT_EQ(argumentBlockName(12), "SECOND.ELF;1");
    EXPECT_EQ(readFile("Log.txt"), "DVD filename: cdrom0:\\FIRST.ELF;1DVD filename: cdrom0:\\SECOND.ELF;1");
}

using DiscBootThroughRunner = RunnerInOwnFolder;

// With the shipped plugins: nothing but --disc is needed.
TEST_F(DiscBootThroughRunner, BootsTheDiscAndRunsIt) {
    const std::string probe = guestProgramBytes("disc_boot_probe");
    buildDiscImage("disc.iso", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\GAME\\BOOT.ELF;1\n"}, {"GAME/BOOT.ELF", probe}});
    const RunResult run = runCorvaneRun({"--disc", "disc.iso", "--state-out", "state.json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("stopped: idle-loop at 0x", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile("Log.txt"), "DVD filename: cdrom0:\\GAME\\BOOT.ELF;1");
    const auto state = parseJson(readFile("state.json"));
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ((*state)["gpr.2"], std::string(28, '0') + "13ba");
}

TEST_F(DiscBootThroughRunner, DiscsThatCannotBootExitWithAReason) {
    buildDiscImage("empty.iso", {{"README.TXT", "no boot file"}});
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--disc", "missing.iso"}, 1, "corvane-run: cannot open disc image 'missing.iso': No such file or directory\n"},
        {{"--disc", "empty.iso"}, 1, "corvane-run: cannot boot disc image 'empty.iso': no SYSTEM.CNF;1 on the disc\n"},
        {{"--disc", "empty.iso", "x.elf"}, 2, "corvane-run: give either a program or --disc, not both"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const RunResult run = runCorvaneRun(withNullPlugins(c.arguments));
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
