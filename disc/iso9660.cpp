#include "disc/iso9660.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/diagnostics.h"
#include "core/work_budget.h"
#include "frontend/log.h"
#include "plugins/plugin_host.h"

DiscFileTable discFiles;
u8 volumeDescriptor[kIsoSectorSize];

namespace {

constexpr u32 kLeadInSectors = 150;
constexpr u32 kFirstDescriptorSector = 16;
constexpr u32 kLastDescriptorSector = 19;
constexpr u32 kRootRecordOffset = 156;
constexpr u32 kMaxPathLength = 1024;
constexpr u32 kMaxDirectoryPartLength = 255;
// A sector read costs the host about as much as moving its bytes in quadwords.
constexpr u32 kWorkUnitsPerSector = kIsoSectorSize / 16;

// Directory record fields (offsets within the record).
constexpr u32 kRecordExtent = 2;
constexpr u32 kRecordDataLength = 10;
constexpr u32 kRecordDate = 18;
constexpr u32 kRecordFlags = 25;
constexpr u32 kRecordNameLength = 32;
constexpr u32 kRecordName = 33;

struct ModeLayout {
    u32 offset;
    u32 size;
};
constexpr ModeLayout kModeLayouts[] = {{24, 2048}, {24, 2328}, {12, 2340}};

// The reader's own reads always take the 2048 user bytes.
constexpr ReadModeRecord kUserDataMode{};
u8 bounceBuffer[kIsoSectorSize];
u8 directorySector[kIsoSectorSize];

u32 readU32(const u8* bytes) {
    u32 value;
    std::memcpy(&value, bytes, 4);
    return value;
}

u16 readU16(const u8* bytes) {
    u16 value;
    std::memcpy(&value, bytes, 2);
    return value;
}

bool readOneSector(u32 logicalSector, u8* destination) {
    return readSectors(logicalSector, 1, destination, kUserDataMode) == 1;
}

bool equalIgnoringCase(char a, char b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

// The directory being scanned: its extent, and where the scan is in the
// sector held in directorySector.
struct DirectoryScan {
    u32 lsn = 0;
    u32 sectorCount = 0;
    u32 sector = 0;  // index of the held sector within the directory
    u32 offset = 0;  // byte position of the next record in the held sector
};

// The record length: the reader takes bytes 0-1, which is the length when
// there is no extended attribute record.
u32 recordLengthAt(u32 offset) {
    return offset + 2 <= kIsoSectorSize ? readU16(directorySector + offset) : 0;
}

// Reads a directory's first sector; its "." record gives the extent and
// the sector count, and the scan starts after "." and "..".
bool enterDirectory(u32 lsn, DirectoryScan& scan) {
    if (!readOneSector(lsn, directorySector)) return false;
    scan.lsn = readU32(directorySector + kRecordExtent);
    scan.sectorCount = readU32(directorySector + kRecordDataLength) / kIsoSectorSize;
    scan.sector = 0;
    scan.offset = 0;
    for (int skipped = 0; skipped < 2; ++skipped) {
        const u32 length = recordLengthAt(scan.offset);
        if (length == 0) break;
        scan.offset += length;
    }
    return true;
}

enum class ScanStep { Record, End, ReadFailed };

// Moves to the next record, reading the directory's next sector when the
// held one is used up (a zero length, the sector end, or a record whose
// name would run past the sector). `record` points into directorySector.
ScanStep nextRecord(DirectoryScan& scan, const u8*& record) {
    for (;;) {
        const u32 length = scan.offset < kIsoSectorSize ? recordLengthAt(scan.offset) : 0;
        const u32 at = scan.offset;
        const bool fits = length != 0 && at + kRecordName <= kIsoSectorSize &&
                          at + kRecordName + directorySector[at + kRecordNameLength] <= kIsoSectorSize;
        if (fits) {
            scan.offset += length;
            record = directorySector + at;
            return ScanStep::Record;
        }
        if (scan.sector + 1 >= scan.sectorCount) return ScanStep::End;
        ++scan.sector;
        scan.offset = 0;
        if (!readOneSector(scan.lsn + scan.sector, directorySector)) return ScanStep::ReadFailed;
    }
}

// A type-2 (Joliet) descriptor stores names as big-endian 16-bit characters;
// the reader keeps the low byte of each. Names are cut at a NUL, as a C
// string would be.
void buildEntry(const u8* record, IsoEntry& entry) {
    entry.lsn = readU32(record + kRecordExtent);
    entry.size = readU32(record + kRecordDataLength);
    entry.flags = record[kRecordFlags];
    std::memcpy(entry.date, record + kRecordDate, 4);
    std::memcpy(entry.time, record + kRecordDate + 4, 2);
    entry.gmtOffset = record[kRecordDate + 6];
    const u32 nameLength = record[kRecordNameLength];
    const u8* name = record + kRecordName;
    u32 length = 0;
    if (volumeDescriptor[0] == 2) {
        for (; length < nameLength / 2 && length < kIsoMaxNameLength; ++length) entry.name[length] = static_cast<char>(name[2 * length + 1]);
    } else {
        for (; length < nameLength && length < kIsoMaxNameLength; ++length) entry.name[length] = static_cast<char>(name[length]);
    }
    entry.name[length] = '\0';
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!equalIgnoringCase(a[i], b[i])) return false;
    }
    return true;
}

