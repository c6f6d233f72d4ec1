#include "iop/module_loader.h"

#include "debugger/debug_log.h"
#include "iop/guest_ram.h"

std::string archivePath;

namespace {

constexpr u32 kModulePathOffset = 8;
constexpr u32 kModuleArgumentsOffset = 267;
constexpr u32 kArchivePathMax = 255;
constexpr u32 kModulePathMax = 1024;

void loadModule(const RpcCall& call) {
    const std::string path = ramString(call.send + kModulePathOffset, kModulePathMax);
    if (path.find("SJDATA.IRX") != std::string::npos) {
        archivePath = ramString(call.send + kModuleArgumentsOffset, kArchivePathMax);
        debugLogLine("SJDATA.IRX");
    }
    call.answer(0);
}

}  // namespace

void moduleLoaderServer(const RpcCall& call) {
    switch (call.function()) {
        case 0: loadModule(call); break;
        case 1:
        case 6: call.answer(1); break;
        case 255: call.answer(iopVersionWord()); break;
        default: break;
    }
}
