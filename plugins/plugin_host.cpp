#include "plugins/plugin_host.h"

// No plugin library is loaded yet: every slot is empty, so the life-cycle
// calls have nothing to call and the GS registers read as zero.

void loadAllPlugins() {}
void initPlugins() {}
void openPlugins() {}
void closePlugins() {}
void shutdownPlugins() {}

u32 gsRead32(u32) { return 0; }
u64 gsRead64(u32) { return 0; }
void gsWrite32(u32, u32) {}
void gsWrite64(u32, u64) {}
