// The IOP file service through the guest fileio runtime: host files below
// the host root, disc files and archive entries on images that xorriso
// makes at test time, the notifying request forms, and a disc booted by
// corvane-run that reads its own files and prints through --tty.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/work_budget.h"
#include "debugger/debug_log.h"
#include "disc/disc_images.h"
#include "disc/iso9660.h"
#include "iop/file_service.h"
#include "iop/iop_memory.h"
#include "iop/module_loader.h"
#include "iop/sjdf_archive.h"
#include "iop_guest.h"
#include "kernel/objects.h"
#include "runner/json_reader.h"

namespace {

namespace fs = std::filesystem;

std::string guestBytes(const char* symbol, u32 count, u32 skip = 0) {
    return std::string(reinterpret_cast<const char*>(memory.ram) + guestSymbol(symbol) + skip, count);
}

u32 result(u32 index) { return guestWord(guestSymbol("results") + 4 * index); }

std::string patternBytes(u32 count, u32 seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

std::string consoleText;
void captureConsole(const char* bytes, size_t count) { consoleText.append(bytes, count); }

TEST(FileIoHost, FilesBelowTheRootAndPathsThatLeaveIt) {
    HostRootFolder folder;
    const fs::path root = folder.path / "root";
    fs::create_directories(root / "sub");
    fs::create_directories(folder.path / "away");
    setHostRoot(root);
    const std::string data = patternBytes(64, 1);
    writeFile((root / "data.bin").string(), data);
    writeFile((root / "sub" / "inner.txt").string(), "inner");
    writeFile((folder.path / "outside.txt").string(), "outside");
    writeFile((folder.path / "away" / "outside.txt").string(), "outside");
    fs::create_directory_symlink(folder.path / "away", root / "link");
    fs::create_symlink(folder.path / "outside.txt", root / "escape");
    fs::create_symlink(folder.path / "created.txt", root / "dangling");
    fs::create_symlink("sub/through-link.txt", root / "inward");
    fs::create_symlink("loop", root / "loop");

    consoleText.clear();
    setTtySink(captureConsole);
    ASSERT_TRUE(loadGuestProgram("iop_fileio_host"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    setTtySink(nullptr);

    const std::vector<u32> expected = {
        3, 10, 4, 4, 62, 62, kMinusOne, 0, 20,               // open, read, seeks, the unaligned read
        4, 7, 0, kMinusOne,                                   // created file written, closed twice
        6, 1, kMinusOne, kMinusOne, kMinusOne, kMinusOne,     // standard streams
        kMinusOne, kMinusOne, kMinusOne, kMinusOne,           // bad flags, device, missing file
        kMinusOne, kMinusOne, kMinusOne, kMinusOne, kMinusOne, // paths out of the root
        4, 0,                                                 // mc0: with '\' separators
        28, kMinusOne, 0, 3, 0,                               // the handle limit, then handles free again
        kMinusOne, 3, 4, 0, kMinusOne,                        // dangling links: out of the root, inside, a loop
        kMinusOne,                                            // a read with a bad handle
    };
    for (u32 i = 0; i < expected.size(); ++i) EXPECT_EQ(result(i), expected[i]) << "result " << i;
    EXPECT_EQ(guestBytes("firstBytes", 10), data.substr(0, 10));
    EXPECT_EQ(guestBytes("afterSeek", 4), data.substr(4, 4));
    EXPECT_EQ(readFile((root / "out.txt").string()), "written");
    EXPECT_EQ(consoleText, "to ttyx");
    EXPECT_FALSE(fs::exists(folder.path / "made.txt"));
    EXPECT_FALSE(fs::exists(root / "made.txt"));
    EXPECT_FALSE(fs::exists(folder.path / "created.txt")) << "nothing created through a link out of the root";
    EXPECT_EQ(readFile((root / "sub" / "through-link.txt").string()), "made");
    EXPECT_EQ(readFile((folder.path / "outside.txt").string()), "outside");

    // The read of 20 bytes at an address 8 past a 16-byte boundary; the
    // failed read after it wrote no record of its own.
    const u32 buffer = guestSymbol("unaligned") + 8;
    const u32 record = guestSymbol("fioLastAlignment");
    EXPECT_EQ(guestWord(record), 8u);
    EXPECT_EQ(guestWord(record + 4), 12u);
    EXPECT_EQ(guestWord(record + 8), buffer);
    EXPECT_EQ(guestWord(record + 12), buffer + 8);
    const std::string recordBytes(reinterpret_cast<const char*>(memory.ram) + record + 16, 32);
    EXPECT_EQ(recordBytes, data.substr(0, 8) + std::string(8, '\0') + data.substr(8, 12) + std::string(4, '\0'));
    EXPECT_EQ(guestBytes("unaligned", 20, 8), data.substr(0, 20));
}

class FileIoDisc : public RunnerInOwnFolder {
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

TEST_F(FileIoDisc, DiscFilesAndArchiveEntries) {
    const std::string text = "The quick brown fox jumps over the lazy dog. 1234";
    const std::string small = patternBytes(40, 2);
    const std::string large = patternBytes(40000, 3);
    const std::string archive = packSjdfArchive({{"small.bin", small}, {"large.bin", large}});
    buildDiscImage("disc.iso", {{"DATA/TEXT.TXT", text + "!"}, {"PACK/DATA.SJD", archive}});
    setenv("CORVANE_CDVD_IMAGE", "disc.iso", 1);
    ASSERT_TRUE(loadGuestProgram("iop_fileio_disc"));
    archivePath = "cdrom0:\\PACK\\DATA.SJD;1";
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    const std::vector<u32> expected = {
        0x40, 50, 45, 5, kMinusOne, 0, 0, kMinusOne,          // disc file
        0x20, 0x21, kMinusOne,                                // archive entries open
        10, 20, 5, 37, 3, 0, 40000,                           // reads from 0, from 20, at the end, chunked
        kMinusOne, 0, kMinusOne, 0, 0, kMinusOne,             // write, bad origin, close, closed slot
        0x20, 16383, 3, 0,                                    // reopened: a read across a chunk's edge
    };
    for (u32 i = 0; i < expected.size(); ++i) EXPECT_EQ(result(i), expected[i]) << "result " << i;
    EXPECT_EQ(guestBytes("discText", 50), text + "!");
    EXPECT_EQ(guestBytes("discTail", 5), "1234!");
    EXPECT_EQ(guestBytes("smallHead", 10), small.substr(0, 10));
    EXPECT_EQ(guestBytes("smallMiddle", 5), small.substr(20, 5));
    EXPECT_EQ(guestBytes("smallEnd", 3), small.substr(37, 3));
    EXPECT_EQ(guestBytes("big", 3), large.substr(16383, 3));
    EXPECT_EQ(guestBytes("big", 40000 - 3, 3), large.substr(3)) << "the chunked read, past the 3 bytes read last";
    EXPECT_EQ(discFiles.openCount, 0u) << "the archive file is closed with its last entry";
}

TEST_F(FileIoDisc, ArchiveThatIsMissingOrNotSjdf) {
    buildDiscImage("disc.iso", {{"NOTSJDF.BIN", std::string(100, 'x')}});
    setenv("CORVANE_CDVD_IMAGE", "disc.iso", 1);
    for (const char* path : {"\\MISSING.SJD;1", "\\NOTSJDF.BIN;1"}) {
        SCOPED_TRACE(path);
        runScript(
            {{"open", 0x80000001, 0, {1}, kMinusOne, {{4, "sjdata:small.bin"}}},
             {"again", 0x80000001, 0, {1}, kMinusOne, {{4, "sjdata:small.bin"}}}},
            [&] { archivePath = path; });
        EXPECT_EQ(discFiles.openCount, 0u);
        EXPECT_EQ(iopAlloc(256), 0x1600u) << "the failed preparations gave their IOP memory back";
    }
}

// The entry count in the table copy belongs to the guest, which may rewrite
// it; a lookup goes by the count read from the archive, and still finds
// nothing that is not there.
TEST_F(FileIoDisc, ALookupDoesNotTrustTheCountInGuestMemory) {
    buildDiscImage("disc.iso", {{"DATA.SJD", packSjdfArchive({{"small.bin", "abc"}})}});
    setenv("CORVANE_CDVD_IMAGE", "disc.iso", 1);
    runScript({{"open", 0x80000001, 0, {1}, 0x20, {{4, "sjdata:small.bin"}}}}, [] { archivePath = "cdrom0:\\DATA.SJD;1"; });
    u32 rewritten = 0;
    for (u32 at = 0; at + 8 <= kRamSize; at += 16) {
        if (hostLoad<u32>(memory.ram + at) != 0x46444A53) continue;  // "SJDF"
        hostStore<u32>(memory.ram + at + 4, 0xFFFFFFFF);
        ++rewritten;
    }
    ASSERT_GE(rewritten, 1u) << "the table copy is in guest RAM";
    constexpr u32 kSend = 0x200000, kReceive = 0x201000, kPacket = 0x202000;
    std::memcpy(memory.ram + kSend + 4, "sjdata:missing.bin", 19);
    hostStore<u32>(memory.ram + kSend, 1);
    hostStore<u32>(memory.ram + kPacket + 32, 0);
    hostStore<u32>(memory.ram + kPacket + 36, 64);
    std::vector<std::string> lines;
    setDebugLogHook([&lines](const std::string& line) { lines.push_back(line); });
    {
        WorkScope oneCall;  // as the kernel call that carries it opens
        fileIoServer(RpcCall{kSend, kReceive, kPacket});
    }
    setDebugLogHook(nullptr);
    EXPECT_EQ(guestWord(kReceive), kMinusOne);
    EXPECT_TRUE(lines.empty()) << "the lookup went by the archive's own count, not on until its work budget ran out: " << lines.front();
}

// The notifying forms: a 1048-byte open, a 32-byte read and a 20-byte
// close, called on the service directly with the requests in guest RAM.
TEST(FileIoNotify, OpenReadAndCloseSignalAndReport) {
    HostRootFolder folder;
    writeFile((folder.path / "note.txt").string(), "notified");
    resetMachine();
    constexpr u32 kSend = 0x200000, kReceive = 0x201000, kPacket = 0x202000, kNotify = 0x203000;
    constexpr u32 kResult = 0x204000, kBuffer = 0x205000;
    auto call = [&](u32 function, u32 sendSize, const std::vector<u32>& words) {
        std::memset(memory.ram + kSend, 0, 2048);
        for (u32 i = 0; i < words.size(); ++i) hostStore<u32>(memory.ram + kSend + 4 * i, words[i]);
        hostStore<u32>(memory.ram + kPacket + 32, function);
        hostStore<u32>(memory.ram + kPacket + 36, sendSize);
        return RpcCall{kSend, kReceive, kPacket};
    };
    const RpcCall init = call(255, 8, {kNotify, 0xE0E0E0E0});
    fileIoServer(init);
    EXPECT_EQ(guestWord(kReceive), iopVersionWord());

    std::memset(memory.ram + kResult, 0xCC, 64);
    const RpcCall open = call(0, 1048, {5, kResult, 64, 1});
    std::memcpy(memory.ram + kSend + 20, "host:note.txt", 14);
    fileIoServer(open);
    const u32 handle = guestWord(kReceive);
    EXPECT_EQ(handle, 3u);
    const std::array<u32, 8> notice = {5, 0, kResult, 64, handle, 0, 0, 0};
    for (u32 i = 0; i < notice.size(); ++i) EXPECT_EQ(guestWord(kNotify + 4 * i), notice[i]) << i;
    const std::array<u32, 6> copied = {handle, 0, 0, 0, 0xE0E0E0E0, 0xCCCCCCCC};
    for (u32 i = 0; i < copied.size(); ++i) EXPECT_EQ(guestWord(kResult + 4 * i), copied[i]) << "capped at 20 bytes, " << i;

    fileIoServer(call(2, 32, {5, 0, 0, handle, kBuffer, 100}));
    EXPECT_EQ(guestWord(kReceive), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(memory.ram) + kBuffer, 8), "notified");

    fileIoServer(call(1, 20, {handle}));
    EXPECT_EQ(guestWord(kReceive), 0u);
    fileIoServer(call(7, 4, {}));
    EXPECT_EQ(guestWord(kReceive), kMinusOne) << "unknown function";

    // Without a semaphore (negative id) the open only answers; a read that
    // would run past the end of RAM stops there.
    std::memset(memory.ram + kNotify, 0, 32);
    const RpcCall quietOpen = call(0, 1048, {0xFFFFFFFF, kResult, 20, 1});
    std::memcpy(memory.ram + kSend + 20, "host:note.txt", 14);
    fileIoServer(quietOpen);
    EXPECT_EQ(guestWord(kReceive), 3u);
    EXPECT_EQ(guestWord(kNotify + 16), 0u);
    fileIoServer(call(2, 32, {0xFFFFFFFF, 0, 0, 3, kRamSize - 4, 100}));
    EXPECT_EQ(guestWord(kReceive), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(memory.ram) + kRamSize - 4, 4), "noti");
    fileIoServer(call(1, 4, {3}));
    EXPECT_EQ(guestWord(kReceive), 0u);
}

using FileIoDiscBoot = RunnerInOwnFolder;

TEST_F(FileIoDiscBoot, BootedProgramReadsItsDiscAndTheHost) {
    const std::string program = guestProgramBytes("iop_fileio_disc_boot");
    ASSERT_FALSE(program.empty());
    buildDiscImage("disc.iso", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\BOOT.ELF;1\n"},
                                {"BOOT.ELF", program},
                                {"DATA/HELLO.TXT", "hello from the disc\n"}});
    writeFile("greeting.txt", "hello from the host\n");
    const RunResult run = runCorvaneRun(withNullPlugins({"--disc", "disc.iso", "--tty", "tty.txt", "--state-out", "state.json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile("tty.txt"), "disc: hello from the disc\nhost: hello from the host\n");
    const auto state = parseJson(readFile("state.json"));
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ((*state)["gpr.2"], std::string(31, '0') + "1");

    const RunResult toStdout = runCorvaneRun(withNullPlugins({"--disc", "disc.iso", "--tty", "-"}));
    ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out.rfind("disc: hello from the disc\nhost: hello from the host\nstopped: idle-loop", 0), 0u) << toStdout.out;
}

}  // namespace
