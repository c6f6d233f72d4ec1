// The entry lists of the EE opcode tables: every slot's handler and
// mnemonic. The interpreter builds its dispatch tables from them
// (core/tables.cpp) and the debugger's disassembler its name tables, so the
// two always agree on what each encoding is.
#pragma once

#include <array>

#include "cop/cop0.h"
#include "cop/fpu_opcodes.h"
#include "cop/mmi_opcodes.h"
#include "core/branch.h"
#include "core/integer.h"
#include "core/loadstore.h"
#include "core/machine_calls.h"
#include "core/tables.h"
#include "vu/cop2_opcodes.h"

// The handlers that lead from a slot to the next table; each extracts that
// table's index from the instruction word.
void dispatchSpecial();
void dispatchRegimm();
void dispatchCop0();
void dispatchC0();
void dispatchCop1();
void dispatchBc1();
void dispatchCop1S();
void dispatchCop2();
void dispatchMmi();
void dispatchMmi0();
void dispatchMmi1();
void dispatchMmi2();
void dispatchMmi3();

inline constexpr std::array kPrimaryEntries = {
    OpcodeEntry{0, dispatchSpecial, "SPECIAL"},
    OpcodeEntry{1, dispatchRegimm, "REGIMM"},
    OpcodeEntry{2, opJ, "J"},
    OpcodeEntry{3, opJal, "JAL"},
    OpcodeEntry{4, opBeq, "BEQ"},
    OpcodeEntry{5, opBne, "BNE"},
    OpcodeEntry{6, opBlez, "BLEZ"},
    OpcodeEntry{7, opBgtz, "BGTZ"},
    OpcodeEntry{8, opAddiu, "ADDI"},
    OpcodeEntry{9, opAddiu, "ADDIU"},
    OpcodeEntry{10, opSlti, "SLTI"},
    OpcodeEntry{11, opSltiu, "SLTIU"},
    OpcodeEntry{12, opAndi, "ANDI"},
    OpcodeEntry{13, opOri, "ORI"},
    OpcodeEntry{14, opXori, "XORI"},
    OpcodeEntry{15, opLui, "LUI"},
    OpcodeEntry{16, dispatchCop0, "COP0"},
    OpcodeEntry{17, dispatchCop1, "COP1"},
    OpcodeEntry{18, dispatchCop2, "COP2"},
    OpcodeEntry{20, opBeql, "BEQL"},
    OpcodeEntry{21, opBnel, "BNEL"},
    OpcodeEntry{22, opBlezl, "BLEZL"},
    OpcodeEntry{23, opBgtzl, "BGTZL"},
    OpcodeEntry{24, opDaddiu, "DADDI"},
    OpcodeEntry{25, opDaddiu, "DADDIU"},
    OpcodeEntry{26, opLdl, "LDL"},
    OpcodeEntry{27, opLdr, "LDR"},
    OpcodeEntry{28, dispatchMmi, "MMI"},
    OpcodeEntry{30, opLq, "LQ"},
    OpcodeEntry{31, opSq, "SQ"},
    OpcodeEntry{32, opLb, "LB"},
    OpcodeEntry{33, opLh, "LH"},
    OpcodeEntry{34, opLwl, "LWL"},
    OpcodeEntry{35, opLw, "LW"},
    OpcodeEntry{36, opLbu, "LBU"},
    OpcodeEntry{37, opLhu, "LHU"},
    OpcodeEntry{38, opLwr, "LWR"},
    OpcodeEntry{39, opLwu, "LWU"},
    OpcodeEntry{40, opSb, "SB"},
    OpcodeEntry{41, opSh, "SH"},
    OpcodeEntry{42, opSwl, "SWL"},
    OpcodeEntry{43, opSw, "SW"},
    OpcodeEntry{44, opSdl, "SDL"},
    OpcodeEntry{45, opSdr, "SDR"},
    OpcodeEntry{46, opSwr, "SWR"},
    OpcodeEntry{49, opLwc1, "LWC1"},
    OpcodeEntry{54, opLqc2, "LQC2"},
    OpcodeEntry{55, opLd, "LD"},
    OpcodeEntry{57, opSwc1, "SWC1"},
    OpcodeEntry{62, opSqc2, "SQC2"},
    OpcodeEntry{63, opSd, "SD"},
};

