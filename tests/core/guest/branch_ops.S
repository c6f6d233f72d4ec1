/* Branches and jumps. Each case records a trace in t9: bit 0 is set by the
   delay slot, bit 1 by the word after it, which a taken branch skips. So an
   ordinary branch gives 1 taken and 3 not taken; a likely one 1 and 2.
   Linking cases record ra (or the JALR destination) after the trace, primed
   beforehand so that an unwritten link shows the pattern. The link sites
   are global labels; branch_test.cpp lists the records in this order. */
#include "record_macros.h"

.macro trace_start
    prime   $t9
    daddu   $t9, $zero, $zero
.endm

.macro trace_end
    ori     $t9, $t9, 1
    ori     $t9, $t9, 2
8:  record  $t9
.endm

.macro br2 op, a, b
    ldc     $t0, \a
    ldc     $t1, \b
    trace_start
    \op     $t0, $t1, 8f
    trace_end
.endm

.macro br1 op, a
    ldc     $t0, \a
    trace_start
    \op     $t0, 8f
    trace_end
.endm

.macro brlink op, reg, a, site
    ldc     $t0, \a
    trace_start
    prime   $ra
    .globl  \site
\site:
    \op     \reg, 8f
    trace_end
    record  $ra
.endm

    .text
    begin_records
    move    $s7, $ra

    br2 beq, 5, 5
    br2 beq, 0x100000005, 5
    br2 bne, 0x100000005, 5
    br2 bne, 5, 5
    br1 blez, 0
    br1 blez, 0xFFFFFFFFFFFFFFFF
    br1 blez, 0x100000000
    br1 blez, 0x80000000
    br1 bgtz, 0x100000000
    br1 bgtz, 0
    br1 bgtz, 0xFFFFFFFF00000001
    br2 beql, 5, 5
    br2 beql, 0x100000005, 5
    br2 bnel, 0x100000005, 5
    br2 bnel, 5, 5
    br1 blezl, 0
    br1 blezl, 0x100000000
    br1 bgtzl, 0x100000000
    br1 bgtzl, 0
    br1 bltz, 0x8000000000000000
    br1 bltz, 0x80000000
    br1 bltz, 0
    br1 bgez, 0
    br1 bgez, 0x80000000
    br1 bgez, 0xFFFFFFFFFFFFFFFF
    br1 bltzl, 0xFFFFFFFFFFFFFFFF
    br1 bltzl, 0
    br1 bgezl, 0
    br1 bgezl, 0xFFFFFFFFFFFFFFFF

    brlink bltzal, $t0, 0xFFFFFFFFFFFFFFFF, bltzalTaken
    brlink bltzal, $t0, 0, bltzalNotTaken
    brlink bgezal, $zero, 0, bgezalZero
    brlink bgezal, $t0, 0xFFFFFFFFFFFFFFFF, bgezalNotTaken
    brlink bltzall, $t0, 0xFFFFFFFFFFFFFFFF, bltzallTaken
    brlink bltzall, $t0, 0, bltzallNotTaken
    brlink bgezall, $t0, 0, bgezallTaken
    brlink bgezall, $t0, 0xFFFFFFFFFFFFFFFF, bgezallNotTaken

    /* J */
    trace_start
    j       8f
    trace_end
    /* JAL */
    trace_start
    prime   $ra
    .globl  jalSite
jalSite:
    jal     8f
    trace_end
    record  $ra
    /* JR */
    la      $t0, 8f
    trace_start
    jr      $t0
    trace_end
    /* JR takes rs.w0 only */
    ldc     $t1, 0xABCD000000000000
    la      $t0, 8f
    or      $t0, $t0, $t1
    trace_start
    jr      $t0
    trace_end
    /* JALR rd = ra */
    la      $t0, 8f
    trace_start
    prime   $ra
    .globl  jalrSite
jalrSite:
    jalr    $t0
    trace_end
    record  $ra
    /* JALR rd = rs jumps to the old value */
    prime   $t0
    la      $t0, 8f
    trace_start
    .globl  jalrSameSite
jalrSameSite:
    .word   0x01004009          /* JALR $t0, $t0: the assembler refuses rd = rs */
    trace_end
    record  $t0
    /* JALR rd = 0 */
    la      $t0, 8f
    trace_start
    jalr    $zero, $t0
    trace_end

    /* The same code reached at 0x80100000 and up: the fetch masks the PC.
       A JAL there links the 0x8... address with bits 32..63 zero; J drops
       the upper PC bits and comes back below 0x02000000. */
    la      $t0, 8f
    lui     $t1, 0x8000
    or      $t0, $t0, $t1
    trace_start
    jr      $t0
    trace_end
    prime   $ra
    .globl  aliasJalSite
aliasJalSite:
    jal     7f
    nop
7:  record  $ra
    j       6f
    nop
6:  prime   $ra
    .globl  aliasBackSite
aliasBackSite:
    jal     5f
    nop
5:  record  $ra

    move    $ra, $s7
    finish_records

    record_storage 96
