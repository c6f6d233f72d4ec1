#include "plugins/plugin_host.h"

#include <sys/stat.h>

#include <cstring>

#include "core/diagnostics.h"
#include "platform/dynamic_library.h"
#include "plugins/config.h"

u32 pluginsLoaded;
u32 pluginsOpened;
u32 bootedFromDisc;
u32 displayHandle;

namespace {

constexpr char kWindowTitle[] = "Corvane Engine";

// The entry points of each kind, in the order they are resolved; one left
// null is one the library does not export, and every call skips it.
struct GsEntries {
    decltype(&GSinit) init = nullptr;
    decltype(&GSshutdown) shutdown = nullptr;
    decltype(&GSopen) open = nullptr;
    decltype(&GSclose) close = nullptr;
    decltype(&GSgifTransfer) gifTransfer = nullptr;
    decltype(&GSgifTransfer2) gifTransfer2 = nullptr;
    decltype(&GSreadFIFO2) readFifo2 = nullptr;
    decltype(&GSwrite32) write32 = nullptr;
    decltype(&GSwrite64) write64 = nullptr;
    decltype(&GSread32) read32 = nullptr;
    decltype(&GSread64) read64 = nullptr;
    decltype(&GSvsync) vsync = nullptr;
    decltype(&GSkeyEvent) keyEvent = nullptr;
    decltype(&GSmakeSnapshot) makeSnapshot = nullptr;
    decltype(&GSconfigure) configure = nullptr;
    decltype(&GSabout) about = nullptr;
    decltype(&GStest) test = nullptr;
    decltype(&GSfreeze) freeze = nullptr;
};

struct PadEntries {
    decltype(&PADinit) init = nullptr;
    decltype(&PADshutdown) shutdown = nullptr;
    decltype(&PADopen) open = nullptr;
    decltype(&PADclose) close = nullptr;
    decltype(&PADkeyEvent) keyEvent = nullptr;
    decltype(&PADstartPoll) startPoll = nullptr;
    decltype(&PADpoll) poll = nullptr;
    decltype(&PADquery) query = nullptr;
    decltype(&PADconfigure) configure = nullptr;
    decltype(&PADabout) about = nullptr;
    decltype(&PADtest) test = nullptr;
    decltype(&PADfreeze) freeze = nullptr;
};

struct Spu2Entries {
    decltype(&SPU2init) init = nullptr;
    decltype(&SPU2shutdown) shutdown = nullptr;
    decltype(&SPU2open) open = nullptr;
    decltype(&SPU2close) close = nullptr;
    decltype(&SPU2update) update = nullptr;
    decltype(&SPU2dma) dma = nullptr;
    decltype(&SPU2write) write = nullptr;
    decltype(&SPU2read) read = nullptr;
    decltype(&SPU2test) test = nullptr;
    decltype(&SPU2configure) configure = nullptr;
    decltype(&SPU2about) about = nullptr;
    decltype(&SPU2freeze) freeze = nullptr;
};

struct CdvdEntries {
    decltype(&CDVDinit) init = nullptr;
    decltype(&CDVDopen) open = nullptr;
    decltype(&CDVDshutdown) shutdown = nullptr;
    decltype(&CDVDclose) close = nullptr;
    decltype(&CDVDreadTrack) readTrack = nullptr;
    decltype(&CDVDgetBuffer) getBuffer = nullptr;
    decltype(&CDVDgetTN) getTN = nullptr;
    decltype(&CDVDgetTD) getTD = nullptr;
    decltype(&CDVDtest) test = nullptr;
    decltype(&CDVDconfigure) configure = nullptr;
    decltype(&CDVDabout) about = nullptr;
    decltype(&CDVDfreeze) freeze = nullptr;
};

GsEntries gs;
PadEntries pads[2];
Spu2Entries spu2;
CdvdEntries cdvd;

LibraryHandle libraries[kPluginSlotCount];
PluginSlotStatus statuses[kPluginSlotCount] = {
    {PluginSlot::Gs, {}, PluginLoadFailure::FileNotFound, "not loaded yet"},
    {PluginSlot::Pad1, {}, PluginLoadFailure::FileNotFound, "not loaded yet"},
    {PluginSlot::Pad2, {}, PluginLoadFailure::FileNotFound, "not loaded yet"},
    {PluginSlot::Spu2, {}, PluginLoadFailure::FileNotFound, "not loaded yet"},
    {PluginSlot::Cdvd, {}, PluginLoadFailure::FileNotFound, "not loaded yet"},
};

PluginChoiceHook choiceHook;

unsigned slotIndex(PluginSlot slot) { return static_cast<unsigned>(slot); }

PadEntries& padEntries(PadSlot slot) { return pads[slot == PadSlot::Pad1 ? 0 : 1]; }

template <typename Function>
void resolve(LibraryHandle library, const char* name, Function& entry) {
    entry = reinterpret_cast<Function>(librarySymbol(library, name));
}

void resolveGs(LibraryHandle library) {
    resolve(library, "GSinit", gs.init);
    resolve(library, "GSshutdown", gs.shutdown);
    resolve(library, "GSopen", gs.open);
    resolve(library, "GSclose", gs.close);
    resolve(library, "GSgifTransfer", gs.gifTransfer);
    resolve(library, "GSgifTransfer2", gs.gifTransfer2);
    resolve(library, "GSwrite32", gs.write32);
    resolve(library, "GSwrite64", gs.write64);
    resolve(library, "GSread32", gs.read32);
    resolve(library, "GSread64", gs.read64);
    resolve(library, "GSvsync", gs.vsync);
    resolve(library, "GSkeyEvent", gs.keyEvent);
    resolve(library, "GSmakeSnapshot", gs.makeSnapshot);
    resolve(library, "GSconfigure", gs.configure);
    resolve(library, "GSabout", gs.about);
    resolve(library, "GStest", gs.test);
    resolve(library, "GSreadFIFO2", gs.readFifo2);
    resolve(library, "GSfreeze", gs.freeze);
}

void resolvePad(LibraryHandle library, PadEntries& pad) {
    resolve(library, "PADinit", pad.init);
    resolve(library, "PADshutdown", pad.shutdown);
    resolve(library, "PADopen", pad.open);
    resolve(library, "PADclose", pad.close);
    resolve(library, "PADkeyEvent", pad.keyEvent);
    resolve(library, "PADstartPoll", pad.startPoll);
    resolve(library, "PADpoll", pad.poll);
    resolve(library, "PADquery", pad.query);
    resolve(library, "PADconfigure", pad.configure);
    resolve(library, "PADabout", pad.about);
    resolve(library, "PADtest", pad.test);
    resolve(library, "PADfreeze", pad.freeze);
}

void resolveSpu2(LibraryHandle library) {
    resolve(library, "SPU2init", spu2.init);
    resolve(library, "SPU2shutdown", spu2.shutdown);
    resolve(library, "SPU2open", spu2.open);
    resolve(library, "SPU2close", spu2.close);
    resolve(library, "SPU2update", spu2.update);
    resolve(library, "SPU2dma", spu2.dma);
    resolve(library, "SPU2write", spu2.write);
    resolve(library, "SPU2read", spu2.read);
    resolve(library, "SPU2test", spu2.test);
    resolve(library, "SPU2configure", spu2.configure);
    resolve(library, "SPU2about", spu2.about);
    resolve(library, "SPU2freeze", spu2.freeze);
}

void resolveCdvd(LibraryHandle library) {
    resolve(library, "CDVDinit", cdvd.init);
    resolve(library, "CDVDopen", cdvd.open);
    resolve(library, "CDVDshutdown", cdvd.shutdown);
    resolve(library, "CDVDclose", cdvd.close);
    resolve(library, "CDVDreadTrack", cdvd.readTrack);
    resolve(library, "CDVDgetBuffer", cdvd.getBuffer);
    resolve(library, "CDVDgetTN", cdvd.getTN);
    resolve(library, "CDVDgetTD", cdvd.getTD);
    resolve(library, "CDVDtest", cdvd.test);
    resolve(library, "CDVDconfigure", cdvd.configure);
    resolve(library, "CDVDabout", cdvd.about);
    resolve(library, "CDVDfreeze", cdvd.freeze);
}

// Empties the slot's table; its pointers would outlive the library.
void clearEntries(PluginSlot slot) {
    switch (slot) {
    case PluginSlot::Gs: gs = GsEntries{}; break;
    case PluginSlot::Pad1: pads[0] = PadEntries{}; break;
    case PluginSlot::Pad2: pads[1] = PadEntries{}; break;
    case PluginSlot::Spu2: spu2 = Spu2Entries{}; break;
    case PluginSlot::Cdvd: cdvd = CdvdEntries{}; break;
    }
}

void resolveEntries(PluginSlot slot, LibraryHandle library) {
    switch (slot) {
    case PluginSlot::Gs: resolveGs(library); break;
    case PluginSlot::Pad1: resolvePad(library, pads[0]); break;
    case PluginSlot::Pad2: resolvePad(library, pads[1]); break;
    case PluginSlot::Spu2: resolveSpu2(library); break;
    case PluginSlot::Cdvd: resolveCdvd(library); break;
    }
}

constexpr u32 kSlotKinds[kPluginSlotCount] = {PS2E_LT_GS, PS2E_LT_PAD, PS2E_LT_PAD, PS2E_LT_SPU2, PS2E_LT_CDVD};

bool fileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

// Frees what the slot holds, then loads the library at `path` into it. A
// library of the wrong kind stays in the slot with an empty table until
// the slot is loaded again.
u32 loadSlot(PluginSlot slot, const std::string& path) {
    const unsigned index = slotIndex(slot);
    clearEntries(slot);
    libraryClose(libraries[index]);
    libraries[index] = nullptr;

    PluginSlotStatus& status = statuses[index];
    status = PluginSlotStatus{slot, path, PluginLoadFailure::None, {}};
    const bool namesFile = !path.empty() && path.back() != '/';
    if (!namesFile || !fileExists(path)) {
        status.failure = PluginLoadFailure::FileNotFound;
        status.detail = namesFile ? "no such file" : "no library file configured";
        return 0;
    }
    // A path without a '/' would be looked up in the system's library
    // directories instead of the current one.
    const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    libraries[index] = libraryOpen(openPath, status.detail);
    if (!libraries[index]) {
        status.failure = PluginLoadFailure::NotAPlugin;
        return 0;
    }
    decltype(&PS2EgetLibType) getLibType = nullptr;
    resolve(libraries[index], "PS2EgetLibType", getLibType);
    if (!getLibType) {
        status.failure = PluginLoadFailure::NotAPlugin;
        status.detail = "it exports no PS2EgetLibType";
        return 0;
    }
    const u32 kind = getLibType();
    if (kind != kSlotKinds[index]) {
        status.failure = PluginLoadFailure::WrongKind;
        status.detail = "it reports kind " + std::to_string(kind) + ", the " + pluginSlotName(slot) + " slot takes " +
                        std::to_string(kSlotKinds[index]);
        return 0;
    }
    resolveEntries(slot, libraries[index]);
    return 1;
}

}  // namespace

