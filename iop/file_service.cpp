#include "iop/file_service.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "core/work_budget.h"
#include "disc/iso9660.h"
#include "iop/guest_ram.h"
#include "iop/host_root.h"
#include "iop/iop_memory.h"
#include "iop/module_loader.h"
#include "kernel/objects.h"

FileServiceState fileService;

namespace {

constexpr s32 kFailure = -1;
constexpr u32 kOpenFlagsAccepted = 0x3FEF;
constexpr u32 kNameMax = 1024;
constexpr u32 kNotifyOpenSendSize = 1048;
constexpr u32 kNotifyCloseSendSize = 20;
constexpr u32 kNotifyReadSendSize = 32;
constexpr u32 kNotifyResultBytes = 20;

TtySink ttySink = nullptr;

u8* ramAt(u32 address) { return memory.ram + ramOffset(address); }

// The byte count of a guest buffer that lies inside RAM.
u32 boundedSize(u32 address, u32 size) { return std::min(size, kRamSize - ramOffset(address)); }

// ---- Host files -------------------------------------------------------

bool isHostHandle(s32 handle) {
    return handle >= static_cast<s32>(kFirstHostHandle) && handle < static_cast<s32>(kHostHandleLimit);
}

int hostDescriptor(s32 handle) { return isHostHandle(handle) ? fileService.hostFiles[handle].descriptor : -1; }

}  // namespace

int hostOpenFlags(u32 flags) {
    int access = O_RDONLY;
    if ((flags & 3) == 2) access = O_WRONLY;
    if ((flags & 3) == 3) access = O_RDWR;
    if (flags & kHostOpenAppend) access |= O_APPEND;
    if (flags & kHostOpenTruncate) access |= O_TRUNC;
    return access | O_CLOEXEC | O_NOFOLLOW;
}

