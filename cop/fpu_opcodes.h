// The FPU's slots in the COP1 opcode tables: the moves and the W format by
// rs, the BC1 branches by bits 17..16, the S format by function.
#pragma once

#include <array>

#include "cop/fpu.h"
#include "core/tables.h"

inline constexpr std::array kCop1Entries = {
    OpcodeEntry{0, opMfc1, "MFC1"},
    OpcodeEntry{2, opCfc1, "CFC1"},
    OpcodeEntry{4, opMtc1, "MTC1"},
    OpcodeEntry{6, opCtc1, "CTC1"},
    OpcodeEntry{20, opCvtSW, "CVT.S.W"},
};

inline constexpr std::array kBc1Entries = {
    OpcodeEntry{0, opBc1f, "BC1F"},
    OpcodeEntry{1, opBc1t, "BC1T"},
    OpcodeEntry{2, opBc1fl, "BC1FL"},
    OpcodeEntry{3, opBc1tl, "BC1TL"},
};

inline constexpr std::array kCop1SEntries = {
    OpcodeEntry{0x00, opAddS, "ADD.S"},
    OpcodeEntry{0x01, opSubS, "SUB.S"},
    OpcodeEntry{0x02, opMulS, "MUL.S"},
    OpcodeEntry{0x03, opDivS, "DIV.S"},
    OpcodeEntry{0x04, opSqrtS, "SQRT.S"},
    OpcodeEntry{0x05, opAbsS, "ABS.S"},
    OpcodeEntry{0x06, opMovS, "MOV.S"},
    OpcodeEntry{0x07, opNegS, "NEG.S"},
    OpcodeEntry{0x16, opRsqrtS, "RSQRT.S"},
    OpcodeEntry{0x18, opAddaS, "ADDA.S"},
    OpcodeEntry{0x19, opSubaS, "SUBA.S"},
    OpcodeEntry{0x1A, opMulaS, "MULA.S"},
    OpcodeEntry{0x1C, opMaddS, "MADD.S"},
    OpcodeEntry{0x1D, opMsubS, "MSUB.S"},
    OpcodeEntry{0x1E, opMaddaS, "MADDA.S"},
    OpcodeEntry{0x1F, opMsubaS, "MSUBA.S"},
    OpcodeEntry{0x24, opCvtWS, "CVT.W.S"},
    OpcodeEntry{0x28, opMaxS, "MAX.S"},
    OpcodeEntry{0x29, opMinS, "MIN.S"},
    OpcodeEntry{0x30, opCFS, "C.F.S"},
    OpcodeEntry{0x32, opCEqS, "C.EQ.S"},
    OpcodeEntry{0x34, opCLtS, "C.LT.S"},
    OpcodeEntry{0x36, opCLeS, "C.LE.S"},
};
