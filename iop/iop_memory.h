// IOP memory (server 0x80000003). The IOP is not emulated, so its memory is
// the low 2 MB of EE RAM: an address the heap hands out is an EE RAM
// address that the guest uses directly.
//
// The heap gives out 256-byte units. Its blocks are described by one-word
// block records kept in address order:
//   bit 0       in use
//   bits 1-15   start / 256
//   bits 17-31  length / 256 (0: an empty slot)
// The records sit in record tables of 31 that live in the heap itself, one
// 256-byte block each: records at bytes 0-123, the address of the next
// table (0 for none) at byte 248. The tables are chained and the records
// run through them as one list, non-empty records first. The first table
// is at 0x1500, behind the reserved low area 0-0x14FF.
#pragma once

#include "core/types.h"
#include "iop/sif_rpc.h"

// A block of at least `size` bytes, first fit: its guest address, or 0.
u32 iopAlloc(u32 size);

// Frees the block in use that starts at `address`: 0, or -1 when there is
// none (the reserved area and the first table are never freed).
s32 iopFree(u32 address);

// Function 1 allocates, 2 frees, 3 loads a host file into guest RAM.
void iopMemoryServer(const RpcCall& call);
