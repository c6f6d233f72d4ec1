#include "disc/disc_boot.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/ee_state.h"
#include "core/run_control.h"
#include "disc/elf_loader.h"
#include "disc/iso9660.h"
#include "frontend/log.h"
#include "plugins/plugin_host.h"

char systemCnfText[kSystemCnfBytes + 1];
std::string bootPath;

void discBootPowerOn() {
    std::fill(std::begin(systemCnfText), std::end(systemCnfText), '\0');
    bootPath.clear();
}

namespace {

// The device part of a boot path ("cdrom0:") is skipped unread.
constexpr std::size_t kDevicePartLength = 7;
constexpr std::size_t kMaxBootPathLength = 255;

// The ELF loader reading an open disc file.
class DiscFileSource final : public ElfSource {
public:
    explicit DiscFileSource(s32 slot) : slot_(slot) {}
    void seek(u32 offset) override { isoSeek(slot_, static_cast<s32>(std::min<u32>(offset, INT32_MAX)), 0); }
    u32 read(void* destination, u32 size) override {
        const s32 got = isoRead(slot_, destination, size);
        return got > 0 ? static_cast<u32>(got) : 0;
    }

private:
    s32 slot_;
};

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The token after BOOT2 and any separators ("BOOT2 = cdrom0:\X;1"), or
// empty when the text has no BOOT2 or no letter follows it.
std::string bootPathIn(const char* text, DiscBootResult& failure) {
    const char* boot2 = std::strstr(text, "BOOT2");
    if (boot2 == nullptr) {
        failure = DiscBootResult::NoBoot2Line;
        return {};
    }
    const char* at = boot2 + 5;
    while (*at != '\0' && !isAsciiLetter(*at)) ++at;
    if (*at == '\0') {
        failure = DiscBootResult::NoBootPath;
        return {};
    }
    std::string path;
    while (*at != '\0' && !isBlank(*at) && path.size() < kMaxBootPathLength) path += *at++;
    return path;
}

}  // namespace

const char* discBootResultText(DiscBootResult result) {
    switch (result) {
    case DiscBootResult::Booted: return "booted";
    case DiscBootResult::NoSystemCnf: return "no SYSTEM.CNF;1 on the disc";
    case DiscBootResult::NoBoot2Line: return "SYSTEM.CNF;1 has no BOOT2 line in its first 256 bytes";
    case DiscBootResult::NoBootPath: return "no boot path follows BOOT2 in SYSTEM.CNF;1";
    case DiscBootResult::NoBootExecutable: return "the BOOT2 executable is not on the disc";
    case DiscBootResult::BootFileNotElf: return "the BOOT2 file is not a loadable ELF executable";
    }
    return "unknown";
}

DiscBootResult bootFromDisc() {
    cdvdOpen();
    isoPrepare();

    const s32 systemCnf = isoOpen("SYSTEM.CNF;1", 1);
    if (systemCnf < 0) return DiscBootResult::NoSystemCnf;
    const s32 got = isoRead(systemCnf, systemCnfText, kSystemCnfBytes);
    systemCnfText[got > 0 ? got : 0] = '\0';
    isoClose(systemCnf);

    DiscBootResult failure = DiscBootResult::Booted;
    const std::string path = bootPathIn(systemCnfText, failure);
    if (path.empty()) return failure;
    bootPath = path;
    logPrintf("DVD filename: %s", bootPath.c_str());

    const std::string_view onDisc = std::string_view(bootPath).substr(std::min(kDevicePartLength, bootPath.size()));
    const s32 executable = isoOpen(onDisc, 1);
    if (executable < 0) return DiscBootResult::NoBootExecutable;
    DiscFileSource source(executable);
    if (elfImageProblem(source) != nullptr) {
        isoClose(executable);
        return DiscBootResult::BootFileNotElf;
    }
    loadElfImage(source, bootPath);
    isoClose(executable);

    ee.pc = elfHeader.entry;
    programLoaded = 1;
    bootedFromDisc = 1;
    return DiscBootResult::Booted;
}