const char* pluginSlotName(PluginSlot slot) {
    switch (slot) {
    case PluginSlot::Gs: return "GS";
    case PluginSlot::Pad1: return "PAD1";
    case PluginSlot::Pad2: return "PAD2";
    case PluginSlot::Spu2: return "SPU2";
    case PluginSlot::Cdvd: return "CDVD";
    }
    return "?";
}

const char* pluginLoadFailureName(PluginLoadFailure failure) {
    switch (failure) {
    case PluginLoadFailure::None: return "loaded";
    case PluginLoadFailure::FileNotFound: return "file not found";
    case PluginLoadFailure::NotAPlugin: return "not a plugin";
    case PluginLoadFailure::WrongKind: return "wrong kind";
    }
    return "?";
}

u32 loadGsPlugin(const std::string& path) { return loadSlot(PluginSlot::Gs, path); }
u32 loadPad1Plugin(const std::string& path) { return loadSlot(PluginSlot::Pad1, path); }
u32 loadPad2Plugin(const std::string& path) { return loadSlot(PluginSlot::Pad2, path); }
u32 loadSpu2Plugin(const std::string& path) { return loadSlot(PluginSlot::Spu2, path); }
u32 loadCdvdPlugin(const std::string& path) { return loadSlot(PluginSlot::Cdvd, path); }

