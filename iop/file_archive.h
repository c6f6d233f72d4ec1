// Reading the disc's SJDF data archive (iop/sjdf_archive.h has its format)
// for the file service. The table and the read buffer live in IOP memory
// (guest RAM); the archive file itself is a disc file slot while it is open.
#pragma once

#include <array>

#include "core/types.h"
#include "iop/sjdf_archive.h"

inline constexpr u32 kArchiveSlots = 16;

struct ArchiveSlot {
    bool inUse = false;
    u32 size = 0;
    u32 offset = 0;
    u32 pos = 0;
};

struct ArchiveState {
    s32 handle = -1;
    bool ready = false;
    u32 buffer = 0;      // guest RAM, the read buffer
    u32 table = 0;       // guest RAM: the header and entry table as read
    u32 entryCount = 0;  // as read from the archive; the copy in guest RAM is the guest's to change
    u32 openCount = 0;
    std::array<ArchiveSlot, kArchiveSlots> slots{};
};
