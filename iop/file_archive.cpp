#include "iop/file_archive.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/work_budget.h"
#include "disc/iso9660.h"
#include "iop/file_device.h"
#include "iop/file_service.h"
#include "iop/iop_memory.h"
#include "iop/module_loader.h"
#include "memory/guest_ram.h"

namespace {

constexpr u32 kArchiveChunk = 16384;
constexpr u32 kArchiveBufferBytes = kArchiveChunk + 1;
constexpr u32 kSjdfMagic = 0x46444A53;  // "SJDF"

ArchiveState& archive = fileService.archive;

// The disc path without a "cdrom0:" style device in front.
std::string archiveDiscPath() {
    const size_t colon = archivePath.find(':');
    return colon == std::string::npos ? archivePath : archivePath.substr(colon + 1);
}

bool readArchiveBytes(u32 destination, u32 count) {
    return isoRead(archive.handle, ramAt(destination), count) == static_cast<s32>(count);
}

void closeArchiveFile() {
    if (archive.handle >= 0) isoClose(archive.handle);
    archive.handle = -1;
}

void decodeEntryNames(u32 count) {
    for (u32 entry = 0; entry < count; ++entry) {
        const u32 name = archive.table + kSjdfHeaderBytes + kSjdfEntryBytes * entry;
        for (u32 i = 0; i < kSjdfNameBytes; ++i) {
            const u8 plain = static_cast<u8>(ramByte(name + i) - sjdfNameOffset);
            setRamByte(name + i, plain);
            if (plain == 0) break;
        }
    }
}

// The table lives in IOP memory, which a machine reset clears: a table
// whose magic is gone is read again.
bool archiveTableIntact() { return archive.table != 0 && ramWord(archive.table) == kSjdfMagic; }

// The entries that an archive of this many bytes can hold: a count above it
// is a lie, and the table is not read.
u32 entriesThatFit(u32 archiveBytes) {
    return archiveBytes < kSjdfHeaderBytes ? 0 : (archiveBytes - kSjdfHeaderBytes) / kSjdfEntryBytes;
}

// Reads the header and the entry table into IOP memory; false when the
// archive is missing, short or not SJDF.
bool readArchiveTable() {
    const u32 header = iopAlloc(kSjdfEntryBytes);
    if (header == 0) return false;
    archive.handle = isoOpen(archiveDiscPath(), 1);
    const bool isSjdf = archive.handle >= 0 && readArchiveBytes(header, kSjdfEntryBytes) && ramWord(header) == kSjdfMagic;
    const u32 count = ramWord(header + 4);
    iopFree(header);
    if (!isSjdf || count > entriesThatFit(static_cast<u32>(isoSeek(archive.handle, 0, 2)))) return false;
    const u32 tableBytes = count * kSjdfEntryBytes + kSjdfHeaderBytes;
    archive.table = iopAlloc(tableBytes);
    if (archive.table != 0 && isoSeek(archive.handle, 0, 0) == 0 && readArchiveBytes(archive.table, tableBytes)) {
        decodeEntryNames(count);
        archive.entryCount = count;
        return true;
    }
    if (archive.table != 0) iopFree(archive.table);
    archive.table = 0;
    return false;
}

// A failed preparation gives its IOP memory back, so that a guest that
// keeps asking for a missing archive does not drain the heap.
void prepareArchive() {
    closeArchiveFile();
    archive = ArchiveState{};
    archive.buffer = iopAlloc(kArchiveBufferBytes);
    if (archive.buffer == 0) return;
    std::memset(ramAt(archive.buffer), 0, kArchiveBufferBytes);
    archive.ready = readArchiveTable();
    closeArchiveFile();
    if (!archive.ready) {
        iopFree(archive.buffer);
        archive.buffer = 0;
    }
}

bool archivePrepared() {
    if (!archive.ready || !archiveTableIntact()) prepareArchive();
    return archive.ready;
}

// Archive entries open read-only whatever flags the guest gives.
s32 archiveOpen(const std::string& name, u32) {
    if (!archivePrepared()) return -1;
    for (u32 entry = 0; entry < archive.entryCount; ++entry) {
        if (!workCharge(1, LogCategory::Iop, "archive lookup")) return -1;
        const u32 record = archive.table + kSjdfHeaderBytes + kSjdfEntryBytes * entry;
        const std::string entryName = ramString(record, kSjdfNameBytes);
        if (entryName != name) continue;
        const auto slot = std::find_if(archive.slots.begin(), archive.slots.end(), [](const ArchiveSlot& s) { return !s.inUse; });
        if (slot == archive.slots.end()) return -3;
        *slot = ArchiveSlot{true, ramWord(record + 56), ramWord(record + 60), 0};
        ++archive.openCount;
        return static_cast<s32>(slot - archive.slots.begin());
    }
    return -1;
}

ArchiveSlot* archiveSlot(s32 slot) {
    if (slot < 0 || slot >= static_cast<s32>(kArchiveSlots) || !archive.slots[slot].inUse) return nullptr;
    return &archive.slots[slot];
}

// Data is delta-coded: a stored byte is the plain byte XOR the stored byte
// before it, the entry's first byte stored as it is. A read from pos > 0
// also fetches the stored byte before the first wanted one.
s32 archiveRead(s32 slotNumber, u8* destination, u32 size) {
    if (!archivePrepared()) return -1;
    if (archive.handle < 0) archive.handle = isoOpen(archiveDiscPath(), 1);
    if (archive.handle < 0) return -1;
    ArchiveSlot* slot = archiveSlot(slotNumber);
    if (slot == nullptr) return -1;
    const u32 left = slot->pos < slot->size ? slot->size - slot->pos : 0;
    const u32 total = std::min(size, left);
    const bool chunked = total > kArchiveChunk;
    const u8* stored = ramAt(archive.buffer);
    u32 done = 0;
    while (done < total) {
        const u32 chunk = std::min(total - done, kArchiveChunk);
        const u32 extra = slot->pos != 0 ? 1 : 0;
        const u64 start = u64{slot->offset} + slot->pos - extra;
        if (start > 0x7FFFFFFF || isoSeek(archive.handle, static_cast<s32>(start), 0) != static_cast<s32>(start)) return -2;
        const u32 wanted = chunked ? chunk + 1 : chunk + extra;
        const s32 got = isoRead(archive.handle, ramAt(archive.buffer), wanted);
        if (chunked && got != static_cast<s32>(wanted)) return -3;
        u8* out = destination + done;
        if (extra == 0) {
            out[0] = stored[0];
            for (u32 i = 1; i < chunk; ++i) out[i] = stored[i] ^ stored[i - 1];
        } else {
            for (u32 i = 0; i < chunk; ++i) out[i] = stored[i + 1] ^ stored[i];
        }
        slot->pos += chunk;
        done += chunk;
    }
    return static_cast<s32>(total);
}

s32 archiveSeek(s32 slotNumber, s32 offset, s32 origin) {
    ArchiveSlot* slot = archiveSlot(slotNumber);
    if (slot == nullptr) return -1;
    switch (origin) {
        case 0: slot->pos = static_cast<u32>(offset); break;
        case 1: slot->pos += static_cast<u32>(offset); break;
        case 2: slot->pos = slot->size + static_cast<u32>(offset); break;
        default: return -1;
    }
    return static_cast<s32>(slot->pos);
}

s32 archiveClose(s32 slotNumber) {
    ArchiveSlot* slot = archiveSlot(slotNumber);
    if (slot == nullptr) return -1;
    slot->inUse = false;
    if (--archive.openCount == 0) closeArchiveFile();
    return 0;
}

}  // namespace

const FileDevice archiveFileDevice = {archiveOpen, archiveClose, archiveRead, refuseWrite, archiveSeek};
