// The EE hardware register block (0x10000000-0x1000FFFF) as the bus sees
// it: the registers of every device in one list of register maps, and the
// accesses with side effects routed by those maps to the devices. The block
// is the backing store; offsets are already masked to 16 bits.
#pragma once

#include <string_view>

#include "core/types.h"
#include "devices/dma.h"
#include "devices/intc.h"
#include "devices/register_map.h"
#include "devices/timers.h"

inline constexpr RegisterMap kHwRegisterMaps[] = {kTimerRegisterMap, kDmaRegisterMap, kDmacRegisterMap,
                                                  kIntcRegisterMap};

// The register at exactly `offset`, or null where no map names one.
const HwRegister* hwRegisterAt(u32 offset);

// The register called `name` ("INTC_STAT", "D2_CHCR", ...), or null.
const HwRegister* hwRegisterNamed(std::string_view name);

// Sets up the freshly allocated register block (D_ENABLER's value, the DMA
// channel records) and attaches the devices to the bus. Machine
// initialisation calls it right after memAlloc.
void hwRegistersInit();

u32 hwRead32(u32 offset);
void hwWrite8(u32 offset, u8 value);
void hwWrite32(u32 offset, u32 value);
void hwWrite64(u32 offset, u32 low, u32 high);
