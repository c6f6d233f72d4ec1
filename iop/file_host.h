// The host files the guest opens through the file service, confined to the
// host root (iop/host_root.h). Handles 0-2 are the standard streams, whose
// writes go to the tty sink; 3-31 map to real descriptors.
#pragma once

#include <cstddef>
#include <string>

#include "core/types.h"

inline constexpr u32 kFirstHostHandle = 3;
inline constexpr u32 kHostHandleLimit = 32;

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

// Open flags of the guest's requests (bits 0-1: 1 read, 2 write, 3 both).
inline constexpr u32 kHostOpenAppend = 0x100;
inline constexpr u32 kHostOpenCreate = 0x200;
inline constexpr u32 kHostOpenTruncate = 0x400;

// The host open(2) flags for a guest's open flags; links are never
// followed and descriptors do not pass to child processes.
int hostOpenFlags(u32 flags);

// Where guest writes to the standard output and error streams go; null
// (the default) drops them. The write still answers its size either way.
using TtySink = void (*)(const char* bytes, size_t count);
void setTtySink(TtySink sink);
