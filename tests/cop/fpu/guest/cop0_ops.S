/* COP0 moves, EI and DI, and the encodings that do nothing. */
#include "records.h"

/* A taken branch, so that the delay-slot step makes its interrupt check. */
.macro taken_branch
    beq     $zero, $zero, 7f
    nop
7:
.endm

.macro read_cop0 reg, want, text
    prime   $t1
    mfc0    $t1, \reg
    record  $t1, \want, "\text"
.endm

    .text
    begin_records

    read_cop0 $12, 0x10900001, "Status at reset: IE set, EIE clear"
    read_cop0 $15, 0x2E20, "PRId at reset"

    /* Count does not advance over a loop of taken branches. */
    ldc     $t0, 0xFFFFFFFF80000000
    mtc0    $t0, $9
    li      $t2, 100
1:  addiu   $t2, $t2, -1
    bne     $t2, $zero, 1b
    nop
    read_cop0 $9, 0x80000000, "Count keeps what MTC0 wrote; MFC0 zero-extends bit 31"

    ldc     $t0, 0x13572468
    mtc0    $t0, $0
    ldc     $t0, 0xFEDCBA98
    mtc0    $t0, $31
    read_cop0 $0, 0x13572468, "register 0 is storage"
    read_cop0 $31, 0xFEDCBA98, "register 31 is storage, zero-extended"

    ei
    read_cop0 $12, 0x10910001, "EI sets EIE"
    taken_branch
    read_cop0 $12, 0x10910001, "delivery after a taken branch leaves IE set"
    di
    read_cop0 $12, 0x10900001, "DI clears EIE and leaves IE"

    /* With EIE set but IE clear the delay-slot step must not deliver:
       delivery with nothing pending sets IE again, which would show. */
    ldc     $t0, 0x10910000
    mtc0    $t0, $12
    taken_branch
    read_cop0 $12, 0x10910000, "EIE without IE: the taken branch does not deliver"

    /* t9 gets bits 0 and 1 from the words after ERET and TLBWI, 8 and 16
       from the two words BC0T would skip, and bit 2 only if ERET jumped to
       EPC. */
    la      $t0, eretTarget
    mtc0    $t0, $14
    prime   $t9
    daddu   $t9, $zero, $zero
    eret
    ori     $t9, $t9, 1
    tlbwi
    ori     $t9, $t9, 2
    .word   0x41010002          /* BC0T +2 */
    ori     $t9, $t9, 8
    ori     $t9, $t9, 16
    b       2f
    nop
eretTarget:
    ori     $t9, $t9, 4
2:  record  $t9, 0x1B, "ERET, TLBWI and BC0T are no-ops"

    finish_records

    record_storage 16
