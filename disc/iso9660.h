// The ISO 9660 reader: everything read from the disc goes through here.
// It turns logical sector numbers into the minute/second/frame addresses
// the CDVD plugin expects, finds the volume descriptor, walks directories
// and keeps a 16-slot table of open disc files with byte-granular seek and
// read on top of 2048-byte sectors.
//
// The disc is not trusted: directory records are only parsed when they lie
// wholly inside the sector buffer, every record advances the scan, and a
// directory's walk ends after the sector count its "." record gives.
#pragma once

#include <string_view>

#include "core/types.h"

inline constexpr u32 kIsoSectorSize = 2048;
inline constexpr u32 kIsoFileSlots = 16;
inline constexpr u32 kIsoMaxNameLength = 128;
inline constexpr u8 kIsoDirectoryFlag = 0x02;

// The CDVD's 2352-byte raw sector holds the 2048 user bytes at offset 24.
// Mode 0 copies those, mode 1 the 2328 bytes from offset 24, mode 2 the
// 2340 bytes from offset 12 (everything after the sync pattern).
struct ReadModeRecord {
    u8 unused[2];
    u8 mode;
};

// Where a logical sector lies on the disc: two seconds of lead-in (150
// sectors) come first, 75 frames make a second.
struct DiscAddress {
    u8 minute;
    u8 second;
    u8 frame;
};
DiscAddress discAddressOfSector(u32 logicalSector);

// One directory record as the reader keeps it.
struct IsoEntry {
    u32 lsn;
    u32 size;
    u8 flags;
    char name[kIsoMaxNameLength + 1];
    u8 date[4];  // years since 1900, month, day, hour
    u8 time[2];  // minute, second
    u8 gmtOffset;
};

struct IsoFileSlot {
    u32 inUse;
    u32 size;  // bytes
    u32 lsn;   // first sector
    s32 pos;   // byte position, 0 ... size
};

struct DiscFileTable {
    IsoFileSlot slots[kIsoFileSlots];
    u32 openCount;
    u32 prepared;
};

extern DiscFileTable discFiles;
// The volume descriptor in use: the last one of type 1 or 2 in the set.
extern u8 volumeDescriptor[kIsoSectorSize];

// Reads `count` sectors from `logicalSector` on into `destination`, which
// must have room for count times the mode's size. 1 on success, 0 when the
// plugin fails a read or the mode is not 0, 1 or 2.
u32 readSectors(u32 logicalSector, u32 count, u8* destination, const ReadModeRecord& readMode);

// Copies the last type-1 or type-2 descriptor of sectors 16-19 (before the
// first sector without "CD001") into volumeDescriptor. Always 1.
u32 findVolumeDescriptor();

// Finds a file by a path such as "\DATA\FILE.BIN;1". Directory names
// match directories exactly; the file name matches a file's whole name,
// whatever the case (a record without a version matches any version). 1
// found, 0 not in the last directory, -1 a missing directory or a failed
// read.
s32 isoFind(std::string_view path, IsoEntry& entry);

// Clears the file table the first time it is called; later calls do nothing.
void isoPrepare();

// Closes every disc file and forgets the volume descriptor: a reset machine
// has no disc file open.
void isoReset();

// Slot 0-15; -1 not found, -2 a mode other than 1, -3 no free slot.
s32 isoOpen(std::string_view path, s32 mode);

// origin 0: from the start, 1: from pos, 2: from the end. The new position
// clamped to 0 ... size, or -1 for a bad slot or origin.
s32 isoSeek(s32 slot, s32 offset, s32 origin);

// Reads up to `count` bytes at pos into `destination` (room for `count`
// bytes). Bytes read, 0 when a sector read fails (pos then stays), -1 for a
// bad slot.
s32 isoRead(s32 slot, void* destination, u32 count);

// 0, or -1 for a bad slot.
s32 isoClose(s32 slot);
