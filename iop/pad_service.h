// The controller service: the guest tells the IOP where in EE RAM to keep
// each port's state, and the ports are polled into those areas at every
// vertical blank.
#pragma once

#include <array>
#include <optional>

#include "core/types.h"
#include "iop/sif_rpc.h"

// 0 until a guest opens a controller port; it then chooses PAD1 over PAD2
// as the source of key events at the vertical blank.
extern u32 padServiceOpened;

// The areas a guest registered for a port, as guest RAM offsets; every
// access goes through the bounded guest RAM helpers.
struct PadPortAreas {
    std::optional<u32> first;
    std::optional<u32> second;
    std::optional<u32> status;
    u32 modeOffset;  // the main mode set last: 0 digital, 1 DualShock
};

inline constexpr u32 kPadPortCount = 2;
extern std::array<PadPortAreas, kPadPortCount> padPorts;

// Forgets every registered port area and clears padServiceOpened; done at
// each machine initialisation (with the vertical blank's handler).
void resetPadService();

// Servers 0x80000100 (first protocol) and 0x8000010F (second protocol).
// Only function 1 is answered; the command is send word 0. Each port holds
// a DualShock without pressure-sensitive buttons: its mode table (digital,
// DualShock), actuator count and button mask answer the controller
// library's queries, by command (second protocol) or in the port area
// (first protocol). A command not answered here gets 0 in the reply's
// result words and one line in the debugger's message list.
void padServer(const RpcCall& call);

// Polls ports 0 and then 1, PAD1 serving port 0 and PAD2 port 1, into the
// areas the guest registered: the first two data bytes of each answer land
// in bytes 2 and 3 of the port's status.
void pollControllers();
