// The IOP file service (server 0x80000001): open, close, read, write and
// seek on host files, disc files and files inside the disc's SJDF data
// archive. A path's device picks the back end (iop/file_device.h): "host",
// "rom", "mc": host file below the host root; "cdrom", "cdfs": disc file;
// "sjdata": archive entry. The handle it answers carries the kind:
//   bit 6 set          disc file slot 0-15
//   else bit 5 set     archive slot 0-15
//   else               host file: 0-2 the standard streams, 3-31 the
//                      files the guest opened (mapped to real descriptors)
#pragma once

#include <array>

#include "core/types.h"
#include "iop/file_archive.h"
#include "iop/file_host.h"
#include "iop/sif_rpc.h"

inline constexpr u32 kDiscHandleBit = 0x40;
inline constexpr u32 kArchiveHandleBit = 0x20;

struct FileServiceState {
    std::array<HostFile, kHostHandleLimit> hostFiles;  // 0-2, the standard streams, stay free
    ArchiveState archive;
    u32 openNotifyAddress = 0;  // where the notifying open writes its notice
    u32 openNotifyExtra = 0;
};

extern FileServiceState fileService;

// Closes every host file the guest opened and forgets the archive and the
// notification addresses.
void fileServiceReset();

// Function 0 open, 1 close, 2 read, 3 write, 4 seek, 255 init; any other
// answers -1.
void fileIoServer(const RpcCall& call);
