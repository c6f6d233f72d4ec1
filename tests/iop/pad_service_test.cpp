// The controller service: both protocols' commands and the area layout an
// open writes, the ports polled through the scripted PAD plugins at every
// vertical blank, and what a machine initialisation forgets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "debugger/debug_log.h"
#include "iop/pad_service.h"
#include "iop/sif_rpc.h"
#include "iop_guest.h"
#include "memory/guest_ram.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/test_plugins.h"

namespace {

constexpr u32 kFirst = 0x80000100;
constexpr u32 kSecond = 0x8000010F;
constexpr u32 kAreaBytes = 256;
constexpr u8 kUntouched = 0xAB;

struct Open {
    u32 server, port;
};

// Loads pad_ports with "pad" in PAD1 and "pad_b" in PAD2.
void loadPadPorts(const std::vector<std::pair<u32, u32>>& calls, const std::vector<Open>& opens, u32 frames) {
    useTestPlugins();
    ASSERT_TRUE(loadGuestProgram("pad_ports"));
    ASSERT_EQ(loadPad2Plugin(testPluginDir() + "test_pad_b.so"), 1u);
    initPlugins();
    clearRecording();
    for (u32 i = 0; i < calls.size(); ++i) {
        setRamWord(guestSymbol("calls") + 8 * i, calls[i].first);
        setRamWord(guestSymbol("calls") + 8 * i + 4, calls[i].second);
    }
    setRamWord(guestSymbol("callCount"), static_cast<u32>(calls.size()));
    for (u32 i = 0; i < opens.size(); ++i) {
        setRamWord(guestSymbol("opens") + 8 * i, opens[i].server);
        setRamWord(guestSymbol("opens") + 8 * i + 4, opens[i].port);
    }
    setRamWord(guestSymbol("openCount"), static_cast<u32>(opens.size()));
    setRamWord(guestSymbol("frames"), frames);
}

u32 areaAddress(u32 index) { return guestSymbol("areas") + kAreaBytes * index; }

// The area as the open should leave it: `writes` maps byte offsets to
// values, every other byte keeps the guest's fill.
std::vector<u8> areaWith(const std::vector<std::pair<u32, u8>>& writes) {
    std::vector<u8> area(kAreaBytes, kUntouched);
    for (const auto& [offset, value] : writes) area[offset] = value;
    return area;
}

std::vector<u8> areaBytes(u32 index) {
    const u8* area = memory.ram + areaAddress(index);
    return std::vector<u8>(area, area + kAreaBytes);
}

std::vector<std::pair<u32, u8>> zeroWord(u32 offset) { return {{offset, 0}, {offset + 1, 0}, {offset + 2, 0}, {offset + 3, 0}}; }

class ControllerService : public testing::Test {
protected:
    void TearDown() override { useNoPlugins(); }
};

TEST_F(ControllerService, CommandsAndOpenLayouts) {
    // Each command's reply words, preset to the marker; command 0x1C of the
    // second protocol is command 12 (the low four bits).
    const std::vector<std::pair<u32, u32>> calls = {{kFirst, 6},   {kFirst, 12},  {kFirst, 13},  {kFirst, 18},
                                                    {kFirst, 7},   {kSecond, 5},  {kSecond, 11}, {kSecond, 0x1C}};
    const std::vector<std::pair<u32, u32>> replyWordAndValue = {{5, 4}, {3, 2}, {3, 1}, {3, 0x300},
                                                                {5, 1}, {5, 4}, {3, 2}, {3, 1}};
    loadPadPorts(calls, {{kFirst, 0}, {kSecond, 3}, {kFirst, 2}}, 0);
    EXPECT_EQ(padServiceOpened, 0u);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    for (u32 i = 0; i < calls.size(); ++i) {
        for (u32 w = 0; w < 8; ++w) {
            const u32 want = w == replyWordAndValue[i].first ? replyWordAndValue[i].second : kReceiveMarker;
            EXPECT_EQ(guestWord(guestSymbol("replies") + 32 * i + 4 * w), want) << "call " << i << " word " << w;
        }
    }

    // The first protocol's area also carries the DualShock's mode table,
    // configuration state, current mode, counts and ready task.
    std::vector<std::pair<u32, u8>> first = {{2, 0xFF},  {3, 0xFF},   {112, 6},  {113, 0}, {96, 0x20}, {97, 0},
                                             {98, 0},    {99, 0},     {80, 4},   {81, 0},  {82, 7},    {83, 0},
                                             {100, 2},   {101, 0x41}, {104, 2},  {105, 0}, {106, 2},   {114, 1}};
    for (u32 offset : {88u, 88u + 64}) for (const auto& write : zeroWord(offset)) first.push_back(write);
    std::vector<std::pair<u32, u8>> second = {{10, 0xFF}, {11, 0xFF}, {4, 6}, {5, 0}, {40, 0x20}, {41, 0}, {42, 0}, {43, 0}};
    for (u32 offset : {0u, 64u}) for (const auto& write : zeroWord(offset)) second.push_back(write);

    EXPECT_EQ(guestWord(guestSymbol("opened")), 1u);
    EXPECT_EQ(areaBytes(0), areaWith(first));
    EXPECT_EQ(guestWord(guestSymbol("opened") + 4), 1u) << "second protocol, w1 = 3 opens port 1";
    EXPECT_EQ(areaBytes(1), areaWith(second));
    EXPECT_EQ(guestWord(guestSymbol("opened") + 8), 0u) << "port 2 does not exist";
    EXPECT_EQ(areaBytes(2), areaWith({}));
    EXPECT_EQ(padServiceOpened, 1u);
}

// Port 0 (first protocol, PAD1 "pad") and port 1 (second protocol, PAD2
// "pad_b") over two frames. The answer to 0x42 tells how many data bytes
// follow the padding byte; a miscount would misalign every later answer.
TEST_F(ControllerService, PollsBothPortsAtEachVerticalBlank) {
    loadPadPorts({}, {{kFirst, 0}, {kSecond, 1}}, 2);
    std::vector<u8> pad = {0x41, 0x00, 0x12, 0x34, 0x73, 0x00, 0x56, 0x78, 1, 2, 3, 4};
    std::vector<u8> padB = {0x70, 0x00, 0x9A, 0xBC};
    for (u8 i = 0; i < 30; ++i) padB.push_back(i);
    padB.insert(padB.end(), {0x41, 0x00, 0xDE, 0xF0});
    scriptPollAnswers("pad", pad);
    scriptPollAnswers("pad_b", padB);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    EXPECT_EQ(guestWord(guestSymbol("buttons")), 0x3412u);
    EXPECT_EQ(guestWord(guestSymbol("buttons") + 4), 0xBC9Au) << "32 data bytes for a low nibble of 0";
    EXPECT_EQ(guestWord(guestSymbol("buttons") + 16), 0x7856u) << "6 data bytes for 0x73";
    EXPECT_EQ(guestWord(guestSymbol("buttons") + 20), 0xF0DEu);

    // Each port's poll starts with its port number plus 1, then asks for the id with 0x42.
    std::vector<std::string> starts;
    const std::vector<RecordedCall> recorded = recordedCalls();
    for (size_t i = 0; i + 1 < recorded.size(); ++i) {
        if (recorded[i].entry != "PADstartPoll") continue;
        starts.push_back(recorded[i].library + " " + std::to_string(recorded[i].args.at(0)) + " " +
                         std::to_string(recorded[i + 1].args.at(0)));
    }
    EXPECT_EQ(starts, (std::vector<std::string>{"pad 1 66", "pad_b 2 66", "pad 1 66", "pad_b 2 66"}));
    const std::vector<std::string> entries = recordedEntries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "pad_b:PADkeyEvent"), 0) << "key events come from PAD1 once a port is open";
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "pad:PADkeyEvent"), 2);
}

