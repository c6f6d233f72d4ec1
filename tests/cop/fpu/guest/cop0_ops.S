/* COP0 moves, EI and DI, and the encodings that do nothing. Each case
   records one register (see cop_macros.h); cop0_test.cpp lists the
   records in this order. */
#include "cop_macros.h"

/* A taken branch, so that the delay-slot step makes its interrupt check. */
.macro taken_branch
    beq     $zero, $zero, 7f
    nop
7:
.endm

.macro read_cop0 reg
    prime   $t1
    mfc0    $t1, \reg
    record  $t1
.endm

    .text
    begin

    /* Reset values, before anything writes COP0. */
    read_cop0 $12
    read_cop0 $15

    /* MTC0 keeps the low word; Count does not advance over a loop of
       taken branches; MFC0 zero-extends bit 31. */
    ldc     $t0, 0xFFFFFFFF80000000
    mtc0    $t0, $9
    li      $t2, 100
1:  addiu   $t2, $t2, -1
    bne     $t2, $zero, 1b
    nop
    read_cop0 $9

    /* Storage registers at both ends of the file. */
    ldc     $t0, 0x13572468
    mtc0    $t0, $0
    ldc     $t0, 0xFEDCBA98
    mtc0    $t0, $31
    read_cop0 $0
    read_cop0 $31

    /* EI sets bit 16, and a taken branch with IE and EIE both set leaves
       IE set; DI clears bit 16 and leaves bit 0 alone. */
    ei
    read_cop0 $12
    taken_branch
    read_cop0 $12
    di
    read_cop0 $12

    /* With EIE set but IE clear the delay-slot step must not deliver:
       delivery with nothing pending sets IE again, which would show. */
    ldc     $t0, 0x10910000
    mtc0    $t0, $12
    taken_branch
    read_cop0 $12

    /* ERET, TLBWI and BC0T do nothing: t9 gets bit 0 from the next word
       and bit 1 from the one after, and EPC points at code that would set
       bit 2 if ERET jumped there. */
    la      $t0, eretTarget
    mtc0    $t0, $14
    prime   $t9
    daddu   $t9, $zero, $zero
    eret
    ori     $t9, $t9, 1
    tlbwi
    ori     $t9, $t9, 2
    .word   0x41010002          /* BC0T +2: would skip the next two words */
    ori     $t9, $t9, 8
    ori     $t9, $t9, 16
    b       2f
    nop
    .globl  eretTarget
eretTarget:
    ori     $t9, $t9, 4
2:  record  $t9

    finish

    storage 16, 1
