#include "iop/iop_memory.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "iop/host_root.h"
#include "memory/guest_ram.h"

namespace {

constexpr u32 kUnitBytes = 256;
constexpr u32 kMaxUnits = 0x7FFF;
constexpr u32 kReservedBytes = 0x1500;
constexpr u32 kFirstTable = 0x1500;
constexpr u32 kTableBytes = 252;
constexpr u32 kRecordsPerTable = 31;
constexpr u32 kTableLinkOffset = 248;
// A table is added once this record of the last table fills, so that a
// split always finds a free slot at the end of the list.
constexpr u32 kUpkeepRecord = 27;
// The reserved area and the first table are the first two records; a free
// never looks at them.
constexpr u32 kFirstFreeableRecord = 2;

// The heap asks for 2 MB; a size is capped at what the record fields can
// describe and rounded down to whole units, and one too small to hold the
// reserved area and the first table is no heap at all.
constexpr u32 heapSizeFor(u32 requested) {
    const u32 size = std::min(requested, kMaxUnits * kUnitBytes) & ~(kUnitBytes - 1);
    return size < kReservedBytes + kUnitBytes ? 0 : size;
}
constexpr u32 kHeapSize = heapSizeFor(0x200000);

constexpr u32 makeRecord(bool inUse, u32 startUnit, u32 units) {
    return (inUse ? 1u : 0u) | (startUnit << 1) | (units << 17);
}
constexpr bool isInUse(u32 record) { return record & 1; }
constexpr u32 startUnit(u32 record) { return (record >> 1) & kMaxUnits; }
constexpr u32 unitCount(u32 record) { return record >> 17; }

constexpr u32 unitsFor(u64 bytes) { return static_cast<u32>((bytes + kUnitBytes - 1) / kUnitBytes); }

// The record tables as read from their chain in guest RAM. A link that does
// not name a table block inside the heap ends the chain, and the chain is
// never longer than the heap has blocks, so a guest that scribbles over the
// tables cannot send the walk outside the heap or round in circles.
struct RecordList {
    std::vector<u32> tables;

    u32 slotCount() const { return kRecordsPerTable * static_cast<u32>(tables.size()); }
    u32 slotAddress(u32 index) const { return tables[index / kRecordsPerTable] + 4 * (index % kRecordsPerTable); }
    u32 get(u32 index) const { return ramWord(slotAddress(index)); }
    void set(u32 index, u32 record) const { setRamWord(slotAddress(index), record); }

