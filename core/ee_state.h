// The EE processor state: general registers, HI/LO, SA, the PC, the
// instruction being executed and the instruction counter.
#pragma once

#include "core/types.h"

struct EeCpuState {
    Reg128 gpr[32];
    Reg128 hi;   // d[0] is HI0, d[1] is HI1
    Reg128 lo;   // d[0] is LO0, d[1] is LO1
    u64 sa;
    u32 pc;      // address of the next instruction to fetch
    u32 code;    // the instruction word now being executed
    u32 cycle;   // executed instructions, wrapping modulo 2^32
};

extern EeCpuState ee;

// Register numbers that the kernel, the loader and the branches single out.
enum GprIndex : unsigned {
    kGprV0 = 2,
    kGprV1 = 3,
    kGprA0 = 4,
    kGprA1 = 5,
    kGprA2 = 6,
    kGprGp = 28,
    kGprSp = 29,
    kGprRa = 31,
};

// Instruction fields of the word in ee.code.
inline unsigned fieldRs() { return (ee.code >> 21) & 31; }
inline unsigned fieldRt() { return (ee.code >> 16) & 31; }
inline unsigned fieldRd() { return (ee.code >> 11) & 31; }
inline unsigned fieldSa() { return (ee.code >> 6) & 31; }
inline unsigned fieldFunction() { return ee.code & 63; }
inline u16 fieldImm16() { return static_cast<u16>(ee.code); }
inline u64 fieldSimm() { return signExtend16(static_cast<u16>(ee.code)); }
inline u32 fieldJumpIndex() { return ee.code & 0x03FFFFFF; }

// The register that the field at fieldShift names. The field is shifted
// straight to the register's byte offset and masked: registers are 16
// bytes, which no x86 address scales by, so indexing by the register
// number costs every handler a further shift per register it names.
inline Reg128& gprNamedBy(unsigned fieldShift) {
    const u32 offset = (ee.code >> (fieldShift - 4)) & (31u << 4);
    return *reinterpret_cast<Reg128*>(reinterpret_cast<unsigned char*>(ee.gpr) + offset);
}

// After each instruction the step puts back only the low 64 bits of GPR 0,
// which is all that most instructions write: one 8-byte store instead of a
// 16-byte one on every step. The handlers that write a whole 128-bit
// register (LQ, QMFC2, the multimedia operations) call this after their
// write, so that GPR 0 as their destination still reads as 128 zero bits.
inline void putBackGprZeroUpperHalf() { ee.gpr[0].d[1] = 0; }

inline Reg128& rsReg() { return gprNamedBy(21); }
inline Reg128& rtReg() { return gprNamedBy(16); }
inline Reg128& rdReg() { return gprNamedBy(11); }

// rd = value, all 128 bits.
inline void writeWholeRd(const Reg128& value) {
    rdReg() = value;
    putBackGprZeroUpperHalf();
}
