#include "iop/pad_service.h"

#include <array>
#include <optional>

#include "iop/guest_ram.h"
#include "plugins/plugin_host.h"

u32 padServiceOpened;

namespace {

constexpr u32 kServerFirstProtocol = 0x80000100;
constexpr u32 kPortCount = 2;
constexpr u32 kMirrorArea = 64;  // each area has a second copy 64 bytes on

// Areas are kept as guest RAM offsets; every access goes through the
// bounded guest RAM helpers.
struct PortAreas {
    std::optional<u32> first;
    std::optional<u32> second;
    std::optional<u32> status;
};

std::array<PortAreas, kPortCount> ports;

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
    ports[port].first = area;
    ports[port].status = area;
    setRamWord(area + 88, 0);
    setRamWord(area + kMirrorArea + 88, 0);
    setFrameState(area + 112);
    setRamWord(area + 96, 0x20);
    markOpened(receive, area);
}

void openSecondProtocol(u32 port, u32 area, u32 receive) {
    ports[port].second = area;
    ports[port].status = area + 8;
    setRamWord(area, 0);
    setRamWord(area + kMirrorArea, 0);
    setFrameState(area + 4);
    setRamWord(area + 40, 0x20);
    markOpened(receive, area + 8);
}

// The first protocol's commands. Ports other than 0 and 1 are refused:
// there are only two.
void firstProtocol(const RpcCall& call) {
    switch (call.sendWord(0)) {
        case 1:
            if (call.sendWord(1) < kPortCount) openFirstProtocol(call.sendWord(1), ramOffset(call.sendWord(4)), call.receive);
            break;
        case 6: setRamWord(call.receive + 20, 4); break;
        case 12: setRamWord(call.receive + 12, 2); break;
        case 13: setRamWord(call.receive + 12, 1); break;
        case 18: setRamWord(call.receive + 12, 0x300); break;
        default: break;
    }
}

// The second protocol keeps the command in the low four bits and the port
// in bit 0 of w1; its area address is masked to RAM like the first's.
void secondProtocol(const RpcCall& call) {
    switch (call.sendWord(0) & 15) {
        case 0: openSecondProtocol(call.sendWord(1) & 1, ramOffset(call.sendWord(4)), call.receive); break;
        case 5: setRamWord(call.receive + 20, 4); break;
        case 11: setRamWord(call.receive + 12, 2); break;
        case 12: setRamWord(call.receive + 12, 1); break;
        default: break;
    }
}

// A controller answers 0x42 with its id, whose low nibble counts its data
// in half-words (0 meaning 16 of them); one padding byte precedes the data.
void pollPort(u32 port) {
    const PortAreas& areas = ports[port];
    if (!areas.status) return;
    if (areas.second) setFrameState(*areas.second + 4);
    if (areas.first) setFrameState(*areas.first + 112);
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
    ports = {};
    padServiceOpened = 0;
}

void padServer(const RpcCall& call) {
    if (call.function() != 1) return;
    if (ramWord(call.packet + 52) == kServerFirstProtocol) firstProtocol(call);
    else secondProtocol(call);
}

void pollControllers() {
    for (u32 port = 0; port < kPortCount; ++port) pollPort(port);
}
