/* Branches and jumps. Each case records a trace in t9: bit 0 is set by the
   delay slot, bit 1 by the word after it, which a taken branch skips.
   Linking cases then record the link register, primed beforehand so that
   an unwritten link shows the pattern. */
#include "record_macros.h"

    .equ TAKEN, 1
    .equ NOT_TAKEN, 3
    .equ LIKELY_NOT_TAKEN, 2

.macro trace_start
    prime   $t9
    daddu   $t9, $zero, $zero   /* bits 64..127 keep the pattern */
.endm

.macro trace_end want, text
    ori     $t9, $t9, 1
    ori     $t9, $t9, 2
8:  record  $t9, \want, "\text"
.endm

.macro br2 op, a, b, want
    ldc     $t0, \a
    ldc     $t1, \b
    trace_start
    \op     $t0, $t1, 8f
    trace_end \want, "\op \a, \b"
.endm

.macro br1 op, a, want
    ldc     $t0, \a
    trace_start
    \op     $t0, 8f
    trace_end \want, "\op \a"
.endm

/* the REGIMM link branches: linked = 1 when GPR 31 must hold the link */
.macro brlink op, reg, a, want, linked
    ldc     $t0, \a
    trace_start
    prime   $ra
7:  \op     \reg, 8f
    trace_end \want, "\op \a"
    .if \linked
    record_link $ra, 7b, "\op \a: link"
    .else
    record  $ra, 0xDEADBEEFCAFEF00D, "\op \a: ra not written"
    .endif
.endm

    .text
    begin_records
    move    $s7, $ra

    br2 beq, 5, 5, TAKEN
    br2 beq, 0x100000005, 5, NOT_TAKEN
    br2 bne, 0x100000005, 5, TAKEN
    br2 bne, 5, 5, NOT_TAKEN
    br1 blez, 0, TAKEN
    br1 blez, 0xFFFFFFFFFFFFFFFF, TAKEN
    br1 blez, 0x100000000, NOT_TAKEN
    br1 bgtz, 0x100000000, TAKEN
    br1 bgtz, 0, NOT_TAKEN
    br1 bgtz, 0xFFFFFFFF00000001, NOT_TAKEN
    br2 beql, 5, 5, TAKEN
    br2 beql, 0x100000005, 5, LIKELY_NOT_TAKEN
    br2 bnel, 0x100000005, 5, TAKEN
    br2 bnel, 5, 5, LIKELY_NOT_TAKEN
    br1 blezl, 0, TAKEN
    br1 blezl, 0x100000000, LIKELY_NOT_TAKEN
    br1 bgtzl, 0x100000000, TAKEN
    br1 bgtzl, 0, LIKELY_NOT_TAKEN
    br1 bltz, 0x8000000000000000, TAKEN
    br1 bltz, 0x80000000, NOT_TAKEN
    br1 bltz, 0, NOT_TAKEN
    br1 bgez, 0, TAKEN
    br1 bgez, 0x80000000, TAKEN
    br1 bgez, 0xFFFFFFFFFFFFFFFF, NOT_TAKEN
    br1 bltzl, 0xFFFFFFFFFFFFFFFF, TAKEN
    br1 bltzl, 0, LIKELY_NOT_TAKEN
    br1 bgezl, 0, TAKEN
    br1 bgezl, 0xFFFFFFFFFFFFFFFF, LIKELY_NOT_TAKEN

    brlink bltzal, $t0, 0xFFFFFFFFFFFFFFFF, TAKEN, 1
    brlink bltzal, $t0, 0, NOT_TAKEN, 0
    brlink bgezal, $zero, 0, TAKEN, 1
    brlink bgezal, $t0, 0xFFFFFFFFFFFFFFFF, NOT_TAKEN, 0
    brlink bltzall, $t0, 0xFFFFFFFFFFFFFFFF, TAKEN, 1
    brlink bltzall, $t0, 0, LIKELY_NOT_TAKEN, 0
    brlink bgezall, $t0, 0, TAKEN, 1
    brlink bgezall, $t0, 0xFFFFFFFFFFFFFFFF, LIKELY_NOT_TAKEN, 0

    trace_start
    j       8f
    trace_end TAKEN, "j"
    trace_start
    prime   $ra
7:  jal     8f
    trace_end TAKEN, "jal"
    record_link $ra, 7b, "jal: link"
    ldc     $t1, 0xABCD000000000000
    la      $t0, 8f
    or      $t0, $t0, $t1
    trace_start
    jr      $t0
    trace_end TAKEN, "jr takes rs.w0 only"
    la      $t0, 8f
    trace_start
    prime   $ra
7:  jalr    $t0
    trace_end TAKEN, "jalr"
    record_link $ra, 7b, "jalr: link"
    prime   $t0
    la      $t0, 8f
    trace_start
7:  .word   0x01004009          /* JALR $t0, $t0: the assembler refuses rd = rs */
    trace_end TAKEN, "jalr rd = rs jumps to the old value"
    record_link $t0, 7b, "jalr rd = rs: link"
    la      $t0, 8f
    trace_start
    jalr    $zero, $t0
    trace_end TAKEN, "jalr rd = 0"

    /* The same code reached at 0x80100000 and up: the fetch masks the PC.
       A JAL there links the 0x8... address with bits 32..63 zero; J drops
       the upper PC bits and comes back below 0x02000000. */
    la      $t0, 8f
    lui     $t1, 0x8000
    or      $t0, $t0, $t1
    trace_start
    jr      $t0
    trace_end TAKEN, "jr to the kseg0 alias"
    prime   $ra
7:  jal     6f
    nop
6:  record_link $ra, 0x80000000 + 7b, "jal in the kseg0 alias: link"
    j       6f
    nop
6:  prime   $ra
7:  jal     6f
    nop
6:  record_link $ra, 7b, "jal after j came back: link"

    move    $ra, $s7
    finish_records

    record_storage 96