// Whole names match, whatever the case: "SYSTEM.CNF;1" finds SYSTEM.CNF;1,
// but neither "SYSTEM" nor "SYSTEM.CNF;12" does. A record without a version
// (a Joliet name) matches the wanted name with any version after its ';'.
// An empty name matches nothing.
bool fileNameMatches(std::string_view recordName, std::string_view wanted) {
    if (recordName.empty()) return false;
    if (recordName.find(';') == std::string_view::npos) wanted = wanted.substr(0, wanted.find(';'));
    return equalIgnoringCase(recordName, wanted);
}

// Log.txt gets the console's line; the messages say what was being looked for.
void logReadFailure(std::string_view wanted) {
    logPrintf("Couldn't Read from CD !\n");
    logReport(LogCategory::Disc, LogLevel::Error, "a directory sector could not be read while looking for '%.*s'",
              static_cast<int>(wanted.size()), wanted.data());
}

// Walks one directory component from the scan's directory into the
// matching subdirectory. 1 entered, -1 missing or unreadable.
s32 enterComponent(DirectoryScan& scan, std::string_view component) {
    IsoEntry entry;
    for (;;) {
        const u8* record = nullptr;
        const ScanStep step = nextRecord(scan, record);
        if (step == ScanStep::End) return -1;
        if (step == ScanStep::ReadFailed) {
            logReadFailure(component);
            return -1;
        }
        if ((record[kRecordFlags] & kIsoDirectoryFlag) == 0) continue;
        buildEntry(record, entry);
        if (component != entry.name) continue;
        if (!enterDirectory(entry.lsn, scan)) {
            logReadFailure(component);
            return -1;
        }
        return 1;
    }
}

IsoFileSlot* usedSlot(s32 slot) {
    if (slot < 0 || slot >= static_cast<s32>(kIsoFileSlots)) return nullptr;
    IsoFileSlot& file = discFiles.slots[slot];
    return file.inUse ? &file : nullptr;
}

}  // namespace

DiscAddress discAddressOfSector(u32 logicalSector) {
    const u32 absolute = logicalSector + kLeadInSectors;
    return {static_cast<u8>(absolute / 4500), static_cast<u8>(absolute / 75 % 60), static_cast<u8>(absolute % 75)};
}

u32 readSectors(u32 logicalSector, u32 count, u8* destination, const ReadModeRecord& mode) {
    if (count == 0) return 1;
    if (mode.mode >= std::size(kModeLayouts)) return 0;
    const ModeLayout layout = kModeLayouts[mode.mode];
    // A directory or file that claims gigabytes is read only as far as the
    // work budget of the guest request (or the boot) goes.
    WorkScope scope;
    for (u32 i = 0; i < count; ++i) {
        if (!workCharge(kWorkUnitsPerSector, LogCategory::Disc, "disc read")) return 0;
        const DiscAddress address = discAddressOfSector(logicalSector + i);
        cdvdLoc location{};
        location.minute = address.minute;
        location.second = address.second;
        location.frame = address.frame;
        if (cdvdReadTrack(&location) == 0xFFFFFFFF) return 0;
        const u8* raw = cdvdGetBuffer();
        if (raw == nullptr) return 0;
        std::memcpy(destination, raw + layout.offset, layout.size);
        destination += layout.size;
    }
    return 1;
}

u32 findVolumeDescriptor() {
    for (u32 sector = kFirstDescriptorSector; sector <= kLastDescriptorSector; ++sector) {
        if (!readOneSector(sector, bounceBuffer)) break;
        if (std::memcmp(bounceBuffer + 1, "CD001", 5) != 0) break;
        if (bounceBuffer[0] == 1 || bounceBuffer[0] == 2) std::memcpy(volumeDescriptor, bounceBuffer, kIsoSectorSize);
    }
    return 1;
}