namespace {

// The resolved path has no link left in it. A file that is there is opened
// as it is; one that is not is created new (O_EXCL), so that nothing put at
// that place after the path was checked is followed or reused.
int openResolved(const std::filesystem::path& path, u32 flags) {
    const int access = hostOpenFlags(flags);
    const int descriptor = ::open(path.c_str(), access);
    if (descriptor >= 0 || errno != ENOENT || (flags & kHostOpenCreate) == 0) return descriptor;
    return ::open(path.c_str(), access | O_CREAT | O_EXCL, 0600);
}

// The path is confined to the host root; the second try with a leading
// "/" names the same file below the root, so one resolution covers both.
s32 hostOpen(const std::string& path, u32 flags) {
    auto& files = fileService.hostFiles;
    const auto slot = std::find_if(files.begin() + kFirstHostHandle, files.end(), [](const HostFile& file) { return file.isFree(); });
    if (slot == files.end()) return kFailure;
    const auto hostPath = resolveHostPath(path);
    if (!hostPath) return kFailure;
    const int descriptor = openResolved(*hostPath, flags);
    if (descriptor < 0) return kFailure;
    *slot = HostFile{descriptor, path, flags};
    return static_cast<s32>(slot - files.begin());
}

// A handle whose file could not be opened again after a state load answers
// -1 to everything; closing it frees the handle.
s32 hostClose(s32 handle) {
    if (!isHostHandle(handle) || fileService.hostFiles[handle].isFree()) return kFailure;
    const int descriptor = fileService.hostFiles[handle].descriptor;
    fileService.hostFiles[handle] = HostFile{};
    if (descriptor < 0) return kFailure;
    return ::close(descriptor) == 0 ? 0 : kFailure;
}

s32 hostRead(s32 handle, u8* destination, u32 size) {
    const int descriptor = hostDescriptor(handle);
    if (descriptor < 0) return kFailure;
    const ssize_t count = ::read(descriptor, destination, size);
    return count < 0 ? kFailure : static_cast<s32>(count);
}

// Writes to the standard output and error streams answer the size asked
// for; the tty sink, when set, receives the part that lies in RAM.
s32 hostWrite(s32 handle, u32 buffer, u32 size) {
    const u8* source = ramAt(buffer);
    const u32 available = boundedSize(buffer, size);
    if (handle == 1 || handle == 2) {
        if (ttySink != nullptr) ttySink(reinterpret_cast<const char*>(source), available);
        return static_cast<s32>(size);
    }
    const int descriptor = hostDescriptor(handle);
    if (descriptor < 0) return kFailure;
    const ssize_t count = ::write(descriptor, source, available);
    return count < 0 ? kFailure : static_cast<s32>(count);
}

s32 hostSeek(s32 handle, s32 offset, s32 origin) {
    const int descriptor = hostDescriptor(handle);
    if (descriptor < 0 || origin < 0 || origin > 2) return kFailure;
    constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t position = ::lseek(descriptor, offset, kWhence[origin]);
    return position < 0 || position > 0x7FFFFFFF ? kFailure : static_cast<s32>(position);
}

// ---- The SJDF archive -------------------------------------------------

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

s32 archiveOpen(std::string_view name, s32 mode) {
    if (!archivePrepared()) return -1;
    for (u32 entry = 0; entry < archive.entryCount; ++entry) {
        if (!workCharge(1, LogCategory::Iop, "archive lookup")) return -1;
        const u32 record = archive.table + kSjdfHeaderBytes + kSjdfEntryBytes * entry;
        const std::string entryName = ramString(record, kSjdfNameBytes);
        if (entryName != name) continue;
        if (mode != 1) return -2;
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

// ---- The service ------------------------------------------------------

enum class HandleKind { Disc, Archive, Host };

HandleKind kindOf(s32 handle) {
    if (handle & kDiscHandleBit) return HandleKind::Disc;
    if (handle & kArchiveHandleBit) return HandleKind::Archive;
    return HandleKind::Host;
}

// The slot number without the kind's bit; a handle with stray bits left
// names no slot.
s32 slotOf(s32 handle, u32 kindBit) { return handle & ~static_cast<s32>(kindBit); }

s32 withKindBit(s32 result, u32 bit) { return result < 0 ? result : static_cast<s32>(result | bit); }

bool hasDevicePrefix(std::string_view device, std::string_view prefix) { return device.substr(0, prefix.size()) == prefix; }

s32 openByDevice(const std::string& name, u32 flags) {
    if (flags & ~kOpenFlagsAccepted) return kFailure;
    const size_t colon = name.find(':');
    const std::string_view device = std::string_view(name).substr(0, colon);
    const std::string path = colon == std::string::npos ? std::string() : name.substr(colon + 1);
    if (hasDevicePrefix(device, "cdrom") || hasDevicePrefix(device, "cdfs")) return withKindBit(isoOpen(path, 1), kDiscHandleBit);
    if (hasDevicePrefix(device, "sjdata")) return withKindBit(archiveOpen(path, 1), kArchiveHandleBit);
    if (hasDevicePrefix(device, "rom") || hasDevicePrefix(device, "mc") || hasDevicePrefix(device, "host"))
        return hostOpen(path, flags);
    return kFailure;
}

bool versionAbove2100() { return std::string_view(iopVersion.data(), 4) > std::string_view("2100"); }

void openFile(const RpcCall& call) {
    const bool notify = call.sendSize() == kNotifyOpenSendSize;
    const u32 flags = call.sendWord(notify ? 3 : 0);
    const u32 nameOffset = notify ? 20 : (versionAbove2100() ? 8 : 4);
    const s32 result = openByDevice(ramString(call.send + nameOffset, kNameMax), flags);
    call.answer(static_cast<u32>(result));
    const s32 sema = static_cast<s32>(call.sendWord(0));
    if (result < 0 || !notify || sema < 0) return;
    semaIncrementCount(static_cast<u32>(sema));
    const u32 resultAddress = call.sendWord(1);
    const u32 resultSize = call.sendWord(2);
    const std::array<u32, 8> notice = {static_cast<u32>(sema), 0, resultAddress, resultSize, static_cast<u32>(result), 0, 0, 0};
    for (u32 i = 0; i < notice.size(); ++i) setRamWord(fileService.openNotifyAddress + 4 * i, notice[i]);
    const std::array<u32, 5> block = {static_cast<u32>(result), 0, 0, 0, fileService.openNotifyExtra};
    const u32 copied = std::min(resultSize, kNotifyResultBytes);
    for (u32 i = 0; i < copied; ++i) setRamByte(resultAddress + i, static_cast<u8>(block[i / 4] >> (8 * (i % 4))));
}

s32 closeHandle(s32 handle) {
    switch (kindOf(handle)) {
        case HandleKind::Disc: return isoClose(slotOf(handle, kDiscHandleBit));
        case HandleKind::Archive: return archiveClose(slotOf(handle, kArchiveHandleBit));
        case HandleKind::Host: return hostClose(handle);
    }
    return kFailure;
}

void closeFile(const RpcCall& call) {
    const u32 handle = call.sendWord(0);
    call.answer(static_cast<u32>(closeHandle(static_cast<s32>(handle))));
    if (call.sendSize() == kNotifyCloseSendSize) semaIncrementCount(handle);
}

s32 readHandle(s32 handle, u32 buffer, u32 size) {
    u8* destination = ramAt(buffer);
    size = boundedSize(buffer, size);
    switch (kindOf(handle)) {
        case HandleKind::Disc: return isoRead(slotOf(handle, kDiscHandleBit), destination, size);
        case HandleKind::Archive: return archiveRead(slotOf(handle, kArchiveHandleBit), destination, size);
        case HandleKind::Host: return hostRead(handle, destination, size);
    }
    return kFailure;
}

// The guest finishes an unaligned read with the bytes before the first and
// after the last 16-byte boundary of its buffer; this record hands them
// over. It follows the requested buffer and size, not the bytes read. The
// tail is the remainder of size - head with that difference's sign, so a
// read shorter than its head has a negative tail and no tail bytes; it is
// worked out on unsigned words, since the size is the guest's.
void writeAlignmentRecord(u32 record, u32 buffer, u32 size) {
    const u32 head = ((buffer + 15) & ~15u) - buffer;
    const bool negativeTail = size < head;
    const u32 tail = negativeTail ? 0u - (head - size) % 16 : (size - head) % 16;
    const u32 tailBytes = negativeTail ? 0 : tail;
    const u32 tailAddress = buffer + size - tail;
    setRamWord(record, head);
    setRamWord(record + 4, tail);
    setRamWord(record + 8, buffer);
    setRamWord(record + 12, tailAddress);
    for (u32 i = 0; i < 16; ++i) {
        setRamByte(record + 16 + i, i < head ? ramByte(buffer + i) : 0);
        setRamByte(record + 32 + i, i < tailBytes ? ramByte(tailAddress + i) : 0);
    }
}

void readFile(const RpcCall& call) {
    const bool notify = call.sendSize() == kNotifyReadSendSize;
    const s32 handle = static_cast<s32>(call.sendWord(notify ? 3 : 0));
    const u32 buffer = call.sendWord(notify ? 4 : 1);
    const u32 size = call.sendWord(notify ? 5 : 2);
    const s32 result = readHandle(handle, buffer, size);
    call.answer(static_cast<u32>(result));
    if (result == 0) return;
    if (notify) {
        semaIncrementCount(call.sendWord(0));
        return;
    }
    if (result < 0) return;  // nothing was read: no bytes for the guest to finish with
    writeAlignmentRecord(call.sendWord(3), buffer, size);
}

void writeFile(const RpcCall& call) {
    const s32 handle = static_cast<s32>(call.sendWord(0));
    const u32 buffer = call.sendWord(1);
    const u32 size = call.sendWord(2);
    if (kindOf(handle) != HandleKind::Host) return call.answer(size == 0 ? 0 : static_cast<u32>(kFailure));
    call.answer(static_cast<u32>(hostWrite(handle, buffer, size)));
}

void seekFile(const RpcCall& call) {
    const s32 handle = static_cast<s32>(call.sendWord(0));
    const s32 offset = static_cast<s32>(call.sendWord(1));
    const s32 origin = static_cast<s32>(call.sendWord(2));
    s32 result = kFailure;
    switch (kindOf(handle)) {
        case HandleKind::Disc: result = isoSeek(slotOf(handle, kDiscHandleBit), offset, origin); break;
        case HandleKind::Archive: result = archiveSeek(slotOf(handle, kArchiveHandleBit), offset, origin); break;
        case HandleKind::Host: result = hostSeek(handle, offset, origin); break;
    }
    call.answer(static_cast<u32>(result));
}

void initService(const RpcCall& call) {
    if (call.sendSize() == 4) fileService.openNotifyAddress = fileService.openNotifyExtra = call.sendWord(0);
    if (call.sendSize() == 8) {
        fileService.openNotifyAddress = call.sendWord(0);
        fileService.openNotifyExtra = call.sendWord(1);
    }
    call.answer(iopVersionWord());
}

}  // namespace

void setTtySink(TtySink sink) { ttySink = sink; }

// The guest's host files are closed: a reset machine holds no host
// descriptor, however often it is reset.
void fileServiceReset() {
    for (HostFile& file : fileService.hostFiles) {
        if (file.descriptor >= 0) ::close(file.descriptor);
    }
    fileService = FileServiceState{};
}

void fileIoServer(const RpcCall& call) {
    switch (call.function()) {
        case 0: openFile(call); break;
        case 1: closeFile(call); break;
        case 2: readFile(call); break;
        case 3: writeFile(call); break;
        case 4: seekFile(call); break;
        case 255: initService(call); break;
        default:
            call.answer(static_cast<u32>(kFailure));
            rpcReportUnanswered(call);
            break;
    }
}