// Before any open nothing is polled and key events come from PAD2; a new
// machine initialisation forgets the areas opened before it.
TEST_F(ControllerService, NothingIsPolledWithoutAnOpenPort) {
    loadPadPorts({}, {}, 1);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(recordedEntries("pad"), (std::vector<std::string>{"pad:PADopen", "pad:PADclose"}));
    EXPECT_EQ(recordedEntries("pad_b"), (std::vector<std::string>{"pad_b:PADopen", "pad_b:PADkeyEvent", "pad_b:PADclose"}));

    loadPadPorts({}, {{kFirst, 0}}, 0);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    ASSERT_EQ(padServiceOpened, 1u);
    resetMachine();
    EXPECT_EQ(padServiceOpened, 0u);
    clearRecording();
    pollControllers();
    EXPECT_EQ(recordedCalls().size(), 0u);
}

// The second protocol's area address is masked to RAM like the first's.
TEST_F(ControllerService, AreaAddressesAreMaskedToRam) {
    useTestPlugins();
    resetMachine();
    constexpr u32 kArea = 0x90000;
    for (u32 server : {kFirst, kSecond}) {
        SCOPED_TRACE(server);
        std::memset(memory.ram + kArea, kUntouched, kAreaBytes);
        const u32 request[5] = {server == kFirst ? 1u : 0u, 1, 0, 0, 0xFE000000 | kArea};
        for (u32 w = 0; w < 5; ++w) setRamWord(kRpcSend + 4 * w, request[w]);
        dispatchRpc(server, 1);
        EXPECT_EQ(ramWord(kRpcReceive + 12), 1u);
        EXPECT_EQ(memory.ram[kArea + (server == kFirst ? 112 : 4)], 6);
    }
}

// pad_dualshock.c queries both protocols the way the controller library
// does when it looks for a DualShock; every port holds one.
TEST_F(ControllerService, TheControllerLibraryFindsADualShockThroughEitherProtocol) {
    std::vector<std::string> debugLines;
    setDebugLogHook([&](const std::string& line) { debugLines.push_back(line); });
    ASSERT_TRUE(loadGuestProgram("pad_dualshock"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    setDebugLogHook(nullptr);
    const u32 expected[] = {
        1,       // second protocol: port 1 opened
        4,       // digital until the DualShock mode is set
        4,       // set main mode
        7,       // now the DualShock
        0xFFFF,  // sixteen buttons, no pressure
        2,       // actuators
        1,       // actuator alignment set
        0,       // an unanswered command leaves 0 in every result word
        1,       // first protocol: port 0 opened
        1,       // the DualShock type found in the area's mode table
        4,       // digital mode id in the area
        4,       // set main mode
        7,       // the area follows the mode change
        2,       // actuators in the area
        0xFFFF,  // button mask by command
    };
    for (u32 i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(guestWord(guestSymbol("results") + 4 * i), expected[i]) << "results[" << i << "]";
    }
    EXPECT_EQ(std::count(debugLines.begin(), debugLines.end(), "pad stub: no answer for controller server 0x8000010F command 10"), 1)
        << "reported once for its three calls";
}

}  // namespace