const PluginSlotStatus& pluginSlotStatus(PluginSlot slot) { return statuses[slotIndex(slot)]; }

void setPluginChoiceHook(PluginChoiceHook hook) { choiceHook = hook; }

void loadAllPlugins() {
    pluginsLoaded = 0;
    const std::string& dir = pluginConfig.dir;
    u32 filled = loadGsPlugin(dir + pluginConfig.gs);
    filled += loadPad1Plugin(dir + pluginConfig.pad);
    filled += loadPad2Plugin(dir + pluginConfig.pad);
    filled += loadSpu2Plugin(dir + pluginConfig.spu);
    filled += loadCdvdPlugin(dir + pluginConfig.cdvd);
    if (filled < kPluginSlotCount && choiceHook) {
        std::vector<PluginSlotStatus> failed;
        for (const PluginSlotStatus& status : statuses) {
            if (status.failure != PluginLoadFailure::None) failed.push_back(status);
        }
        choiceHook(failed);
    }
    pluginsLoaded = 1;
}

void initPlugins() {
    if (gs.init) gs.init();
    if (cdvd.init) cdvd.init();
    if (pads[0].init) pads[0].init(1);
    if (pads[1].init) pads[1].init(2);
    if (spu2.init) spu2.init();
}

void shutdownPlugins() {
    if (gs.shutdown) gs.shutdown();
    if (cdvd.shutdown) cdvd.shutdown();
    if (pads[0].shutdown) pads[0].shutdown();
    if (pads[1].shutdown) pads[1].shutdown();
    if (spu2.shutdown) spu2.shutdown();
}

