// COP1, the single-precision floating-point unit.
#pragma once

#include "core/types.h"

union FpuRegister {
    u32 u;
    float f;
};
static_assert(sizeof(FpuRegister) == 4);

struct FpuState {
    FpuRegister fpr[32];
    FpuRegister fpuAcc;
    u32 fcr[32];  // FCR0 is the revision, FCR31 control and status
};

extern FpuState fpu;

inline constexpr u32 kFcr0AtReset = 0x00002E00;
inline constexpr u32 kFcr31AtReset = 0x01000001;
