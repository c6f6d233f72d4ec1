// Saved machine states in one process: a state loaded into a freshly
// loaded machine continues exactly as the machine it was taken from, and
// every file that is not such a state is refused with the machine left as
// it was.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/diagnostics.h"
#include "core/ee_state.h"
#include "devices/timers.h"
#include "iop/file_service.h"
#include "iop/iop_guest.h"
#include "kernel/objects.h"
#include "machine/machine.h"
#include "machine_workout.h"
#include "memory/bus.h"
#include "runner/state_json.h"
#include "state/crc32.h"
#include "state/save_state.h"
#include "support/test_plugins.h"

namespace {

constexpr size_t kHeaderBytes = 24;  // magic, format, program, section count

u32 wordAt(const std::vector<u8>& bytes, size_t at) {
    u32 value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void putWord(std::vector<u8>& bytes, size_t at, u32 value) { std::memcpy(bytes.data() + at, &value, 4); }

// The work the stops cut, as logged.
std::vector<std::string>& loggedLines() {
    static std::vector<std::string> lines;
    return lines;
}

// Where the data of the section with `tag` starts, and its size.
std::pair<size_t, u32> findSection(const std::vector<u8>& bytes, const char (&tag)[5]) {
    size_t at = kHeaderBytes;
    for (u32 i = 0; i < wordAt(bytes, 20); ++i) {
        const u32 size = wordAt(bytes, at + 4);
        if (std::memcmp(bytes.data() + at, tag, 4) == 0) return {at + 12, size};
        at += 12 + size;
    }
    ADD_FAILURE() << "no section " << tag;
    return {0, 0};
}

// Puts the checksums right again after an edit, so that the edit itself
// is what the load sees.
void reseal(std::vector<u8>& bytes) {
    size_t at = kHeaderBytes;
    for (u32 i = 0; i < wordAt(bytes, 20); ++i) {
        const u32 size = wordAt(bytes, at + 4);
        putWord(bytes, at + 8, crc32(bytes.data() + at + 12, size));
        at += 12 + size;
    }
    putWord(bytes, bytes.size() - 4, crc32(bytes.data(), bytes.size() - 4));
}

class SaveState : public ::testing::Test {
protected:
    void SetUp() override {
        writeWorkoutInput(folder.path);
        useNoPlugins();
        ASSERT_TRUE(loadGuestProgram("machine_workout"));
    }
    HostRootFolder folder;
};

TEST_F(SaveState, ALoadedStateContinuesAsTheMachineItWasTakenFrom) {
    ASSERT_EQ(runFrames(4), StopReason::MaxVblanks);
    const std::vector<u8> saved = saveStateBytes();
    ASSERT_EQ(runFrames(5), StopReason::MaxVblanks);
    const std::string expectedJson = machineStateJson(StopReason::MaxVblanks);
    const std::vector<u8> expectedRam(memory.ram, memory.ram + kRamSize);
    const std::vector<u8> expectedState = saveStateBytes();

    ASSERT_TRUE(loadGuestProgram("machine_workout"));
    ASSERT_EQ(loadStateBytes(saved), "");
    ASSERT_EQ(runFrames(5), StopReason::MaxVblanks);
    EXPECT_EQ(machineStateJson(StopReason::MaxVblanks), expectedJson);
    EXPECT_TRUE(std::equal(expectedRam.begin(), expectedRam.end(), memory.ram)) << "guest RAM";
    EXPECT_TRUE(saveStateBytes() == expectedState) << "every subsystem, the host files' offsets included";
}

// What a continued run is compared by: the state JSON, guest RAM, every
// subsystem as a state has it, and the file the program writes.
struct RunEnd {
    std::string json;
    std::vector<u8> ram;
    std::vector<u8> state;
    std::string output;
};

RunEnd runEnd(StopReason reason, const std::filesystem::path& folder) {
    std::ifstream output(folder / "output.txt", std::ios::binary);
    return {machineStateJson(reason), std::vector<u8>(memory.ram, memory.ram + kRamSize), saveStateBytes(),
            std::string(std::istreambuf_iterator<char>(output), std::istreambuf_iterator<char>())};
}

void expectSameEnd(const RunEnd& continued, const RunEnd& whole) {
    EXPECT_EQ(continued.json, whole.json);
    EXPECT_TRUE(continued.ram == whole.ram) << "guest RAM";
    EXPECT_TRUE(continued.state == whole.state) << "every subsystem";
    EXPECT_EQ(continued.output, whole.output) << "the written file";
}

StopReason runCycles(u64 cycles) {
    RunLimits limits;
    limits.maxCycles = cycles;
    return emuRunWithLimits(limits);
}

// A cycle limit stops the machine between two instructions anywhere in a
// frame: while the program works, or while every thread waits and time is
// skipped to the next vertical blank. Either way the state continues as the
// machine would have, to the instruction: the runs end in the middle of the
// next frame's work, before a later idle stretch could hide a difference of
// a cycle. (A call whose wait was cut counts its own instruction after the
// skipped time, as in the uninterrupted run.)
TEST_F(SaveState, AStateTakenAtACycleLimitInTheMiddleOfAFrameContinuesExactly) {
    ASSERT_EQ(runFrames(3), StopReason::MaxVblanks);
    const u32 frameStart = ee.cycle;
    const u32 end = frameStart + kFrameCycles + 300;
    ASSERT_EQ(runCycles(end - ee.cycle), StopReason::MaxCycles);
    ASSERT_FALSE(kernel.idle) << "the end lies in the middle of the program's work";
    const RunEnd whole = runEnd(StopReason::MaxCycles, folder.path);

    setLogSink([](LogCategory, LogLevel, const char* line) {
        if (std::strstr(line, "work cut") != nullptr) loggedLines().push_back(line);
    });
    struct Stop {
        const char* label;
        u32 cycle;
        bool idle;
    };
    for (const Stop& stop : {Stop{"while the program works", frameStart + 300, false},
                             Stop{"while every thread waits", frameStart + kFrameCycles / 2, true}}) {
        SCOPED_TRACE(stop.label);
        ASSERT_TRUE(loadGuestProgram("machine_workout"));
        ASSERT_EQ(runCycles(stop.cycle), StopReason::MaxCycles);
        ASSERT_EQ(kernel.idle, stop.idle);
        const std::vector<u8> saved = saveStateBytes();

        ASSERT_TRUE(loadGuestProgram("machine_workout"));
        ASSERT_EQ(loadStateBytes(saved), "");
        ASSERT_EQ(runCycles(end - stop.cycle), StopReason::MaxCycles);
        expectSameEnd(runEnd(StopReason::MaxCycles, folder.path), whole);
    }
    setLogSink(nullptr);
    EXPECT_EQ(loggedLines(), std::vector<std::string>{}) << "the stops cut no interrupt handler";
}

TEST_F(SaveState, EveryDamagedOrForeignFileIsRefusedAndTheMachineStaysAsItWas) {
    ASSERT_EQ(runFrames(3), StopReason::MaxVblanks);
    const std::vector<u8> good = saveStateBytes();
    ASSERT_EQ(runFrames(2), StopReason::MaxVblanks);
    const std::vector<u8> before = saveStateBytes();
    const int descriptors = openDescriptorCount();

    struct Case {
        const char* label;
        std::function<void(std::vector<u8>&)> damage;
        const char* reason;
    };
    const std::string otherFormat = "saved in format " + std::to_string(kSaveStateFormat + 1);
    const auto [timers, timersSize] = findSection(good, "TIME");
    const auto [kernel, kernelSize] = findSection(good, "KERN");
    const auto [memorySection, memorySize] = findSection(good, "MEM ");
    const size_t cpu = findSection(good, "CPU ").first;
    const std::vector<Case> cases = {
        {"empty", [](auto& b) { b.clear(); }, "not a Corvane machine state"},
        {"magic", [](auto& b) { b[0] = 'X'; }, "not a Corvane machine state"},
        {"cut in the header", [](auto& b) { b.resize(14); }, "cut short"},
        {"cut in a section", [](auto& b) { b.resize(b.size() / 2); }, "cut short"},
        {"cut before the checksum", [](auto& b) { b.erase(b.end() - 2, b.end()); }, "cut short"},
        {"other format", [](auto& b) { putWord(b, 8, kSaveStateFormat + 1); }, otherFormat.c_str()},
        {"flipped bit in memory", [&](auto& b) { b[memorySection + memorySize / 2] ^= 0x10; }, "\"MEM \" section is corrupted"},
        {"flipped bit in the file checksum", [](auto& b) { b.back() ^= 1; }, "corrupted"},
        {"other program", [](auto& b) { b[12] ^= 1; reseal(b); }, "another program"},
        {"section size beyond the file", [](auto& b) { putWord(b, kHeaderBytes + 4, 0x7FFFFFFF); }, "cut short"},
        {"a section missing", [](auto& b) { putWord(b, 20, wordAt(b, 20) - 1); }, "corrupted"},
        {"unknown section", [](auto& b) { b[kHeaderBytes] = 'Z'; reseal(b); }, "unknown section"},
        {"timer that never counts", [&](auto& b) { putWord(b, timers + 8, 0); reseal(b); }, "timers does not hold a valid state"},
        {"upper half of GPR 0 not zero", [&](auto& b) { putWord(b, cpu + 12, 1); reseal(b); },
         "EE core, COP0 and FPU does not hold a valid state"},
        {"current thread out of range",
         [&](auto& b) { putWord(b, kernel + kernelSize - 42, 0x10000); reseal(b); }, "kernel does not hold a valid state"},
        {"section longer than its fields", [&](auto& b) {
             putWord(b, timers - 8, timersSize + 4);
             b.insert(b.begin() + static_cast<long>(timers + timersSize), 4, u8{0});
             reseal(b);
         }, "timers does not hold a valid state"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<u8> bytes = good;
        c.damage(bytes);
        const std::string problem = loadStateBytes(bytes);
        EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
        EXPECT_TRUE(saveStateBytes() == before) << "the machine was touched";
        EXPECT_EQ(openDescriptorCount(), descriptors);
    }
    EXPECT_EQ(loadStateBytes(good), "") << "the undamaged state still loads";
}

// A host file that has gone since the save answers -1; the guest's other
// files go on where they were.
TEST_F(SaveState, AHostFileThatCannotBeOpenedAgainAnswersMinusOne) {
    ASSERT_EQ(runFrames(2), StopReason::MaxVblanks);
    const std::vector<u8> saved = saveStateBytes();
    std::filesystem::remove(folder.path / "input.bin");
    ASSERT_TRUE(loadGuestProgram("machine_workout"));
    ASSERT_EQ(loadStateBytes(saved), "");
    int lost = 0, open = 0;
    for (const HostFile& file : fileService.hostFiles) {
        if (file.isFree()) continue;
        (file.descriptor < 0 ? lost : open) += 1;
        if (file.descriptor < 0) {
            EXPECT_EQ(file.path, "input.bin");
        }
    }
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(open, 1);
    ASSERT_EQ(runFrames(1), StopReason::MaxVblanks);
    EXPECT_EQ(guestWord(guestSymbol("lastRead")), 0xFFFFFFFFu) << "the read of the lost file";
}

}  // namespace
