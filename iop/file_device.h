// The back ends of the file service: one per kind of file, each numbering
// its own open files from 0 (its slots). The dispatcher picks the back end
// by the device in front of a path and by the kind bit of a handle, and
// hands over the slot without that bit.
#pragma once

#include <string>

#include "core/types.h"

struct FileDevice {
    // path: the part after the device's colon; flags: the guest's open
    // flags. The slot, or a negative answer for the guest.
    s32 (*open)(const std::string& path, u32 flags);
    s32 (*close)(s32 slot);
    // destination: host memory with room for size bytes, bounded to guest
    // RAM by the caller.
    s32 (*read)(s32 slot, u8* destination, u32 size);
    // buffer and size as the guest gave them; the back end bounds them.
    s32 (*write)(s32 slot, u32 buffer, u32 size);
    // origin 0: from the start, 1: from the position, 2: from the end.
    s32 (*seek)(s32 slot, s32 offset, s32 origin);
};

// Host files below the host root ("host", "rom", "mc").
extern const FileDevice hostFileDevice;
// Files on the disc, through the ISO 9660 reader ("cdrom", "cdfs").
extern const FileDevice discFileDevice;
// Entries of the disc's SJDF data archive ("sjdata").
extern const FileDevice archiveFileDevice;

// Closes the descriptors of the host files the guest opened and frees
// their handles.
void closeHostFiles();

// The answer of a write to a device that takes none: nothing written is
// no fault, anything else fails.
s32 refuseWrite(s32 slot, u32 buffer, u32 size);
