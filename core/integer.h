// Integer arithmetic, logic, shifts, HI/LO and SA moves, multiply and
// divide, and the conditional traps.
#pragma once

// Immediate forms (primary table). ADDI shares ADDIU's handler and DADDI
// DADDIU's: no overflow exception exists.
void opAddiu();
void opDaddiu();
void opSlti();
void opSltiu();
void opAndi();
void opOri();
void opXori();
void opLui();

// SPECIAL table.
void opSll();
void opSrl();
void opSra();
void opSllv();
void opSrlv();
void opSrav();
void opMovz();
void opMovn();
void opMfhi();
void opMthi();
void opMflo();
void opMtlo();
void opDsllv();
void opDsrlv();
void opDsrav();
void opMult();
void opMultu();
void opDiv();
void opDivu();
void opAddu();
void opSubu();
void opAnd();
void opOr();
void opXor();
void opNor();
void opMfsa();
void opMtsa();
void opSlt();
void opSltu();
void opDaddu();
void opDsubu();
void opTge();
void opTgeu();
void opTlt();
void opTltu();
void opTeq();
void opTne();
void opDsll();
void opDsrl();
void opDsra();
void opDsll32();
void opDsrl32();
void opDsra32();
