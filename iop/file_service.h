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

#include <array>
#include <cstddef>
#include <string>

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

// A host file the guest has open: the real descriptor, and the guest's path
// and open flags, which a saved machine state records to open it again.
// descriptor -1 with an empty path is a free handle; -1 with a path is a
// file that could not be opened again, which answers -1 until closed.
struct HostFile {
    int descriptor = -1;
    std::string path;
    u32 flags = 0;
    bool isFree() const { return descriptor < 0 && path.empty(); }
};

inline constexpr u32 kArchiveSlots = 16;

struct ArchiveSlot {
    bool inUse = false;
    u32 size = 0;
    u32 offset = 0;
    u32 pos = 0;
};

// The SJDF archive: its table and buffer live in IOP memory (guest RAM),
// the archive file itself is a disc file slot while it is open.
struct ArchiveState {
    s32 handle = -1;
    bool ready = false;
    u32 buffer = 0;      // guest RAM, the read buffer
    u32 table = 0;       // guest RAM: the header and entry table as read
    u32 entryCount = 0;  // as read from the archive; the copy in guest RAM is the guest's to change
    u32 openCount = 0;
    std::array<ArchiveSlot, kArchiveSlots> slots{};
};

struct FileServiceState {
    std::array<HostFile, kHostHandleLimit> hostFiles;  // 0-2, the standard streams, stay free
    ArchiveState archive;
    u32 openNotifyAddress = 0;  // where the notifying open writes its notice
    u32 openNotifyExtra = 0;
};

extern FileServiceState fileService;

// Open flags of the guest's requests (bits 0-1: 1 read, 2 write, 3 both).
inline constexpr u32 kHostOpenAppend = 0x100;
inline constexpr u32 kHostOpenCreate = 0x200;
inline constexpr u32 kHostOpenTruncate = 0x400;

// The host open(2) flags for a guest's open flags; links are never
// followed and descriptors do not pass to child processes.
int hostOpenFlags(u32 flags);

// Closes every host file the guest opened and forgets the archive and the
// notification addresses.
void fileServiceReset();

// Where guest writes to the standard output and error streams go; null
// (the default) drops them. The write still answers its size either way.
using TtySink = void (*)(const char* bytes, size_t count);
void setTtySink(TtySink sink);

// Function 0 open, 1 close, 2 read, 3 write, 4 seek, 255 init; any other
// answers -1.
void fileIoServer(const RpcCall& call);
