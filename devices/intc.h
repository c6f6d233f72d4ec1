// The register side of the EE's interrupt controller: INTC_STAT, where each
// interrupt cause sets its bit, and INTC_MASK, which enables causes. Which
// cause a bit stands for is the raising device's business (the vertical
// blank sets 2 and 3, timer n sets 9 + n); delivering the pending causes to
// the guest's handlers is the machine's (machine/interrupts.h).
#pragma once

#include "core/types.h"
#include "devices/register_map.h"

inline constexpr HwRegister kIntcRegisterMap[] = {
    {0xF000, "INTC_STAT", RegisterAccess::IntcStatus},
    {0xF010, "INTC_MASK", RegisterAccess::IntcMask},
};

inline constexpr u32 kHwIntcStat = registerOffset(kIntcRegisterMap, "INTC_STAT");
inline constexpr u32 kHwIntcMask = registerOffset(kIntcRegisterMap, "INTC_MASK");

// A device raising causes: their bits go up in INTC_STAT.
void intcRaise(u32 causes);

// The guest's stores: a 1 written to INTC_STAT acknowledges (clears) that
// cause; a 1 written to bits 0-15 of INTC_MASK toggles that enable, so the
// same store twice restores the mask. Bits 16-31 of a mask store are ignored.
void intcStatusWritten(u32 value);
void intcMaskWritten(u32 value);
