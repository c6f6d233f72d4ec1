// The plugin host: the GS, PAD1, PAD2, SPU2 and CDVD slots, their life
// cycle, and the calls that the machine makes through them. A call through
// a slot that holds no plugin does nothing and reads as zero.
#pragma once

#include "core/types.h"

void loadAllPlugins();
void initPlugins();
void openPlugins();
void closePlugins();
void shutdownPlugins();

// The GS privileged registers, reached through the GS slot.
u32 gsRead32(u32 address);
u64 gsRead64(u32 address);
void gsWrite32(u32 address, u32 value);
void gsWrite64(u32 address, u64 value);
