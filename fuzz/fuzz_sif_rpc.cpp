// SIF RPC packets to every emulated IOP server: either a call handed to the
// server directly (any function, send size and send buffer), or a whole
// kernel call 119 with its descriptors and command packet (IOP reset, bind
// or call). The file service sees a disc that holds an SJDF archive and a
// host root of its own; every input starts from the same IOP heap and
// leaves no host file open.
#include <algorithm>
#include <array>

#include "core/ee_state.h"
#include "core/work_budget.h"
#include "disc/iso9660.h"
#include "fuzz/fuzz_machine.h"
#include "iop/file_service.h"
#include "iop/module_loader.h"
#include "iop/sif_rpc.h"
#include "iop/sjdf_archive.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"

namespace {

constexpr u32 kSend = 0x300000, kReceive = 0x301000, kPacket = 0x302000, kDescriptors = 0x303000, kClient = 0x304000;
constexpr u32 kSendBytes = 0x1000;
constexpr u32 kPacketBytes = 128;

constexpr std::array<u32, 14> kServers = {0x80000001, 0x80000003, 0x80000006, 0x80000100, 0x8000010F,
                                          0x80000592, 0x80000593, 0x80000595, 0x80000596, 0x80000597,
                                          0x8000059A, 0x80000601, 0x0B0110C5, 0x12345678};
constexpr std::array<u32, 4> kCommands = {kSifCmdIopReset, kSifCmdRpcBind, kSifCmdRpcCall, 0x80000001};

void put(u32 address, u32 value) { setRamWord(address, value); }

const std::vector<u8>& archiveDisc() {
    static const std::vector<u8> disc = [] {
        const std::string archive = packSjdfArchive({{"a.bin", std::string(100, 'a')}, {"b.bin", std::string(20000, 'b')}});
        return fuzzOneFileDisc("DATA.SJD;1", reinterpret_cast<const u8*>(archive.data()), archive.size());
    }();
    return disc;
}

void closeHostFiles() {
    for (u32 handle = kFirstHostHandle; handle < kHostHandleLimit; ++handle) {
        put(kSend, handle);
        put(kPacket + 32, 1);
        put(kPacket + 36, 4);
        fileIoServer(RpcCall{kSend, kReceive, kPacket});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    fuzzMachineUp();
    FuzzInput input(data, size);
    const u8 mode = input.take<u8>();
    const u32 server = kServers[input.take<u8>() % kServers.size()];
    const u32 function = input.take<u32>();
    const u32 sendSize = input.take<u32>();
    const u32 command = kCommands[input.take<u8>() % kCommands.size()];

    fuzzServeDisc(archiveDisc().data(), archiveDisc().size(), kFuzzDiscFirstSector);
    fuzzRestoreIopMemory();
    discFiles = {};
    isoPrepare();
    archivePath = "cdrom0:\\DATA.SJD;1";
    iopVersion = {'2', '0', '0', '0'};
    std::memset(memory.ram + kSend, 0, kClient + 0x100 - kSend);
    const std::size_t sent = std::min<std::size_t>(input.restSize(), kSendBytes);
    if (sent != 0) std::memcpy(memory.ram + kSend, input.rest(), sent);

    if ((mode & 1) == 0) {
        put(kPacket + 32, function);
        put(kPacket + 36, sendSize);
        put(kPacket + 52, server);
        WorkScope oneCall;  // as kernel call 119 opens around it
        rpcDispatch(RpcCall{kSend, kReceive, kPacket});
    } else {
        // The packet takes the bytes after the send buffer, then the fields
        // the command needs; the descriptors list the send buffer and then
        // the packet, or only the packet.
        const std::size_t packetBytes = std::min<std::size_t>(input.restSize() - sent, kPacketBytes);
        if (packetBytes != 0) std::memcpy(memory.ram + kPacket, input.rest() + sent, packetBytes);
        put(kPacket + 8, command);
        put(kPacket + 28, kClient);
        if (command != kSifCmdIopReset) put(kPacket + 32, command == kSifCmdRpcBind ? server : function);
        put(kPacket + 36, sendSize);
        put(kPacket + 40, kReceive);
        put(kPacket + 52, server);
        const u32 count = (mode >> 1) % 3;
        put(kDescriptors, count == 1 ? kPacket : kSend);
        put(kDescriptors + 16, kPacket);
        ee.gpr[kGprA0].d[0] = kDescriptors;
        ee.gpr[kGprA1].d[0] = count;
        SYSCALL_sceSifSetDma();
    }
    closeHostFiles();
    return 0;
}
