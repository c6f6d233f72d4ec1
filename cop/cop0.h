// COP0, the system control coprocessor: a plain file of 32 registers.
#pragma once

#include "core/types.h"

struct Cop0State {
    u32 r[32];
};

extern Cop0State cop0;

enum Cop0Register : unsigned {
    kCop0Count = 9,
    kCop0Status = 12,
    kCop0Cause = 13,
    kCop0Epc = 14,
    kCop0PRId = 15,
};

inline constexpr u32 kStatusIE = 0x1;
inline constexpr u32 kStatusEIE = 0x10000;
inline constexpr u32 kStatusAtReset = 0x10900001;
inline constexpr u32 kPRIdAtReset = 0x2E20;

// MFC0 and MTC0 move whole registers; EI and DI set and clear EIE. Nothing
// else in COP0 has a side effect.
void opMfc0();
void opMtc0();
void opEi();
void opDi();
