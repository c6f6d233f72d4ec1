// The machine state as JSON, the form scripts and outside tests read after
// a run. Every register is a lowercase hexadecimal string without prefix,
// zero-padded to its width, most significant digit first; "cycle" is a
// number. Fields, in order: stop, pc, cycle, exitCode (a number, only when
// the program ended with Exit), thread (the id of the running thread, or of
// the one that ran last while none could run), gpr, hi, lo, sa, cop0, fpr,
// fpuAcc, fcr0, fcr31, vu0, vu1 (each vf, acc, vi, tpc).
#pragma once

#include <string>

#include "core/types.h"
#include "machine/emulation.h"

// Lowercase hexadecimal, `digits` wide, most significant digit first.
std::string hexDigits(u64 value, unsigned digits);

// A 128-bit register as 32 digits: w[3] w[2] w[1] w[0].
std::string hexReg128(const Reg128& reg);

// The state of ee, cop0, fpu, vu0 and vu1 now, with the reason the run
// ended.
std::string machineStateJson(StopReason reason);
