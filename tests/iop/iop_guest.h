// Shared by the IOP tests: the rpc_script guest program's call table, and
// a scratch folder that serves as the host root.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "iop/host_root.h"
#include "iop/sif_rpc.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"
#include "support/scratch_folder.h"

inline constexpr u32 kReceiveMarker = 0xA5A5A5A5;
inline constexpr u32 kMinusOne = 0xFFFFFFFF;

// One call of rpc_script. `answer` empty: the receive word must keep the
// marker, the call being left unanswered.
struct ScriptCall {
    const char* label;
    u32 server;
    u32 function;
    std::vector<u32> words;  // the send buffer's first words
    std::optional<u32> answer;
    std::vector<std::pair<u32, std::string>> text = {};  // strings placed at byte offsets of the send buffer
};

// One call made straight into the dispatcher, with the send buffer at
// kRpcSend, the receive buffer at kRpcReceive and the packet at kRpcPacket;
// answers the receive buffer's first word (kReceiveMarker if unanswered).
inline constexpr u32 kRpcSend = 0x80000, kRpcReceive = 0x81000, kRpcPacket = 0x82000;
inline u32 dispatchRpc(u32 server, u32 function, u32 sendSize = 0) {
    setRamWord(kRpcPacket + 32, function);
    setRamWord(kRpcPacket + 36, sendSize);
    setRamWord(kRpcPacket + 52, server);
    setRamWord(kRpcReceive, kReceiveMarker);
    rpcDispatch(RpcCall{kRpcSend, kRpcReceive, kRpcPacket});
    return ramWord(kRpcReceive);
}

// Writes the calls into the loaded rpc_script program's table.
inline void writeScript(const std::vector<ScriptCall>& calls) {
    constexpr u32 kCaseBytes = 332;  // server, function, send size, 80 send words
    constexpr u32 kSendBytes = 320;
    ASSERT_LE(calls.size(), 32u);
    for (u32 i = 0; i < calls.size(); ++i) {
        u8* entry = memory.ram + guestSymbol("calls") + kCaseBytes * i;
        std::memset(entry, 0, kCaseBytes);
        hostStore<u32>(entry, calls[i].server);
        hostStore<u32>(entry + 4, calls[i].function);
        hostStore<u32>(entry + 8, kSendBytes);
        u8* send = entry + 12;
        for (u32 w = 0; w < calls[i].words.size(); ++w) hostStore<u32>(send + 4 * w, calls[i].words[w]);
        for (const auto& [offset, text] : calls[i].text) {
            ASSERT_LT(offset + text.size(), kSendBytes);
            std::memcpy(send + offset, text.c_str(), text.size() + 1);
        }
    }
    hostStore<u32>(memory.ram + guestSymbol("callCount"), static_cast<u32>(calls.size()));
}

// Loads rpc_script, runs the calls and checks every answer; each call must
// have signalled its client for both the bind and the call.
// `beforeRun` sets what the machine keeps across resets (loading resets it).
inline void runScript(const std::vector<ScriptCall>& calls, const std::function<void()>& beforeRun = {}) {
    ASSERT_TRUE(loadGuestProgram("iop_rpc_script"));
    if (beforeRun) beforeRun();
    writeScript(calls);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    for (u32 i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(guestWord(guestSymbol("answers") + 4 * i), calls[i].answer.value_or(kReceiveMarker)) << calls[i].label;
        EXPECT_EQ(guestWord(guestSymbol("signalled") + 4 * i), 1u) << calls[i].label;
    }
}

// A fresh folder made the host root for one test, and the root put back
// to the current directory afterwards.
struct HostRootFolder {
    const ScratchFolder folder{"iop"};
    const std::filesystem::path& path = folder.path();
    HostRootFolder() {
        std::filesystem::create_directories(path / "host");
        setHostRoot(path);
    }
    ~HostRootFolder() { setHostRoot("."); }
};
