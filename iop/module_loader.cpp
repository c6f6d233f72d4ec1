#include "iop/module_loader.h"

#include "debugger/debug_log.h"
#include "memory/guest_ram.h"

std::string archivePath;
u32 nextModuleId = kFirstModuleId;

namespace {

constexpr u32 kModulePathOffset = 8;
constexpr u32 kModuleArgumentsOffset = 267;
constexpr u32 kArchivePathMax = 255;
constexpr u32 kModulePathMax = 1024;
// The module's own start-up answer, in receive word 1: it stays resident.
constexpr u32 kModuleResidentEnd = 0;

void loadModule(const RpcCall& call) {
    const std::string path = ramString(call.send + kModulePathOffset, kModulePathMax);
    if (path.find("SJDATA.IRX") != std::string::npos) {
        archivePath = ramString(call.send + kModuleArgumentsOffset, kArchivePathMax);
        debugLogLine("SJDATA.IRX");
    }
    call.answer(nextModuleId++);
    call.answerWord(1, kModuleResidentEnd);
}

}  // namespace

void moduleLoaderServer(const RpcCall& call) {
    switch (call.function()) {
        case 0: loadModule(call); break;
        case 1:
        case 6: call.answer(1); break;
        case 255: call.answer(iopVersionWord()); break;
        default: rpcUnanswered(call); break;
    }
}

void resetModuleIds() { nextModuleId = kFirstModuleId; }
