#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugger/debug_log.h"
#include "iop/module_loader.h"
#include "iop/sif_rpc.h"
#include "iop_guest.h"

namespace {

constexpr u32 versionWord(const char (&text)[5]) {
    return u32(u8(text[0])) | u32(u8(text[1])) << 8 | u32(u8(text[2])) << 16 | u32(u8(text[3])) << 24;
}

TEST(SifRpc, BindCallAndIopResetThroughTheKernelCall) {
    ASSERT_TRUE(loadGuestProgram("iop_sif_commands"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    auto result = [](u32 i) { return guestWord(guestSymbol("results") + 4 * i); };

    EXPECT_EQ(result(0), 0u) << "bind signalled";
    EXPECT_EQ(result(1), 0x12345678u) << "any server id is bound";
    EXPECT_EQ(result(2), kMinusOne) << "the bind signals once";
    EXPECT_EQ(result(15), 0x80u) << "and frees its packet";
    EXPECT_EQ(result(3), 0u) << "a call to an unknown server is signalled";
    EXPECT_EQ(result(4), kMinusOne) << "and answered as a failure";
    EXPECT_EQ(result(5), 0xF0u) << "only the pending bit of the request byte clears";
    EXPECT_EQ(result(6), 1u) << "sceSifSetDma answers 1";
    EXPECT_EQ(result(7), 1u) << "a call without a send buffer still signals (semaphore 1)";
    EXPECT_EQ(result(8), 0xDEADBEEFu) << "but no server answers it";

    EXPECT_EQ(result(9), versionWord("2000"));
    EXPECT_EQ(result(10), versionWord("2000")) << "no cdrom: unchanged";
    EXPECT_EQ(result(11), versionWord("2410"));
    EXPECT_EQ(result(12), versionWord("1600"));
    EXPECT_EQ(result(13), versionWord("1600")) << "IOPRP before cdrom: unchanged";
    EXPECT_EQ(result(14), versionWord("2550"));
    EXPECT_EQ(std::string(iopVersion.data(), 4), "2550") << "kept for the next program";
}

TEST(SifRpc, FixedAnswerServicesAndModuleLoader) {
    std::vector<std::string> debugLines;
    setDebugLogHook([&](const std::string& line) { debugLines.push_back(line); });
    constexpr u32 k601 = 0x80000601;
    constexpr u32 kB0110C5 = 0x0B0110C5;
    constexpr u32 kLoader = 0x80000006;
    runScript({
        {"601 14, w1 = 1", k601, 14, {0, 1}, 1},
        {"601 14, w1 = 2", k601, 14, {1, 2}, 0},
        {"601 16 echoes w1", k601, 16, {0, 0x1234}, 0x1234},
        {"601 18", k601, 18, {}, 1},
        {"601 0x5005", k601, 0x5005, {}, 1},
        {"601 15", k601, 15, {}, kMinusOne},
        {"B0110C5 2", kB0110C5, 2, {}, 1},
        {"B0110C5 9", kB0110C5, 9, {}, 0},
        {"B0110C5 1", kB0110C5, 1, {}, std::nullopt},
        {"B0110C5 8", kB0110C5, 8, {}, std::nullopt},
        {"B0110C5 0", kB0110C5, 0, {}, kMinusOne},
        {"B0110C5 17", kB0110C5, 17, {}, kMinusOne},
        {"B0110C5 -1", kB0110C5, kMinusOne, {}, kMinusOne},
        {"loader 1", kLoader, 1, {}, 1},
        {"loader 6", kLoader, 6, {}, 1},
        {"loader 2", kLoader, 2, {}, kMinusOne},
        {"loader 255", kLoader, 255, {}, versionWord("1500")},
        {"load SJDATA.IRX", kLoader, 0, {}, 0x10, {{8, "cdrom0:\\MODULES\\SJDATA.IRX;1"}, {267, "cdrom0:\\DATA.AFS"}}},
        {"load another module", kLoader, 0, {}, 0x11, {{8, "cdrom0:\\MODULES\\SIO2MAN.IRX;1"}, {267, "other"}}},
        {"memory 4", 0x80000003, 4, {}, std::nullopt},
        {"memory 5", 0x80000003, 5, {}, kMinusOne},
        {"unknown server", 0x80000002, 1, {}, kMinusOne},
        {"unknown server again", 0x80000002, 1, {}, kMinusOne},
    },
    [] {
        iopVersion = {'1', '5', '0', '0'};
        archivePath = "unchanged";
    });
    EXPECT_EQ(archivePath, "cdrom0:\\DATA.AFS");
    const std::vector<std::string> expectedLines = {
        "IOP stub: no answer for server 0x80000601 function 15",
        "IOP stub: no answer for server 0x80000006 function 2",
        "SJDATA.IRX",
        "IOP stub: no answer for server 0x80000003 function 5",
        "IOP stub: no answer for server 0x80000002 function 1",
    };
    EXPECT_EQ(debugLines, expectedLines) << "the archive module, and each unanswered request once";
    setDebugLogHook(nullptr);
}

TEST(SifRpc, StartUpRequestsOfSdkProgramsAreAnswered) {
    ASSERT_TRUE(loadGuestProgram("iop_sdk_startup"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    auto result = [](u32 i) { return guestWord(guestSymbol("results") + 4 * i); };
    EXPECT_EQ(result(0), 0x10u) << "the first module id";
    EXPECT_EQ(result(1), 0u) << "the module stays resident";
    EXPECT_EQ(result(2), 0x11u);
    EXPECT_EQ(result(3), 0x12u) << "the archive module too";
    EXPECT_EQ(result(4), 0x10u) << "ids start again after an IOP reset";
    EXPECT_EQ(result(5), 0u) << "remote read signalled";
    EXPECT_EQ(result(6), 0u) << "the module list is empty";
    EXPECT_EQ(result(7), 0u);
    EXPECT_EQ(result(8), 0x00DA2401u) << "IOP memory block read back";
    EXPECT_EQ(result(9), 1u);
    EXPECT_EQ(result(10), 0u) << "plain data is no bind";
    EXPECT_EQ(result(11), kMinusOne) << "and signals nothing";
}

// The argument text is cut at 255 characters, however long the guest's.
TEST(SifRpc, ArchivePathKeepsAtMost255Characters) {
    resetMachine();
    const std::string module = "SJDATA.IRX";
    const std::string longPath(300, 'a');
    std::memcpy(memory.ram + kRpcSend + 8, module.c_str(), module.size() + 1);
    std::memcpy(memory.ram + kRpcSend + 267, longPath.c_str(), longPath.size() + 1);
    dispatchRpc(0x80000006, 0);
    EXPECT_EQ(archivePath, std::string(255, 'a'));
}

}  // namespace
