// COP1, the single-precision floating-point unit. Operands are widened to
// double precision, computed there and rounded once to single precision when
// the result is stored; infinities and NaNs pass through unclamped and no
// operation traps. Only the compares and CTC1 change FCR31.
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
inline constexpr u32 kFcr31Condition = 0x00800000;  // C, set by the compares, tested by BC1

// Moves between the GPRs and the FPU (rs 0, 2, 4, 6).
void opMfc1();
void opCfc1();
void opMtc1();
void opCtc1();

// BC1 group, by bits 17..16.
void opBc1f();
void opBc1t();
void opBc1fl();
void opBc1tl();

// S format, by function.
void opAddS();
void opSubS();
void opMulS();
void opDivS();
void opSqrtS();
void opAbsS();
void opMovS();
void opNegS();
void opRsqrtS();
void opAddaS();
void opSubaS();
void opMulaS();
void opMaddS();
void opMsubS();
void opMaddaS();
void opMsubaS();
void opCvtWS();
void opMaxS();
void opMinS();
void opCFS();
void opCEqS();
void opCLtS();
void opCLeS();

// W format (rs 20): every function code converts the word to single.
void opCvtSW();
