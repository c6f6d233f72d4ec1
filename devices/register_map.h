// One register of the EE's hardware register block (0x10000000-0x1000FFFF),
// as the device it belongs to declares it in its register map: the timers
// (devices/timers.h), the DMA channels and the DMAC (devices/dma.h), the
// INTC (devices/intc.h). A row gives the register's offset in the block,
// its name and what a 32-bit guest access does besides reading or storing
// the word. The bus's routing of the block (devices/hw_registers.cpp), the
// devices' own code and the tests take every register's offset from these
// rows, so each offset is written once.
//
// Every register here is a 32-bit word at a 16-byte boundary. The block is
// the registers' backing store; an offset no row names is plain storage.
#pragma once

#include <span>
#include <string_view>

#include "core/types.h"

enum class RegisterAccess : u8 {
    Storage,       // read and written as a plain word
    TimerCount,    // Tn_COUNT: a read gives the live count; a write reschedules the timer
    TimerMode,     // Tn_MODE: a read first raises the events reached; a write sets the
                   // clock, clears the flags written as 1 and reschedules
    TimerSetting,  // Tn_COMP, Tn_HOLD: stored, then the timer is rescheduled
    DmaStart,      // a channel's CHCR: a write with STR runs the whole transfer
    DmaNoHandler,  // the IPU channels' CHCR: stored; a start moves nothing
    DmacStatus,    // D_STAT: status bits 0-15 cleared, mask bits 16-31 toggled by the 1s written
    IntcStatus,    // INTC_STAT: the bits written as 1 are cleared
    IntcMask,      // INTC_MASK: bits 0-15 written as 1 are toggled
};

struct HwRegister {
    u32 offset;  // from the start of the block
    const char* name;
    RegisterAccess access;
    u8 unit = 0;  // the timer or DMA channel the register belongs to
};

using RegisterMap = std::span<const HwRegister>;

// The offset of the register called `name` in `map`. Used in constant
// expressions, where a name the map lacks stops the build.
consteval u32 registerOffset(RegisterMap map, std::string_view name) {
    for (const HwRegister& reg : map) {
        if (name == reg.name) return reg.offset;
    }
    throw "no register of that name in the map";
}