s32 isoFind(std::string_view path, IsoEntry& entry) {
    path = path.substr(0, kMaxPathLength);
    std::size_t split = path.rfind('/');
    if (split == std::string_view::npos) split = path.rfind('\\');
    const std::string_view directoryPart =
        split == std::string_view::npos ? std::string_view() : path.substr(0, std::min<std::size_t>(split, kMaxDirectoryPartLength));
    const std::string_view name =
        (split == std::string_view::npos ? path : path.substr(split + 1)).substr(0, kIsoMaxNameLength);
    findVolumeDescriptor();

    DirectoryScan scan;
    if (!enterDirectory(readU32(volumeDescriptor + kRootRecordOffset + kRecordExtent), scan)) return -1;

    std::size_t start = 0;
    while (start <= directoryPart.size()) {
        std::size_t end = directoryPart.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = directoryPart.size();
        const std::string_view component = directoryPart.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        if (enterComponent(scan, component) != 1) return -1;
    }

    for (;;) {
        const u8* record = nullptr;
        const ScanStep step = nextRecord(scan, record);
        if (step == ScanStep::End) return 0;
        if (step == ScanStep::ReadFailed) {
            logReadFailure(name);
            return -1;
        }
        if (record[kRecordFlags] & kIsoDirectoryFlag) continue;  // a file is asked for
        IsoEntry candidate;
        buildEntry(record, candidate);
        if (fileNameMatches(candidate.name, name)) {
            entry = candidate;
            return 1;
        }
    }
}

void isoReset() {
    discFiles = {};
    std::memset(volumeDescriptor, 0, sizeof volumeDescriptor);
}

void isoPrepare() {
    if (discFiles.prepared) return;
    discFiles = {};
    discFiles.prepared = 1;
}

s32 isoOpen(std::string_view path, s32 mode) {
    IsoEntry entry;
    if (isoFind(path, entry) != 1) return -1;
    if (mode != 1) return -2;
    for (u32 slot = 0; slot < kIsoFileSlots; ++slot) {
        IsoFileSlot& file = discFiles.slots[slot];
        if (file.inUse) continue;
        file = {1, entry.size, entry.lsn, 0};
        ++discFiles.openCount;
        return static_cast<s32>(slot);
    }
    return -3;
}

s32 isoSeek(s32 slot, s32 offset, s32 origin) {
    IsoFileSlot* file = usedSlot(slot);
    if (file == nullptr) return -1;
    s64 position;
    switch (origin) {
    case 0: position = offset; break;
    case 1: position = static_cast<s64>(file->pos) + offset; break;
    case 2: position = static_cast<s64>(file->size) + offset; break;
    default: return -1;
    }
    // pos is 32-bit signed: a file that claims more than 2 GB is read up to there.
    const s64 limit = std::min<s64>(file->size, INT32_MAX);
    file->pos = static_cast<s32>(std::clamp<s64>(position, 0, limit));
    return file->pos;
}

s32 isoRead(s32 slot, void* destination, u32 count) {
    IsoFileSlot* file = usedSlot(slot);
    if (file == nullptr) return -1;
    const u32 pos = static_cast<u32>(std::max(file->pos, 0));
    if (pos > file->size) return 0;
    count = std::min({count, file->size - pos, static_cast<u32>(INT32_MAX) - pos});

    u8* out = static_cast<u8*>(destination);
    u32 sector = file->lsn + pos / kIsoSectorSize;
    u32 remaining = count;
    const u32 offsetInSector = pos % kIsoSectorSize;
    if (offsetInSector != 0 && remaining > 0) {
        if (!readOneSector(sector, bounceBuffer)) return 0;
        const u32 part = std::min(remaining, kIsoSectorSize - offsetInSector);
        std::memcpy(out, bounceBuffer + offsetInSector, part);
        out += part;
        remaining -= part;
        ++sector;
    }
    const u32 wholeSectors = remaining / kIsoSectorSize;
    if (wholeSectors > 0) {
        if (!readSectors(sector, wholeSectors, out, kUserDataMode)) return 0;
        out += wholeSectors * kIsoSectorSize;
        remaining -= wholeSectors * kIsoSectorSize;
        sector += wholeSectors;
    }
    if (remaining > 0) {
        if (!readOneSector(sector, bounceBuffer)) return 0;
        std::memcpy(out, bounceBuffer, remaining);
    }
    file->pos = static_cast<s32>(pos + count);
    return static_cast<s32>(count);
}

s32 isoClose(s32 slot) {
    IsoFileSlot* file = usedSlot(slot);
    if (file == nullptr) return -1;
    file->inUse = 0;
    --discFiles.openCount;
    return 0;
}
