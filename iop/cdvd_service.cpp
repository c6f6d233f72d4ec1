#include "iop/cdvd_service.h"

#include <iterator>
#include <string>

#include "disc/iso9660.h"
#include "memory/guest_ram.h"

u32 discMediaType = kDiscMediaTypeAtStart;
u32 trayChanged = 0;

namespace {

constexpr u32 kServerPrepare = 0x80000592;
constexpr u32 kServerDrive = 0x80000593;
constexpr u32 kServerRead = 0x80000595;
constexpr u32 kServerSearch = 0x80000597;
constexpr u32 kServerDiscReady = 0x8000059A;

constexpr u32 kReadModeByte = 14;
constexpr u32 kFileRecordBytes = 32;
constexpr u32 kFileRecordNameBytes = 16;

// Bytes each read mode stores per sector; 0 for a mode the reader refuses.
constexpr u32 sectorBytesOfMode(u8 mode) {
    constexpr u32 kBytes[] = {2048, 2328, 2340};
    return mode < 3 ? kBytes[mode] : 0;
}

u8 toBcd(u32 value) { return static_cast<u8>((value / 10) << 4 | value % 10); }

// Function 1 and 13: w0 first sector, w1 count, w2 destination, byte 14 the
// mode. Sectors go one at a time so the read stops at the end of RAM
// instead of running past it; a read cut short there answers 0.
u32 readSectorsToGuest(const RpcCall& call) {
    const u32 first = call.sendWord(0);
    const u32 count = call.sendWord(1);
    if (count == 0) return 1;
    const ReadModeRecord readMode{{0, 0}, ramByte(call.send + kReadModeByte)};
    const u32 sectorBytes = sectorBytesOfMode(readMode.mode);
    if (sectorBytes == 0) return 0;
    const u32 destination = call.sendWord(2);
    u32 written = 0;
    for (u32 i = 0; i < count; ++i) {
        if (ramBytesToEnd(destination) - written < sectorBytes) return 0;
        if (readSectors(first + i, 1, ramAt(destination) + written, readMode) == 0) return 0;
        written += sectorBytes;
    }
    return 1;
}

// The 32-byte position record written into the start of the send buffer;
// cleared when nothing was found.
void writeFileRecord(u32 address, const IsoEntry* entry) {
    for (u32 offset = 0; offset < kFileRecordBytes; offset += 4) setRamWord(address + offset, 0);
    if (entry == nullptr) return;
    setRamWord(address, entry->lsn);
    setRamWord(address + 4, entry->size);
    for (u32 i = 0; i + 1 < kFileRecordNameBytes && entry->name[i] != '\0'; ++i) {
        setRamByte(address + 8 + i, static_cast<u8>(entry->name[i]));
    }
    const u32 year = 1900 + entry->date[0];
    const u8 dateBytes[] = {entry->time[1], entry->time[0], entry->date[3], entry->date[2],
                            entry->date[1], toBcd(year / 100 % 100), toBcd(year % 100)};
    for (u32 i = 0; i < std::size(dateBytes); ++i) setRamByte(address + 24 + i, dateBytes[i]);
}

// Function 0 of 0x80000597: the path follows a header whose length the send
// size tells; any other size is not a search.
u32 searchFile(const RpcCall& call) {
    const u32 size = call.sendSize();
    u32 pathOffset = 0;
    if (size == 292) pathOffset = 32;
    else if (size == 296 || size == 300) pathOffset = 36;
    else return 0;
    const std::string path = ramString(call.send + pathOffset, size - pathOffset);
    IsoEntry entry{};
    const s32 found = isoFind(path, entry);
    writeFileRecord(call.send, found == 1 ? &entry : nullptr);
    return static_cast<u32>(found);
}

u32 driveFunction(const RpcCall& call) {
    switch (call.function()) {
        case 3: return discMediaType == 1 ? 18 : 20;
        case 5:
            if (call.sendWord(0) == 0) trayChanged = 1;
            if (call.sendWord(0) == 2) {
                setRamWord(call.receive + 4, trayChanged);
                trayChanged = 0;
            }
            return 1;
        case 12: return 2;
        case 14:
        case 15:
        case 16: return 1;
        case 34: discMediaType = call.sendWord(0); return 1;
        default: return 0;
    }
}

u32 readFunction(const RpcCall& call) {
    switch (call.function()) {
        case 1: return readSectorsToGuest(call);
        case 13: {
            const u32 result = readSectorsToGuest(call);
            setRamWord(call.sendWord(5), call.sendWord(0) + call.sendWord(1));
            return result;
        }
        case 14: return 2;
        default: return 0;
    }
}

}  // namespace

void cdvdServer(const RpcCall& call) {
    const u32 function = call.function();
    switch (ramWord(call.packet + 52)) {
        case kServerPrepare:
            if (function != 0) return call.answer(0);
            isoPrepare();
            return call.answer(1);
        case kServerDrive: return call.answer(driveFunction(call));
        case kServerRead: return call.answer(readFunction(call));
        case kServerSearch: return call.answer(function == 0 ? searchFile(call) : 0);
        case kServerDiscReady: return call.answer(function == 0 ? 2 : 0);
        default: return call.answer(0);  // 0x80000596 answers 0 to everything
    }
}
