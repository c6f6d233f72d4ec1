// The disc services the IOP offers over RPC: raw sector reads, the search
// for a file's position on the disc, the disc type, the tray state and a
// handful of functions with fixed answers.
#pragma once

#include "core/types.h"
#include "iop/sif_rpc.h"

// The disc type a guest last set (function 34 of 0x80000593); 1 at start.
// Like trayChanged it lasts for the whole run, not reset with the machine.
inline constexpr u32 kDiscMediaTypeAtStart = 1;
extern u32 discMediaType;
// Set by tray request 0, reported and cleared by tray request 2.
extern u32 trayChanged;

// Servers 0x80000592, 0x80000593, 0x80000595, 0x80000596, 0x80000597 and
// 0x8000059A; the server is told by the packet's word at offset 52.
void cdvdServer(const RpcCall& call);
