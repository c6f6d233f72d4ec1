// The VIF1 command stream: the data that the VIF1 DMA channel delivers,
// in 32-bit words. A chain's data may arrive in several pieces (each tag's
// upper half, each data block, and a block that wraps at the end of RAM or
// the scratchpad comes as two), so a command can span calls.
#pragma once

#include "core/types.h"

void vifCommandStream(const u32* data, u32 words);