inline constexpr std::array kSpecialEntries = {
    OpcodeEntry{0, opSll, "SLL"},
    OpcodeEntry{2, opSrl, "SRL"},
    OpcodeEntry{3, opSra, "SRA"},
    OpcodeEntry{4, opSllv, "SLLV"},
    OpcodeEntry{6, opSrlv, "SRLV"},
    OpcodeEntry{7, opSrav, "SRAV"},
    OpcodeEntry{8, opJr, "JR"},
    OpcodeEntry{9, opJalr, "JALR"},
    OpcodeEntry{10, opMovz, "MOVZ"},
    OpcodeEntry{11, opMovn, "MOVN"},
    OpcodeEntry{12, syscallDispatch, "SYSCALL"},
    OpcodeEntry{16, opMfhi, "MFHI"},
    OpcodeEntry{17, opMthi, "MTHI"},
    OpcodeEntry{18, opMflo, "MFLO"},
    OpcodeEntry{19, opMtlo, "MTLO"},
    OpcodeEntry{20, opDsllv, "DSLLV"},
    OpcodeEntry{22, opDsrlv, "DSRLV"},
    OpcodeEntry{23, opDsrav, "DSRAV"},
    OpcodeEntry{24, opMult, "MULT"},
    OpcodeEntry{25, opMultu, "MULTU"},
    OpcodeEntry{26, opDiv, "DIV"},
    OpcodeEntry{27, opDivu, "DIVU"},
    OpcodeEntry{32, opAddu, "ADD"},
    OpcodeEntry{33, opAddu, "ADDU"},
    OpcodeEntry{34, opSubu, "SUB"},
    OpcodeEntry{35, opSubu, "SUBU"},
    OpcodeEntry{36, opAnd, "AND"},
    OpcodeEntry{37, opOr, "OR"},
    OpcodeEntry{38, opXor, "XOR"},
    OpcodeEntry{39, opNor, "NOR"},
    OpcodeEntry{40, opMfsa, "MFSA"},
    OpcodeEntry{41, opMtsa, "MTSA"},
    OpcodeEntry{42, opSlt, "SLT"},
    OpcodeEntry{43, opSltu, "SLTU"},
    OpcodeEntry{44, opDaddu, "DADD"},
    OpcodeEntry{45, opDaddu, "DADDU"},
    OpcodeEntry{46, opDsubu, "DSUB"},
    OpcodeEntry{47, opDsubu, "DSUBU"},
    OpcodeEntry{48, opTge, "TGE"},
    OpcodeEntry{49, opTgeu, "TGEU"},
    OpcodeEntry{50, opTlt, "TLT"},
    OpcodeEntry{51, opTltu, "TLTU"},
    OpcodeEntry{52, opTeq, "TEQ"},
    OpcodeEntry{54, opTne, "TNE"},
    OpcodeEntry{56, opDsll, "DSLL"},
    OpcodeEntry{58, opDsrl, "DSRL"},
    OpcodeEntry{59, opDsra, "DSRA"},
    OpcodeEntry{60, opDsll32, "DSLL32"},
    OpcodeEntry{62, opDsrl32, "DSRL32"},
    OpcodeEntry{63, opDsra32, "DSRA32"},
};

inline constexpr std::array kRegimmEntries = {
    OpcodeEntry{0, opBltz, "BLTZ"},
    OpcodeEntry{1, opBgez, "BGEZ"},
    OpcodeEntry{2, opBltzl, "BLTZL"},
    OpcodeEntry{3, opBgezl, "BGEZL"},
    OpcodeEntry{16, opBltzal, "BLTZAL"},
    OpcodeEntry{17, opBgezal, "BGEZAL"},
    OpcodeEntry{18, opBltzall, "BLTZALL"},
    OpcodeEntry{19, opBgezall, "BGEZALL"},
};

// COP0 rs 16..31 all lead to the C0 table.
inline constexpr std::array kCop0Entries = [] {
    std::array<OpcodeEntry, 18> entries{};
    entries[0] = OpcodeEntry{0, opMfc0, "MFC0"};
    entries[1] = OpcodeEntry{4, opMtc0, "MTC0"};
    for (unsigned i = 0; i < 16; ++i) entries[2 + i] = OpcodeEntry{16 + i, dispatchC0, "C0"};
    return entries;
}();

inline constexpr std::array kC0Entries = {
    OpcodeEntry{56, opEi, "EI"},
    OpcodeEntry{57, opDi, "DI"},
};

// The slots that lead to a further table, by number: the interpreter's
// one-lookup tables are built on these.
inline constexpr unsigned kCop1FormatS = 16;
inline constexpr unsigned kMmiFunctionMmi0 = 8;
inline constexpr unsigned kMmiFunctionMmi2 = 9;
inline constexpr unsigned kMmiFunctionMmi1 = 40;
inline constexpr unsigned kMmiFunctionMmi3 = 41;

inline constexpr std::array kCop1Dispatch = {
    OpcodeEntry{8, dispatchBc1, "BC1"},
    OpcodeEntry{kCop1FormatS, dispatchCop1S, "S"},
};

inline constexpr std::array kMmiDispatch = {
    OpcodeEntry{kMmiFunctionMmi0, dispatchMmi0, "MMI0"},
    OpcodeEntry{kMmiFunctionMmi2, dispatchMmi2, "MMI2"},
    OpcodeEntry{kMmiFunctionMmi1, dispatchMmi1, "MMI1"},
    OpcodeEntry{kMmiFunctionMmi3, dispatchMmi3, "MMI3"},
};
