/* Records of the instruction test programs. $s0 walks the `results` array
   in 16-byte records; $s1 points at `pattern`, the 128-bit value each
   destination is primed with, so that a record shows both the part an
   instruction wrote and the part it must leave alone. Beside each record
   the program lists in `expected` a 24-byte entry: the 16 bytes worked out
   by hand, the address of a name for failure messages and a flag word
   (support/guest_records.h reads both). */

    .set noreorder
    .set gp=64

/* Flag of an entry whose low word may be any single-precision NaN. */
#define RECORD_ANY_NAN 1

/* Loads a constant from a literal pool (the data directive and its
   alignment) with INSN, so that source operands do not depend on the
   instructions under test. */
.macro load_literal insn, reg, directive, align, value
    .pushsection .rodata
    .balign \align
9:  \directive \value
    .popsection
    .set push
    .set noat
    lui     $at, %hi(9b)
    \insn   \reg, %lo(9b)($at)
    .set pop
.endm

/* A 64-bit constant, with LD. */
.macro ldc reg, value
    load_literal ld, \reg, .dword, 8, \value
.endm

.macro prime reg
    lq      \reg, 0($s1)
.endm

/* The next record's entry: a directive giving its 16 bytes, its name and
   its flags. */
.macro expect data, text, flags=0
    .pushsection .rodata
9:  .asciz "\text"
    .popsection
    .pushsection .rodata.expected
    \data
    .word 9b, \flags
    .popsection
.endm

.macro record reg, low, text, high=0x0123456789ABCDEF
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
    expect  ".dword \low, \high", "\text"
.endm

.macro begin_records
    .pushsection .rodata.expected
    .globl expected
expected:
    .popsection
    .globl main
main:
    la      $s0, results
    la      $s1, pattern
.endm

/* Leaves the record count in `resultCount` and ends the entries at
   `expectedEnd`. */
.macro finish_records
    .pushsection .rodata.expected
    .globl expectedEnd
expectedEnd:
    .popsection
    la      $t0, results
    subu    $t1, $s0, $t0
    srl     $t1, $t1, 4
    sw      $t1, resultCount
    jr      $ra
    nop
.endm

.macro record_storage count
    .data
    .balign 16
    .globl pattern
pattern:
    .dword 0xDEADBEEFCAFEF00D, 0x0123456789ABCDEF
    .bss
    .balign 16
    .globl results
results:
    .space 16 * \count
    .globl resultCount
resultCount:
    .space 4
    .text
.endm
