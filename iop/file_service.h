// The IOP file service (server 0x80000001): open, close, read, write and
// seek on host files, disc files and files inside the disc's SJDF data
// archive. A path's device picks the kind ("host", "rom", "mc": host file
// below the host root; "cdrom", "cdfs": disc file; "sjdata": archive
// entry), and the handle it answers carries the kind:
//   bit 6 set          disc file slot 0-15
//   else bit 5 set     archive slot 0-15
//   else               host file: 0-2 the standard streams, 3-31 the
//                      files the guest opened (mapped to real descriptors)
#pragma once

#include <cstddef>

#include "core/types.h"
#include "iop/sif_rpc.h"

inline constexpr u32 kDiscHandleBit = 0x40;
inline constexpr u32 kArchiveHandleBit = 0x20;
inline constexpr u32 kFirstHostHandle = 3;
inline constexpr u32 kHostHandleLimit = 32;

// Every entry name in an SJDF archive is stored with this value added to
// each byte (modulo 256).
inline constexpr u8 sjdfNameOffset = 0x37;
inline constexpr u32 kSjdfHeaderBytes = 16;
inline constexpr u32 kSjdfEntryBytes = 64;
inline constexpr u32 kSjdfNameBytes = 56;

// Where guest writes to the standard output and error streams go; null
// (the default) drops them. The write still answers its size either way.
using TtySink = void (*)(const char* bytes, size_t count);
void setTtySink(TtySink sink);

// Function 0 open, 1 close, 2 read, 3 write, 4 seek, 255 init; any other
// answers -1.
void fileIoServer(const RpcCall& call);
