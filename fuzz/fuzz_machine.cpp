#include "fuzz/fuzz_machine.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/work_budget.h"
#include "frontend/log.h"
#include "iop/host_root.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "plugins/config.h"

namespace {

// A millionth of a second per unit or so under the sanitizers: an input
// that spends this is cut after a few tens of milliseconds.
constexpr u64 kFuzzWorkBudget = u64{1} << 18;

using ServeFunction = void (*)(const u8*, std::size_t, u32);
ServeFunction serveDisc = nullptr;

std::filesystem::path fuzzRoot;

constexpr u32 kIopMemoryBytes = 2 * 1024 * 1024;
std::vector<u8> iopMemoryAtStart;

constexpr u32 kSectorBytes = 2048;
constexpr u32 kRootFolderSector = 18;
constexpr u32 kFileSector = 19;

void put32Both(u8* at, u32 value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<u8>(value >> (8 * i));
        at[7 - i] = static_cast<u8>(value >> (8 * i));
    }
}

// A directory record: its length, extent and size in both byte orders,
// flags and name.
u32 putRecord(u8* at, u32 extent, u32 size, u8 flags, const std::string& name) {
    const u32 length = (33 + static_cast<u32>(name.size()) + 1) & ~1u;
    at[0] = static_cast<u8>(length);
    put32Both(at + 2, extent);
    put32Both(at + 10, size);
    at[25] = flags;
    at[32] = static_cast<u8>(name.size());
    std::memcpy(at + 33, name.data(), name.size());
    return length;
}

void removeFuzzRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(fuzzRoot, ignored);
}

}  // namespace

void fuzzMachineUp() {
    static bool up = false;
    if (up) return;
    up = true;
    logSetPath("/dev/null");
    overridePluginConfig(PluginConfig{CORVANE_FUZZ_PLUGIN_DIR, "", "", "", "memory_cdvd.so"});
    emuInit();
    void* cdvd = dlopen(CORVANE_FUZZ_PLUGIN_DIR "memory_cdvd.so", RTLD_NOW | RTLD_NOLOAD);
    if (cdvd != nullptr) serveDisc = reinterpret_cast<ServeFunction>(dlsym(cdvd, "memoryCdvdServe"));
    if (serveDisc == nullptr) {
        std::fprintf(stderr, "fuzz: the in-memory CDVD plugin did not load from %s\n", CORVANE_FUZZ_PLUGIN_DIR);
        std::abort();
    }
    workSetBudget(kFuzzWorkBudget);
    iopMemoryAtStart.assign(memory.ram, memory.ram + kIopMemoryBytes);
    fuzzRoot = std::filesystem::temp_directory_path() / ("corvane-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(fuzzRoot / "host");
    setHostRoot(fuzzRoot);
    std::atexit(removeFuzzRoot);
}

std::vector<u8> fuzzOneFileDisc(const std::string& name, const u8* bytes, std::size_t size) {
    const std::size_t fileSectors = (size + kSectorBytes - 1) / kSectorBytes;
    std::vector<u8> disc((kFileSector - kFuzzDiscFirstSector + fileSectors) * kSectorBytes);
    u8* primary = disc.data();
    primary[0] = 1;
    std::memcpy(primary + 1, "CD001\1", 6);
    putRecord(primary + 156, kRootFolderSector, kSectorBytes, 2, std::string(1, '\0'));
    u8* terminator = disc.data() + kSectorBytes;
    terminator[0] = 255;
    std::memcpy(terminator + 1, "CD001\1", 6);
    u8* root = disc.data() + 2 * kSectorBytes;
    u32 at = putRecord(root, kRootFolderSector, kSectorBytes, 2, std::string(1, '\0'));
    at += putRecord(root + at, kRootFolderSector, kSectorBytes, 2, std::string(1, '\1'));
    putRecord(root + at, kFileSector, static_cast<u32>(size), 0, name);
    if (size != 0) std::memcpy(disc.data() + 3 * kSectorBytes, bytes, size);
    return disc;
}

void fuzzRestoreIopMemory() { std::memcpy(memory.ram, iopMemoryAtStart.data(), kIopMemoryBytes); }

void fuzzServeDisc(const u8* bytes, std::size_t size, u32 firstSector) { serveDisc(bytes, size, firstSector); }