// A slot whose load failed has an empty table, so nothing is called.
void pluginConfigure(PluginSlot slot) {
    switch (slot) {
    case PluginSlot::Gs:
        if (gs.configure) gs.configure();
        break;
    case PluginSlot::Pad1:
    case PluginSlot::Pad2:
        if (PadEntries& pad = padEntries(slot == PluginSlot::Pad1 ? PadSlot::Pad1 : PadSlot::Pad2); pad.configure)
            pad.configure();
        break;
    case PluginSlot::Spu2:
        if (spu2.configure) spu2.configure();
        break;
    case PluginSlot::Cdvd:
        if (cdvd.configure) cdvd.configure();
        break;
    }
}

// The CDVD is opened by the disc boot, not here.
void openPlugins() {
    if (gs.open) gs.open(&displayHandle, kWindowTitle);
    if (spu2.open) spu2.open(&displayHandle);
    if (pads[0].open) pads[0].open(&displayHandle);
    if (pads[1].open) pads[1].open(&displayHandle);
}

void closePlugins() {
    if (gs.close) gs.close();
    if (bootedFromDisc == 1 && cdvd.close) cdvd.close();
    if (pads[0].close) pads[0].close();
    if (pads[1].close) pads[1].close();
    if (spu2.close) spu2.close();
}

