#include "iop/pad_service.h"

#include <array>
#include <cstdio>
#include <optional>

#include "core/diagnostics.h"
#include "memory/guest_ram.h"
#include "plugins/plugin_host.h"

u32 padServiceOpened;
std::array<PadPortAreas, kPadPortCount> padPorts;

namespace {

constexpr u32 kServerFirstProtocol = 0x80000100;
constexpr u32 kMirrorArea = 64;  // each area has a second copy 64 bytes on


// Every port holds a DualShock: two modes, digital and DualShock (the mode
// types the controller library compares with), two actuators, no
// combinations, and the sixteen digital buttons without pressure.
constexpr u32 kModeCount = 2;
constexpr std::array<u32, kModeCount> kModeTypes = {4, 7};
constexpr std::array<u8, kModeCount> kModeIds = {0x41, 0x73};  // what the controller answers to 0x42
constexpr u32 kActuatorCount = 2;
constexpr u32 kButtonMask = 0xFFFF;

// The mode information queries (infoMode of the controller library).
enum InfoMode : u32 { kModeCurrentId = 1, kModeCurrentExtendedId = 2, kModeCurrentOffset = 3, kModeTable = 4 };

u32 modeInformation(const PadPortAreas& port, u32 infoMode, s32 index) {
    switch (infoMode) {
        case kModeCurrentId:
        case kModeCurrentExtendedId: return kModeTypes[port.modeOffset];
        case kModeCurrentOffset: return port.modeOffset;
        case kModeTable:
            if (index == -1) return kModeCount;
            return index >= 0 && static_cast<u32>(index) < kModeCount ? kModeTypes[index] : 0;
        default: return 0;
    }
}

// The actuator count for actuator -1; the actuators' own data is not
// modelled and reads 0.
u32 actuatorInformation(s32 actuator) { return actuator == -1 ? kActuatorCount : 0; }

// The first protocol's library reads the mode and actuator information
// from the port area rather than asking for it: mode table (u16s) at 80,
// configuration state at 100 (2: modes and actuators known), current mode
// id at 101, mode count at 104, current mode offset at 105, actuator count
// at 106, and the port's task at 114 (1: ready).
void writeFirstProtocolInformation(u32 area, u32 modeOffset) {
    for (u32 i = 0; i < kModeCount; ++i) {
        setRamByte(area + 80 + 2 * i, static_cast<u8>(kModeTypes[i]));
        setRamByte(area + 81 + 2 * i, 0);
    }
    setRamByte(area + 100, 2);
    setRamByte(area + 101, kModeIds[modeOffset]);
    setRamByte(area + 104, kModeCount);
    setRamByte(area + 105, static_cast<u8>(modeOffset));
    setRamByte(area + 106, kActuatorCount);
    setRamByte(area + 114, 1);
}

void replyWord(const RpcCall& call, u32 word, u32 value) { setRamWord(call.receive + 4 * word, value); }

// A command the service cannot answer: 0, the controller library's
// failure, in each of its result words, and one report.
void unansweredCommand(const RpcCall& call, u32 command) {
    for (u32 word = 3; word <= 5; ++word) replyWord(call, word, 0);
    logReport(LogCategory::Pad, LogLevel::Stub, "no answer for controller server 0x%08X command %u", call.server(), command);
}

u32 portOf(const RpcCall& call) { return call.sendWord(1) & 1; }

void setFrameState(u32 address) {
    setRamByte(address, 6);
    setRamByte(address + 1, 0);
}

void markOpened(u32 receive, u32 status) {
    setRamByte(status + 2, 0xFF);
    setRamByte(status + 3, 0xFF);
    setRamWord(receive + 12, 1);
    padServiceOpened = 1;
}

void openFirstProtocol(u32 port, u32 area, u32 receive) {
    padPorts[port].first = area;
    padPorts[port].status = area;
    setRamWord(area + 88, 0);
    setRamWord(area + kMirrorArea + 88, 0);
    setFrameState(area + 112);
    setRamWord(area + 96, 0x20);
    writeFirstProtocolInformation(area, padPorts[port].modeOffset);
    markOpened(receive, area);
}

void openSecondProtocol(u32 port, u32 area, u32 receive) {
    padPorts[port].second = area;
    padPorts[port].status = area + 8;
    setRamWord(area, 0);
    setRamWord(area + kMirrorArea, 0);
    setFrameState(area + 4);
    setRamWord(area + 40, 0x20);
    markOpened(receive, area + 8);
}

// The first protocol's commands. Ports other than 0 and 1 are refused:
// there are only two. Mode and actuator information is in the area.
void firstProtocol(const RpcCall& call) {
    const u32 command = call.sendWord(0);
    switch (command) {
        case 1:
            if (call.sendWord(1) < kPadPortCount) openFirstProtocol(call.sendWord(1), ramOffset(call.sendWord(4)), call.receive);
            break;
        case 6: {  // set main mode
            PadPortAreas& port = padPorts[portOf(call)];
            port.modeOffset = call.sendWord(3) & 1;
            if (port.first) writeFirstProtocolInformation(*port.first, port.modeOffset);
            replyWord(call, 5, 4);
            break;
        }
        case 7:   // actuator directions
        case 8: replyWord(call, 5, 1); break;  // actuator alignment
        case 9: replyWord(call, 3, kButtonMask); break;
        case 12: replyWord(call, 3, 2); break;
        case 13: replyWord(call, 3, 1); break;
        case 16: replyWord(call, 3, 1); break;  // initialise
        case 18: replyWord(call, 3, 0x300); break;
        default: unansweredCommand(call, command); break;
    }
}

// The second protocol keeps the command in the low four bits and the port
// in bit 0 of w1; its area address is masked to RAM like the first's. Its
// library asks for mode and actuator information with commands.
void secondProtocol(const RpcCall& call) {
    const u32 command = call.sendWord(0) & 15;
    PadPortAreas& port = padPorts[portOf(call)];
    switch (command) {
        case 0: openSecondProtocol(portOf(call), ramOffset(call.sendWord(4)), call.receive); break;
        case 2: replyWord(call, 5, actuatorInformation(static_cast<s32>(call.sendWord(3)))); break;
        case 3: replyWord(call, 5, 0); break;  // no actuator combinations
        case 4: replyWord(call, 5, modeInformation(port, call.sendWord(3), static_cast<s32>(call.sendWord(4)))); break;
        case 5:
            port.modeOffset = call.sendWord(3) & 1;
            replyWord(call, 5, 4);
            break;
        case 6:   // actuator directions
        case 7: replyWord(call, 5, 1); break;  // actuator alignment
        case 8: replyWord(call, 3, kButtonMask); break;
        case 11: replyWord(call, 3, 2); break;
        case 12: replyWord(call, 3, 1); break;
        default: unansweredCommand(call, command); break;
    }
}

// A controller answers 0x42 with its id, whose low nibble counts its data
// in half-words (0 meaning 16 of them); one padding byte precedes the data.
void pollPort(u32 port) {
    const PadPortAreas& areas = padPorts[port];
    if (!areas.status) return;
    if (areas.second) setFrameState(*areas.second + 4);
    if (areas.first) {
        setFrameState(*areas.first + 112);
        writeFirstProtocolInformation(*areas.first, areas.modeOffset);
    }
    const PadSlot slot = port == 0 ? PadSlot::Pad1 : PadSlot::Pad2;
    padStartPoll(slot, port + 1);
    const u8 id = padPoll(slot, 0x42);
    const u32 dataBytes = (id & 0x0F) == 0 ? 32 : 2 * (id & 0x0F);
    padPoll(slot, 0);
    for (u32 i = 0; i < dataBytes; ++i) {
        const u8 data = padPoll(slot, 0);
        if (i < 2) setRamByte(*areas.status + 2 + i, data);
    }
}

}  // namespace

void resetPadService() {
    padPorts = {};
    padServiceOpened = 0;
}

void padServer(const RpcCall& call) {
    if (call.function() != 1) return rpcUnanswered(call);
    if (call.server() == kServerFirstProtocol) firstProtocol(call);
    else secondProtocol(call);
}

void pollControllers() {
    for (u32 port = 0; port < kPadPortCount; ++port) pollPort(port);
}
