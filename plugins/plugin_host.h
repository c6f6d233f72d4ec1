// The plugin host: the GS, PAD1, PAD2, SPU2 and CDVD slots, their life
// cycle, and the calls that the machine makes through them. Every call is
// guarded: a slot that holds no library, or an entry point the library
// does not export, is skipped, and a read answers as a failure would.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/types.h"
#include "ps2e/ps2e.h"

extern u32 pluginsLoaded;   // 0 while loadAllPlugins runs, 1 after it
extern u32 pluginsOpened;   // the plugins are open for a run (set by the machine's run)
extern u32 bootedFromDisc;  // set by the disc boot, never cleared; closePlugins then closes the CDVD
extern u32 displayHandle;   // handed to GSopen, which may store its window there, then to SPU2open and PADopen

enum class PluginSlot { Gs, Pad1, Pad2, Spu2, Cdvd };
inline constexpr unsigned kPluginSlotCount = 5;

// Why a slot did not fill.
enum class PluginLoadFailure {
    None,
    FileNotFound,  // no file of that name (or no name configured)
    NotAPlugin,    // not a loadable library, or no PS2EgetLibType
    WrongKind,     // PS2EgetLibType answers another kind than the slot's
};

struct PluginSlotStatus {
    PluginSlot slot = PluginSlot::Gs;
    std::string path;
    PluginLoadFailure failure = PluginLoadFailure::None;
    std::string detail;  // the loader's reason, or the kind the library reported
};

// "GS", "PAD1", "PAD2", "SPU2", "CDVD"
const char* pluginSlotName(PluginSlot slot);
// "file not found", "not a plugin", "wrong kind" ("loaded" for None)
const char* pluginLoadFailureName(PluginLoadFailure failure);

// Each fills its slot from the library at `path` (freeing what the slot held
// first) and answers 1 when the slot is filled, 0 when not.
u32 loadGsPlugin(const std::string& path);
u32 loadPad1Plugin(const std::string& path);
u32 loadPad2Plugin(const std::string& path);
u32 loadSpu2Plugin(const std::string& path);
u32 loadCdvdPlugin(const std::string& path);

// The outcome of the last load of `slot`.
const PluginSlotStatus& pluginSlotStatus(PluginSlot slot);

// Loads the five slots from pluginConfig (GS, PAD1, PAD2, SPU2, CDVD). When
// any fails, the front end's hook is asked to choose plugins: the GUI shows
// the selection dialog, which loads and initialises again itself; the
// headless runner reports the failures. The default hook does nothing, so
// the machine runs without plugins (every call through an empty slot is
// skipped).
void loadAllPlugins();
using PluginChoiceHook = void (*)(const std::vector<PluginSlotStatus>& failedSlots);
void setPluginChoiceHook(PluginChoiceHook hook);  // null restores the default

void initPlugins();
// The configuration dialog of the library in `slot` ("GSconfigure",
// "PADconfigure", ...); nothing when the slot holds no usable library.
void pluginConfigure(PluginSlot slot);
void openPlugins();
void closePlugins();
void shutdownPlugins();

enum class PadSlot { Pad1, Pad2 };

// GS
void gsGifTransfer(const u32* data, u32 quadwords);
void gsGifTransfer2(const u32* packet);
// The next quadwords of a local-to-host transfer; zeros from a GS plugin
// that does not export "GSreadFIFO2".
void gsReadFifo2(u64* memory, u32 quadwords);
u32 gsRead32(u32 address);
u64 gsRead64(u32 address);
void gsWrite32(u32 address, u32 value);
void gsWrite64(u32 address, u64 value);
void gsVsync();
void gsKeyEvent(keyEvent* event);
void gsMakeSnapshot(const char* directory);

// PAD: null when no key event is pending.
keyEvent* padKeyEvent(PadSlot slot);
void padStartPoll(PadSlot slot, u32 port);
u8 padPoll(PadSlot slot, u8 value);

// The plugin's own state for a saved machine state, through the optional
// freeze entry point ("GSfreeze", "PADfreeze", "SPU2freeze", "CDVDfreeze").
// Empty when the slot's library has none, or its save fails or asks for
// more than the limit.
inline constexpr s32 kPluginFreezeLimit = 256 * 1024 * 1024;
std::optional<std::vector<u8>> pluginFreezeSave(PluginSlot slot);
bool pluginCanFreeze(PluginSlot slot);
// False when the slot's library has no freeze entry point or refuses the data.
bool pluginFreezeLoad(PluginSlot slot, std::vector<u8>& bytes);

// CDVD
void cdvdOpen();
u32 cdvdReadTrack(cdvdLoc* location);
u8* cdvdGetBuffer();
