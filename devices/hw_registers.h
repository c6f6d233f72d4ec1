// The EE hardware register block (0x10000000-0x1000FFFF): timers at
// 0x0000-0x1FFF, DMA channels at 0x8000-0xD4FF, DMAC control and status at
// 0xE000-0xE0FF, INTC_STAT at 0xF000, INTC_MASK at 0xF010, D_ENABLER at
// 0xF590. The block is the backing store; these handlers add the side
// effects of guest accesses. Offsets are already masked to 16 bits.
#pragma once

#include "core/types.h"

inline constexpr u32 kHwIntcStat = 0xF000;
inline constexpr u32 kHwIntcMask = 0xF010;
inline constexpr u32 kHwDStat = 0xE010;
inline constexpr u32 kHwDEnabler = 0xF590;

// Sets up the freshly allocated register block (D_ENABLER's value, the DMA
// channel records) and attaches the devices to the bus. Machine
// initialisation calls it right after memAlloc.
void hwRegistersInit();

u32 hwRead32(u32 offset);
void hwWrite8(u32 offset, u8 value);
void hwWrite32(u32 offset, u32 value);
void hwWrite64(u32 offset, u32 low, u32 high);
