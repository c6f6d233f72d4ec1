#include "iop/sif_rpc.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/diagnostics.h"
#include "core/work_budget.h"

#include "iop/cdvd_service.h"
#include "iop/file_service.h"
#include "iop/fixed_services.h"
#include "iop/iop_memory.h"
#include "iop/module_loader.h"
#include "iop/pad_service.h"
#include "kernel/call_registers.h"
#include "kernel/objects.h"
#include "memory/guest_ram.h"
#include "memory/host_access.h"

std::array<char, 4> iopVersion = kIopVersionAtStart;

u32 iopVersionWord() { return hostLoad<u32>(reinterpret_cast<const u8*>(iopVersion.data())); }

u32 RpcCall::function() const { return ramWord(packet + 32); }
u32 RpcCall::sendSize() const { return ramWord(packet + 36); }
u32 RpcCall::receiveSize() const { return ramWord(packet + 44); }
u32 RpcCall::server() const { return ramWord(packet + 52); }
u32 RpcCall::sendWord(u32 index) const { return ramWord(send + 4 * index); }
void RpcCall::answer(u32 value) const { setRamWord(receive, value); }
void RpcCall::answerWord(u32 index, u32 value) const {
    if (index < receiveSize() / 4) setRamWord(receive + 4 * index, value);
}

void rpcReportUnanswered(const RpcCall& call) {
    logReport(LogCategory::Iop, LogLevel::Stub, "no answer for server 0x%08X function %u", call.server(), call.function());
}

void rpcUnanswered(const RpcCall& call) {
    if (call.receiveSize() >= 4) call.answer(kRpcFailure);
    rpcReportUnanswered(call);
}

namespace {

constexpr u32 kDescriptorBytes = 16;
constexpr u32 kDescriptorAttrOffset = 12;
constexpr u32 kPlainDataAttr = 0;
constexpr u32 kIopMemorySize = 0x200000;  // the IOP's 2 MB, at the bottom of EE RAM
constexpr u32 kResetArgumentsOffset = 24;
constexpr u32 kResetArgumentsMax = 1024;

constexpr u32 kClientRequestWord = 0;  // address of the request block whose byte 16 holds the pending bit
constexpr u32 kClientSemaOffset = 8;
constexpr u32 kClientServerOffset = 36;

struct RpcServer {
    u32 id;
    void (*handler)(const RpcCall&);
};

constexpr std::array<RpcServer, 13> kRpcServers = {{
    {0x80000001, fileIoServer},
    {0x80000003, iopMemoryServer},
    {0x80000006, moduleLoaderServer},
    {0x80000100, padServer},
    {0x8000010F, padServer},
    {0x80000592, cdvdServer},
    {0x80000593, cdvdServer},
    {0x80000595, cdvdServer},
    {0x80000596, cdvdServer},
    {0x80000597, cdvdServer},
    {0x8000059A, cdvdServer},
    {0x80000601, fixedAnswerServer601},
    {0x0B0110C5, fixedAnswerServerB0110C5},
}};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "...cdrom...IOPRP241.IMG..." sets the version to "2410": up to four
// digits after IOPRP, the positions after the first non-digit filled with
// '0'. Without "cdrom", or without IOPRP after it, the version stays.
void resetIop(u32 packet) {
    const std::string arguments = ramString(packet + kResetArgumentsOffset, kResetArgumentsMax);
    const size_t cdrom = arguments.find("cdrom");
    if (cdrom == std::string::npos) return;
    const size_t image = arguments.find("IOPRP", cdrom);
    if (image == std::string::npos) return;
    size_t next = image + 5;
    bool inDigits = true;
    for (char& c : iopVersion) {
        inDigits = inDigits && next < arguments.size() && isDigit(arguments[next]);
        c = inDigits ? arguments[next++] : '0';
    }
}

// Tells the guest its request was answered: its semaphore is signalled and
// the request's packet marked free again (bit 0 of the byte 16 past the
// packet address the client holds). A bind frees its packet as well, or
// each bind would keep one of the guest's few request packets for good.
void releaseClient(u32 client) {
    semaIncrementCount(ramWord(client + kClientSemaOffset));
    const u32 pendingByte = ramWord(client + kClientRequestWord) + 16;
    setRamByte(pendingByte, ramByte(pendingByte) & ~1u);
}

void bindClient(u32 packet) {
    const u32 client = ramWord(packet + 28);
    releaseClient(client);
    setRamWord(client + kClientServerOffset, ramWord(packet + 32));
}

// A call with a single descriptor has no send buffer: the client is
// released as usual but no server sees the call.
void callServer(u32 packet, u32 descriptors, u32 count) {
    releaseClient(ramWord(packet + 28));
    if (count < 2) return;
    const u32 send = ramWord(descriptors + kDescriptorBytes * (count - 2));
    rpcDispatch(RpcCall{ramOffset(send), ramOffset(ramWord(packet + 40)), packet});
}

// Copies IOP memory to EE RAM. Both sides are bounded: the IOP address
// wraps inside its 2 MB, the EE address is masked to RAM byte by byte.
void readRemoteData(u32 packet) {
    const u32 record = ramWord(packet + 28);
    const u32 source = ramWord(packet + 32);
    const u32 destination = ramWord(packet + 36);
    const u32 size = std::min(ramWord(packet + 40), kIopMemorySize);
    for (u32 i = 0; i < size; ++i) setRamByte(destination + i, ramByte((source + i) % kIopMemorySize));
    releaseClient(record);
}

// No IOP program reads what a plain transfer leaves in IOP memory here, and
// IOP addresses outside the memory service's blocks overlap the EE
// program, so the data is not copied.
void dropPlainData() { logReport(LogCategory::Iop, LogLevel::Stub, "SIF data transfers to IOP memory are not kept"); }

}  // namespace

void rpcDispatch(const RpcCall& call) {
    const u32 server = call.server();
    for (const RpcServer& entry : kRpcServers) {
        if (entry.id == server) {
            entry.handler(call);
            return;
        }
    }
    rpcUnanswered(call);
}

void SYSCALL_sceSifSetDma() {
    const u32 descriptors = argA0();
    const u32 count = argA1();
    const u32 last = descriptors + kDescriptorBytes * (count - 1);
    WorkScope scope;
    if (count != 0 && ramWord(last + kDescriptorAttrOffset) == kPlainDataAttr) {
        dropPlainData();
    } else if (count != 0) {
        const u32 packet = ramOffset(ramWord(last));
        switch (ramWord(packet + 8)) {
            case kSifCmdIopReset:
                resetIop(packet);
                resetModuleIds();
                break;
            case kSifCmdRpcBind: bindClient(packet); break;
            case kSifCmdRpcCall: callServer(packet, descriptors, count); break;
            case kSifCmdRemoteDataRead: readRemoteData(packet); break;
            default: break;
        }
    }
    returnUnsigned32(1);
}