void gsGifTransfer(const u32* data, u32 quadwords) {
    if (gs.gifTransfer) gs.gifTransfer(data, quadwords);
}
void gsGifTransfer2(const u32* packet) {
    if (gs.gifTransfer2) gs.gifTransfer2(packet);
}
void gsReadFifo2(u64* memory, u32 quadwords) {
    if (gs.readFifo2) return gs.readFifo2(memory, static_cast<int>(quadwords));
    std::memset(memory, 0, 16 * static_cast<size_t>(quadwords));
    logReport(LogCategory::Plugins, LogLevel::Stub, "GSreadFIFO2 is not exported by the GS plugin: local-to-host data reads as zeros");
}
u32 gsRead32(u32 address) { return gs.read32 ? gs.read32(address) : 0; }
u64 gsRead64(u32 address) { return gs.read64 ? gs.read64(address) : 0; }
void gsWrite32(u32 address, u32 value) {
    if (gs.write32) gs.write32(address, value);
}
void gsWrite64(u32 address, u64 value) {
    if (gs.write64) gs.write64(address, value);
}
void gsVsync() {
    if (gs.vsync) gs.vsync();
}
void gsKeyEvent(keyEvent* event) {
    if (gs.keyEvent) gs.keyEvent(event);
}
void gsMakeSnapshot(const char* directory) {
    if (gs.makeSnapshot) gs.makeSnapshot(directory);
}

keyEvent* padKeyEvent(PadSlot slot) {
    const PadEntries& pad = padEntries(slot);
    return pad.keyEvent ? pad.keyEvent() : nullptr;
}
void padStartPoll(PadSlot slot, u32 port) {
    const PadEntries& pad = padEntries(slot);
    if (pad.startPoll) pad.startPoll(static_cast<s32>(port));
}
u8 padPoll(PadSlot slot, u8 value) {
    const PadEntries& pad = padEntries(slot);
    return pad.poll ? pad.poll(value) : 0;
}

void cdvdOpen() {
    if (cdvd.open) cdvd.open();
}
u32 cdvdReadTrack(cdvdLoc* location) { return cdvd.readTrack ? cdvd.readTrack(location) : 0xFFFFFFFF; }
u8* cdvdGetBuffer() { return cdvd.getBuffer ? cdvd.getBuffer() : nullptr; }

namespace {

using FreezeEntry = decltype(&GSfreeze);

FreezeEntry freezeEntry(PluginSlot slot) {
    switch (slot) {
    case PluginSlot::Gs: return gs.freeze;
    case PluginSlot::Pad1: return pads[0].freeze;
    case PluginSlot::Pad2: return pads[1].freeze;
    case PluginSlot::Spu2: return spu2.freeze;
    case PluginSlot::Cdvd: return cdvd.freeze;
    }
    return nullptr;
}

}  // namespace

std::optional<std::vector<u8>> pluginFreezeSave(PluginSlot slot) {
    const FreezeEntry freeze = freezeEntry(slot);
    if (!freeze) return std::nullopt;
    freezeData size{0, nullptr};
    if (freeze(FREEZE_SIZE, &size) != 0 || size.size < 0 || size.size > kPluginFreezeLimit) return std::nullopt;
    std::vector<u8> bytes(static_cast<size_t>(size.size));
    freezeData save{size.size, reinterpret_cast<char*>(bytes.data())};
    if (freeze(FREEZE_SAVE, &save) != 0) return std::nullopt;
    return bytes;
}

bool pluginCanFreeze(PluginSlot slot) { return freezeEntry(slot) != nullptr; }

bool pluginFreezeLoad(PluginSlot slot, std::vector<u8>& bytes) {
    const FreezeEntry freeze = freezeEntry(slot);
    if (!freeze || bytes.size() > static_cast<size_t>(kPluginFreezeLimit)) return false;
    freezeData load{static_cast<s32>(bytes.size()), reinterpret_cast<char*>(bytes.data())};
    return freeze(FREEZE_LOAD, &load) == 0;
}
