/* Shared by the instruction-class test programs. $s0 walks the `results`
   array in 16-byte records; $s1 points at `pattern`, the 128-bit value each
   destination is primed with, so that a record shows both the low doubleword
   an instruction wrote and the upper doubleword it must leave alone. Beside
   each record the program lists in `expected` the value worked out by hand
   and a name for failure messages; the test compares the two. */

    .set noreorder
    .set gp=64

/* Loads a 64-bit constant from a literal pool with LD, so that source
   operands do not depend on the instructions under test. */
.macro ldc reg, value
    .pushsection .rodata
    .balign 8
9:  .dword \value
    .popsection
    .set push
    .set noat
    lui     $at, %hi(9b)
    ld      \reg, %lo(9b)($at)
    .set pop
.endm

.macro prime reg
    lq      \reg, 0($s1)
.endm

/* The next record's expected low doubleword (a .dword or two .words), its
   upper one and its name. */
.macro expect low, high, text
    .pushsection .rodata
9:  .asciz "\text"
    .popsection
    .pushsection .rodata.expected
    \low
    .dword \high
    .word 9b, 0
    .popsection
.endm

.macro record reg, low, text, high=0x0123456789ABCDEF
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
    expect  ".dword \low", \high, "\text"
.endm

/* A link register: the address of `site` + 8, bits 32..63 zero. */
.macro record_link reg, site, text
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
    expect  ".word \site + 8, 0", 0x0123456789ABCDEF, "\text"
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

/* Leaves the record count in `resultCount`. */
.macro finish_records
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
