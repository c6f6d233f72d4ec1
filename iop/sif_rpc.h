// The SIF command path between the EE and the emulated IOP servers.
//
// The IOP is not run. A guest's SIF runtime builds a command packet in EE
// RAM and passes it with kernel call 119; the kernel answers the packet at
// once, inside the call: it writes the reply where the guest expects it and
// signals the semaphore the guest waits on.
//
// Command packet words used (byte offsets):
//    8  command id: IOP reset, RPC bind or RPC call
//   24  reset: the argument string
//   28  bind, call: the client record's address
//   32  bind: the server id asked for; call: the function number
//   36  call: the size of the send buffer
//   40  call: the receive buffer's address
//   52  call: the server id the client is bound to
#pragma once

#include <array>

#include "core/types.h"

inline constexpr u32 kSifCmdIopReset = 0x80000003;
inline constexpr u32 kSifCmdRpcBind = 0x80000009;
inline constexpr u32 kSifCmdRpcCall = 0x8000000A;

// The IOP's module set version as four characters ("2000" until an IOP
// reset names an IOPRP image). Kept for the whole run, not reset with the
// machine.
extern std::array<char, 4> iopVersion;

// iopVersion's four characters in order as one little-endian word, the way
// the servers answer it.
u32 iopVersionWord();

// One RPC call as a server sees it: the guest RAM addresses of the send
// buffer, the receive buffer and the call packet.
struct RpcCall {
    u32 send;
    u32 receive;
    u32 packet;

    u32 function() const;
    u32 sendSize() const;
    // Word `index` of the send buffer (w0, w1, ...).
    u32 sendWord(u32 index) const;
    // Writes the reply into receive word 0.
    void answer(u32 value) const;
};

// Hands the call to the server the packet names (word at offset 52). An
// unknown server leaves the receive buffer as it was.
void rpcDispatch(const RpcCall& call);

// Kernel call 119: a0 = the first transfer descriptor (src, dest, size,
// attr; 16 bytes each), a1 = the number of descriptors. The last
// descriptor carries the command packet; for an RPC call the one before it
// carries the send buffer. Always answers 1.
void SYSCALL_sceSifSetDma();
