// The SJDF archive on a disc, through the file service as the guest asks:
// preparing its table, looking up its first entry and a missing name, and
// reads and seeks of the entry. The input is a few control values, then the
// archive file.
#include <string>

#include "core/work_budget.h"
#include "disc/iso9660.h"
#include "fuzz/fuzz_machine.h"
#include "iop/file_service.h"
#include "iop/module_loader.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"
#include "memory/host_access.h"

namespace {

constexpr u32 kSend = 0x300000, kReceive = 0x301000, kPacket = 0x302000, kBuffer = 0x400000;

u32 call(u32 function, std::initializer_list<u32> words, const std::string& name = {}) {
    u32 index = 0;
    for (u32 word : words) hostStore<u32>(memory.ram + kSend + 4 * index++, word);
    if (!name.empty()) std::memcpy(memory.ram + kSend + 4, name.c_str(), name.size() + 1);
    hostStore<u32>(memory.ram + kPacket + 32, function);
    hostStore<u32>(memory.ram + kPacket + 36, 64);
    WorkScope oneCall;  // each request is one kernel call
    fileIoServer(RpcCall{kSend, kReceive, kPacket});
    return hostLoad<u32>(memory.ram + kReceive);
}

// The first entry's name, decoded as the service decodes it, so that the
// fuzzer reaches the reads without guessing a name.
std::string firstEntryName(const u8* archive, std::size_t size) {
    std::string name;
    for (std::size_t i = 16; i < size && i < 16 + kSjdfNameBytes; ++i) {
        const char plain = static_cast<char>(archive[i] - sjdfNameOffset);
        if (plain == '\0') break;
        name += plain;
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    fuzzMachineUp();
    FuzzInput input(data, size);
    const u32 firstRead = input.take<u32>() & 0xFFFFF;
    const u32 seekOffset = input.take<u32>();
    const u32 seekOrigin = input.take<u8>() % 4;
    const u32 secondRead = input.take<u32>() & 0xFFFFF;
    const std::vector<u8> disc = fuzzOneFileDisc("DATA.SJD;1", input.rest(), input.restSize());
    fuzzServeDisc(disc.data(), disc.size(), kFuzzDiscFirstSector);
    fuzzRestoreIopMemory();
    discFiles = {};
    isoPrepare();
    archivePath = "cdrom0:\\DATA.SJD;1";

    call(0, {1}, "sjdata:no such entry");
    const u32 handle = call(0, {1}, "sjdata:" + firstEntryName(input.rest(), input.restSize()));
    if (static_cast<s32>(handle) >= 0) {
        call(2, {handle, kBuffer, firstRead, kBuffer - 64});
        call(4, {handle, seekOffset, seekOrigin});
        call(2, {handle, kBuffer, secondRead, kBuffer - 64});
        call(1, {handle});
    }
    return 0;
}
