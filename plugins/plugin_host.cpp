#include "plugins/plugin_host.h"

// No plugin library is loaded yet: every slot is empty, so every call is
// skipped and every read answers as a failure would.

void loadAllPlugins() {}
void initPlugins() {}
void openPlugins() {}
void closePlugins() {}
void shutdownPlugins() {}

void gsGifTransfer(const u32*, u32) {}
void gsGifTransfer2(const u32*) {}
u32 gsRead32(u32) { return 0; }
u64 gsRead64(u32) { return 0; }
void gsWrite32(u32, u32) {}
void gsWrite64(u32, u64) {}
void gsVsync() {}
void gsKeyEvent(keyEvent*) {}
void gsMakeSnapshot(const char*) {}

keyEvent* padKeyEvent(PadSlot) { return nullptr; }
void padStartPoll(PadSlot, u32) {}
u8 padPoll(PadSlot, u8) { return 0; }

void cdvdOpen() {}
u32 cdvdReadTrack(cdvdLoc*) { return 0xFFFFFFFF; }
u8* cdvdGetBuffer() { return nullptr; }
