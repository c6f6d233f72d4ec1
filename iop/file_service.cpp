#include "iop/file_service.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "iop/file_device.h"
#include "kernel/objects.h"
#include "memory/guest_ram.h"

FileServiceState fileService;

namespace {

constexpr s32 kFailure = -1;
constexpr u32 kOpenFlagsAccepted = 0x3FEF;
constexpr u32 kNameMax = 1024;
constexpr u32 kNotifyOpenSendSize = 1048;
constexpr u32 kNotifyCloseSendSize = 20;
constexpr u32 kNotifyReadSendSize = 32;
constexpr u32 kNotifyResultBytes = 20;

// ---- The handle table -------------------------------------------------

// A device and the back end its files go to, with the bit its handles
// carry. A path's device matches when its name starts with the device's
// ("cdrom0", "host1", ...).
struct DeviceRoute {
    std::string_view device;
    const FileDevice* backEnd;
    u32 handleBit;
};

constexpr std::array<DeviceRoute, 6> kDeviceRoutes = {{
    {"cdrom", &discFileDevice, kDiscHandleBit},
    {"cdfs", &discFileDevice, kDiscHandleBit},
    {"sjdata", &archiveFileDevice, kArchiveHandleBit},
    {"rom", &hostFileDevice, 0},
    {"mc", &hostFileDevice, 0},
    {"host", &hostFileDevice, 0},
}};

struct HandleTarget {
    const FileDevice* backEnd;
    s32 slot;
};

// The back end a handle belongs to and its slot there: the handle without
// the kind's bit. A handle with stray bits left names no slot, and the
// back end refuses it.
HandleTarget targetOf(s32 handle) {
    if (handle & kDiscHandleBit) return {&discFileDevice, handle & ~static_cast<s32>(kDiscHandleBit)};
    if (handle & kArchiveHandleBit) return {&archiveFileDevice, handle & ~static_cast<s32>(kArchiveHandleBit)};
    return {&hostFileDevice, handle};
}

s32 withKindBit(s32 result, u32 bit) { return result < 0 ? result : static_cast<s32>(result | bit); }

s32 openByDevice(const std::string& name, u32 flags) {
    if (flags & ~kOpenFlagsAccepted) return kFailure;
    const size_t colon = name.find(':');
    const std::string_view device = std::string_view(name).substr(0, colon);
    const std::string path = colon == std::string::npos ? std::string() : name.substr(colon + 1);
    for (const DeviceRoute& route : kDeviceRoutes) {
        if (device.starts_with(route.device)) return withKindBit(route.backEnd->open(path, flags), route.handleBit);
    }
    return kFailure;
}

// ---- The requests -----------------------------------------------------

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

void closeFile(const RpcCall& call) {
    const u32 handle = call.sendWord(0);
    const HandleTarget target = targetOf(static_cast<s32>(handle));
    call.answer(static_cast<u32>(target.backEnd->close(target.slot)));
    if (call.sendSize() == kNotifyCloseSendSize) semaIncrementCount(handle);
}

s32 readHandle(s32 handle, u32 buffer, u32 size) {
    const HandleTarget target = targetOf(handle);
    return target.backEnd->read(target.slot, ramAt(buffer), boundedRamSize(buffer, size));
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
    const HandleTarget target = targetOf(handle);
    call.answer(static_cast<u32>(target.backEnd->write(target.slot, buffer, size)));
}

void seekFile(const RpcCall& call) {
    const s32 handle = static_cast<s32>(call.sendWord(0));
    const s32 offset = static_cast<s32>(call.sendWord(1));
    const s32 origin = static_cast<s32>(call.sendWord(2));
    const HandleTarget target = targetOf(handle);
    call.answer(static_cast<u32>(target.backEnd->seek(target.slot, offset, origin)));
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

s32 refuseWrite(s32, u32, u32 size) { return size == 0 ? 0 : kFailure; }

// The guest's host files are closed: a reset machine holds no host
// descriptor, however often it is reset.
void fileServiceReset() {
    closeHostFiles();
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
