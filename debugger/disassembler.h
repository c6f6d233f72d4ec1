// The debugger's disassembler: names an EE instruction word for the trace
// list, and spells it out with its operands in assembler syntax.
#pragma once

#include <string>

#include "core/types.h"

// The trace's name of `word`: the name table entry its decoding selects, or
// for SYSCALL the name of the system call that v1 selects at this moment.
std::string disasmName(u32 word);

// One trace line: "NAME - WORD - PC" with the word and the PC as eight
// upper-case hexadecimal digits; a zero word is "NOP".
std::string disasmLine(u32 word, u32 pc);

// The instruction at guest address `address` with its operands, as an
// assembler writes it ("addiu sp,sp,-16", "beq a0,zero,0x100040"): lower-case
// mnemonic, ABI register names, branch and jump targets as absolute
// addresses; the VU macro operations with their field masks
// ("vaddx.xyz $vf1xyz,$vf2xyz,$vf3x"). Empty for unassigned codes.
std::string disasmInstruction(u32 word, u32 address);