    void insert(u32 index, u32 record) const {
        for (u32 slot = slotCount() - 1; slot > index; --slot) set(slot, get(slot - 1));
        set(index, record);
    }
    void remove(u32 index) const {
        for (u32 slot = index; slot + 1 < slotCount(); ++slot) set(slot, get(slot + 1));
        set(slotCount() - 1, 0);
    }
};

bool isTableBlock(u32 address) { return address % kUnitBytes == 0 && address < kHeapSize && address != 0; }

RecordList readRecordList() {
    RecordList list{{kFirstTable}};
    for (u32 link = ramWord(kFirstTable + kTableLinkOffset); isTableBlock(link) && list.tables.size() < kHeapSize / kUnitBytes;
         link = ramWord(link + kTableLinkOffset)) {
        list.tables.push_back(link);
    }
    return list;
}

void clearBlock(u32 address) {
    for (u32 offset = 0; offset < kUnitBytes; offset += 4) setRamWord(address + offset, 0);
}

// First fit; a larger free record is split, its rest becoming a new free
// record right behind it. 0 when nothing fits or the list has no slot left.
u32 allocateUnits(const RecordList& list, u32 units) {
    for (u32 index = 0; index < list.slotCount(); ++index) {
        const u32 record = list.get(index);
        if (unitCount(record) == 0) return 0;
        if (isInUse(record) || unitCount(record) < units) continue;
        if (unitCount(record) > units) {
            if (list.get(list.slotCount() - 1) != 0) return 0;
            list.insert(index + 1, makeRecord(false, startUnit(record) + units, unitCount(record) - units));
        }
        list.set(index, makeRecord(true, startUnit(record), units));
        return startUnit(record) * kUnitBytes;
    }
    return 0;
}

// Marks the block free and merges it with free neighbours.
bool freeBlock(const RecordList& list, u32 address) {
    if (address % kUnitBytes != 0) return false;
    for (u32 index = kFirstFreeableRecord; index < list.slotCount(); ++index) {
        u32 record = list.get(index);
        if (unitCount(record) == 0) return false;
        if (startUnit(record) * kUnitBytes != address) continue;
        if (!isInUse(record)) return false;
        record = makeRecord(false, startUnit(record), unitCount(record));
        list.set(index, record);
        const u32 next = index + 1 < list.slotCount() ? list.get(index + 1) : 0;
        if (unitCount(next) != 0 && !isInUse(next)) {
            record = makeRecord(false, startUnit(record), unitCount(record) + unitCount(next));
            list.set(index, record);
            list.remove(index + 1);
        }
        const u32 previous = list.get(index - 1);
        if (!isInUse(previous)) {
            list.set(index - 1, makeRecord(false, startUnit(previous), unitCount(previous) + unitCount(record)));
            list.remove(index);
        }
        return true;
    }
    return false;
}

// Grows the chain by one table when the last one is nearly full and drops
// the last table once the one before it has room again.
void keepTables(RecordList& list) {
    const u32 last = list.tables.back();
    if (ramWord(last + 4 * kUpkeepRecord) != 0) {
        const u32 table = allocateUnits(list, 1);
        if (table != 0) {
            clearBlock(table);
            setRamWord(last + kTableLinkOffset, table);
            list.tables.push_back(table);
        }
    }
    if (list.tables.size() >= 2) {
        const u32 previous = list.tables[list.tables.size() - 2];
        if (ramWord(previous + 4 * kUpkeepRecord) == 0) {
            const u32 table = list.tables.back();
            setRamWord(previous + kTableLinkOffset, 0);
            list.tables.pop_back();
            freeBlock(list, table);
        }
    }
}

// The heap is made on first use and made again after a machine reset has
// cleared RAM: it exists while the first table still starts with the
// reserved area's record and its own.
bool heapExists() {
    return ramWord(kFirstTable) == makeRecord(true, 0, unitsFor(kReservedBytes)) &&
           ramWord(kFirstTable + 4) == makeRecord(true, kFirstTable / kUnitBytes, 1);
}

bool createHeap() {
    if (kHeapSize == 0) return false;
    clearBlock(kFirstTable);
    setRamWord(kFirstTable, makeRecord(false, 0, kHeapSize / kUnitBytes));
    const RecordList list{{kFirstTable}};
    const u32 reserved = allocateUnits(list, unitsFor(kReservedBytes));
    const u32 table = allocateUnits(list, unitsFor(kTableBytes));
    return reserved == 0 && table == kFirstTable;
}

bool heapReady() { return heapExists() || createHeap(); }

// Function 3: w0 the destination, from byte 4 "device:path". Only the rom
// and host devices are served; a relative path names a file in the folder
// "host" below the host root.
constexpr u32 kLoadNameOffset = 4;
constexpr u32 kLoadNameMax = 1024;

bool isAbsolutePath(const std::string& path) {
    return path.starts_with('\\') || path.starts_with('/') || (path.size() >= 3 && path.compare(1, 2, ":\\") == 0);
}

// The whole file goes to RAM or nothing does: a file that would run past
// the end of RAM is refused.
bool loadFile(u32 destination, const std::string& name) {
    const size_t colon = name.find(':');
    if (colon == std::string::npos) return false;
    const std::string device = name.substr(0, colon);
    if (!device.starts_with("rom") && !device.starts_with("host")) return false;
    std::string path = name.substr(colon + 1);
    if (!isAbsolutePath(path)) path = "host\\" + path;
    const std::optional<std::filesystem::path> hostPath = resolveHostPath(path);
    if (!hostPath) return false;
    std::error_code error;
    if (!std::filesystem::is_regular_file(*hostPath, error)) return false;
    const std::uintmax_t size = std::filesystem::file_size(*hostPath, error);
    if (error || size > ramBytesToEnd(destination)) return false;
    std::FILE* file = std::fopen(hostPath->c_str(), "rb");
    if (file == nullptr) return false;
    const size_t read = std::fread(ramAt(destination), 1, size, file);
    std::fclose(file);
    return read == size;
}

constexpr u32 kFailure = static_cast<u32>(-1);

}  // namespace

u32 iopAlloc(u32 size) {
    const u32 units = unitsFor(size);
    if (units == 0 || !heapReady()) return 0;
    RecordList list = readRecordList();
    const u32 address = units <= kMaxUnits ? allocateUnits(list, units) : 0;
    keepTables(list);
    return address;
}

s32 iopFree(u32 address) {
    if (!heapReady()) return -1;
    RecordList list = readRecordList();
    if (!freeBlock(list, address)) return -1;
    keepTables(list);
    return 0;
}

void iopMemoryServer(const RpcCall& call) {
    switch (call.function()) {
        case 1: call.answer(iopAlloc(call.sendWord(0))); break;
        case 2: call.answer(static_cast<u32>(iopFree(call.sendWord(0)))); break;
        case 3: {
            const std::string name = ramString(call.send + kLoadNameOffset, kLoadNameMax);
            call.answer(loadFile(call.sendWord(0), name) ? 0 : kFailure);
            break;
        }
        case 4: break;
        default:
            call.answer(kFailure);
            rpcReportUnanswered(call);
            break;
    }
}
