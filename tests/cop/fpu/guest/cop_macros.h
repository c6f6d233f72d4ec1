/* Shared by the COP0 and FPU test programs. Two result arrays:
   - `results`, 16-byte records walked by $s0: a GPR stored with SQ after it
     was primed with `pattern` ($s1), so a record shows the low doubleword
     an instruction wrote and the upper doubleword it must leave alone;
   - `words`, 32-bit results walked by $s2 (SWC1 of an FPR, or SW of a GPR).
   `finish` leaves the counts in `resultCount` and `wordCount`. */

    .set noreorder
    .set gp=64

/* Loads a 64-bit constant from a literal pool with LD, so that operands do
   not depend on the instructions under test. */
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

/* Loads a single's bit pattern from a literal pool with LWC1. */
.macro lfc freg, bits
    .pushsection .rodata
    .balign 4
9:  .word \bits
    .popsection
    .set push
    .set noat
    lui     $at, %hi(9b)
    lwc1    \freg, %lo(9b)($at)
    .set pop
.endm

.macro prime reg
    lq      \reg, 0($s1)
.endm

.macro record reg
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
.endm

.macro keep freg
    swc1    \freg, 0($s2)
    addiu   $s2, $s2, 4
.endm

.macro keep_gpr reg
    sw      \reg, 0($s2)
    addiu   $s2, $s2, 4
.endm

.macro begin
    .globl main
main:
    la      $s0, results
    la      $s1, pattern
    la      $s2, words
.endm

.macro finish
    la      $t0, results
    subu    $t0, $s0, $t0
    srl     $t0, $t0, 4
    la      $t1, resultCount
    sw      $t0, 0($t1)
    la      $t0, words
    subu    $t0, $s2, $t0
    srl     $t0, $t0, 2
    la      $t1, wordCount
    sw      $t0, 0($t1)
    jr      $ra
    move    $v0, $zero
.endm

.macro storage records, words
    .data
    .balign 16
    .globl pattern
pattern:
    .dword 0xDEADBEEFCAFEF00D, 0x0123456789ABCDEF
    .bss
    .balign 16
    .globl results
results:
    .space 16 * \records
    .globl words
words:
    .space 4 * \words
    .globl resultCount
resultCount:
    .space 4
    .globl wordCount
wordCount:
    .space 4
    .text
.endm
