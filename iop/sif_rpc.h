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
//   44  call: the size of the receive buffer
//   52  call: the server id the client is bound to
#pragma once

#include <array>
#include <string>

#include "core/types.h"

inline constexpr u32 kSifCmdIopReset = 0x80000003;
inline constexpr u32 kSifCmdRpcBind = 0x80000009;
inline constexpr u32 kSifCmdRpcCall = 0x8000000A;
inline constexpr u32 kSifCmdRemoteDataRead = 0x8000000C;

inline constexpr u32 kRpcFailure = 0xFFFFFFFF;  // -1

// The IOP's module set version as four characters ("2000" until an IOP
// reset names an IOPRP image). Kept for the whole run, not reset with the
// machine.
inline constexpr std::array<char, 4> kIopVersionAtStart = {'2', '0', '0', '0'};
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
    u32 receiveSize() const;
    u32 server() const;
    // Word `index` of the send buffer (w0, w1, ...).
    u32 sendWord(u32 index) const;
    // Writes the reply into receive word 0.
    void answer(u32 value) const;
    // Writes receive word `index` when the receive size the guest gave
    // reaches past it: a further word of a reply some clients read.
    void answerWord(u32 index, u32 value) const;
};

// A request no server here can answer: the guest gets the failure answer
// (-1 in receive word 0, when its receive buffer has room for it), and a
// message names the server and function, once for each such pair.
void rpcUnanswered(const RpcCall& call);

// The report alone, for a server that gives its own failure answer.
void rpcReportUnanswered(const RpcCall& call);

// Hands the call to the server the packet names (word at offset 52). An
// unknown server leaves the receive buffer as it was.
void rpcDispatch(const RpcCall& call);

// Kernel call 119: a0 = the first transfer descriptor (src, dest, size,
// attr; 16 bytes each), a1 = the number of descriptors. The last
// descriptor carries the command packet; for an RPC call the one before it
// carries the send buffer. A list whose last descriptor has attribute 0
// is plain data for IOP memory, not a command. Always answers 1.
//
// The remote data read copies `size` bytes of IOP memory to EE RAM
// (packet words: 28 the guest's receive-data record, whose semaphore is
// signalled; 32 the IOP address; 36 the EE address; 40 the size). IOP
// memory is the low 2 MB of EE RAM, where the IOP memory service hands
// out its blocks; the IOP's own kernel and module list are not there, so
// a program walking that list finds no module loaded.
void SYSCALL_sceSifSetDma();
