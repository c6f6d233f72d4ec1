// How kernel calls see the guest registers: arguments are the low words of
// a0 and a1 unless a call says otherwise, and a result fills v0's low
// doubleword (the upper 64 bits of the 128-bit register are left alone),
// widened from 32 bits as each call states.
#pragma once

#include "core/ee_state.h"

inline u32 argA0() { return ee.gpr[kGprA0].w[0]; }
inline u32 argA1() { return ee.gpr[kGprA1].w[0]; }
inline u64 argA0Full() { return ee.gpr[kGprA0].d[0]; }
inline u64 argA1Full() { return ee.gpr[kGprA1].d[0]; }

inline void returnValue64(u64 value) { ee.gpr[kGprV0].d[0] = value; }
inline void returnSigned32(u32 value) { ee.gpr[kGprV0].d[0] = signExtend32(value); }
inline void returnUnsigned32(u32 value) { ee.gpr[kGprV0].d[0] = value; }

// The kernel's failure answer, -1 in all 64 bits.
inline void returnFailure() { ee.gpr[kGprV0].d[0] = ~u64{0}; }
