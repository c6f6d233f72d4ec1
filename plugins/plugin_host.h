// The plugin host: the GS, PAD1, PAD2, SPU2 and CDVD slots, their life
// cycle, and the calls that the machine makes through them. Every call is
// guarded: a slot that holds no library, or an entry point the library
// does not export, is skipped, and a read answers as a failure would.
#pragma once

#include "core/types.h"
#include "ps2e/ps2e.h"

void loadAllPlugins();
void initPlugins();
void openPlugins();
void closePlugins();
void shutdownPlugins();

enum class PadSlot { Pad1, Pad2 };

// GS
void gsGifTransfer(const u32* data, u32 quadwords);
void gsGifTransfer2(const u32* packet);
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

// CDVD
void cdvdOpen();
u32 cdvdReadTrack(cdvdLoc* location);
u8* cdvdGetBuffer();
