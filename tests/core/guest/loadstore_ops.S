/* Loads and stores. `bytes` holds 0x80..0x8F then 0x70..0x7F. Loads are
   recorded like the other instruction classes; stores go to the areas at
   the end, which the test reads back. */
#include "record_macros.h"

/* rt (primed, low doubleword 0x1122334455667788) := op at offset(t3).
   LWL/LWR merge into that w0 and clear w1; LDL/LDR merge into all of it. */
.macro load op, offset, want
    prime   $t2
    ldc     $t2, 0x1122334455667788
    \op     $t2, \offset($t3)
    record  $t2, \want, "\op \offset"
.endm

    .text
    begin_records
    la      $t3, bytes
    load    lb, 0, 0xFFFFFFFFFFFFFF80
    load    lbu, 0, 0x80
    load    lh, 0, 0xFFFFFFFFFFFF8180
    load    lhu, 0, 0x8180
    load    lw, 0, 0xFFFFFFFF83828180
    load    lwu, 0, 0x0000000083828180
    load    ld, 0, 0x8786858483828180
    /* the base register's bits 32..63 take no part in the address */
    ldc     $t4, 0x1234567800000000
    addiu   $t5, $t3, 20
    or      $t4, $t4, $t5
    prime   $t2
    lw      $t2, -4($t4)
    record  $t2, 0x73727170, "lw -4 from a base with bits 32..63 set"

    load    lwl, 4, 0x84667788
    load    lwl, 5, 0x85847788
    load    lwl, 6, 0x86858488
    load    lwl, 7, 0x87868584
    load    lwr, 4, 0x87868584
    load    lwr, 5, 0x55878685
    load    lwr, 6, 0x55668786
    load    lwr, 7, 0x55667787
    load    ldl, 8, 0x8822334455667788
    load    ldl, 9, 0x8988334455667788
    load    ldl, 10, 0x8A89884455667788
    load    ldl, 11, 0x8B8A898855667788
    load    ldl, 12, 0x8C8B8A8988667788
    load    ldl, 13, 0x8D8C8B8A89887788
    load    ldl, 14, 0x8E8D8C8B8A898888
    load    ldl, 15, 0x8F8E8D8C8B8A8988
    load    ldr, 8, 0x8F8E8D8C8B8A8988
    load    ldr, 9, 0x118F8E8D8C8B8A89
    load    ldr, 10, 0x11228F8E8D8C8B8A
    load    ldr, 11, 0x1122338F8E8D8C8B
    load    ldr, 12, 0x112233448F8E8D8C
    load    ldr, 13, 0x11223344558F8E8D
    load    ldr, 14, 0x1122334455668F8E
    load    ldr, 15, 0x112233445566778F

    /* LQ writes all 128 bits and does not clear the low four address bits */
    prime   $t2
    lq      $t2, 8($t3)
    record  $t2, 0x8F8E8D8C8B8A8988, "lq 8", 0x7776757473727170

    /* word stores at every alignment: k at word k + k */
    ldc     $t0, 0x9999999944332211
    la      $t4, swlArea
    .irp k, 0, 1, 2, 3
    swl     $t0, (5 * \k)($t4)
    .endr
    la      $t4, swrArea
    .irp k, 0, 1, 2, 3
    swr     $t0, (5 * \k)($t4)
    .endr
    ldc     $t0, 0x8877665544332211
    la      $t4, sdlArea
    .irp k, 0, 1, 2, 3, 4, 5, 6, 7
    sdl     $t0, (9 * \k)($t4)
    .endr
    la      $t4, sdrArea
    .irp k, 0, 1, 2, 3, 4, 5, 6, 7
    sdr     $t0, (9 * \k)($t4)
    .endr

    /* plain stores: only the bytes each one names change */
    ldc     $t0, 0x1122334455667788
    la      $t4, plainArea
    sb      $t0, 1($t4)
    sh      $t0, 2($t4)
    sw      $t0, 4($t4)
    sd      $t0, 8($t4)
    lq      $t1, 0($s1)
    sq      $t1, 24($t4)

    /* coprocessor transfers, unaligned for the quadword */
    lwc1    $f1, 16($t3)
    la      $t4, copArea
    swc1    $f1, 0($t4)
    lqc2    $vf1, 8($t3)
    sqc2    $vf1, 8($t4)
    finish_records

    .data
    .balign 16
    .globl bytes
bytes:
    .byte 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87
    .byte 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F
    .byte 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77
    .byte 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F
    .globl swlArea, swrArea, sdlArea, sdrArea, plainArea, copArea
swlArea:
    .fill 4, 4, 0xA3A2A1A0
swrArea:
    .fill 4, 4, 0xA3A2A1A0
sdlArea:
    .rept 8
    .dword 0xB7B6B5B4B3B2B1B0
    .endr
sdrArea:
    .rept 8
    .dword 0xB7B6B5B4B3B2B1B0
    .endr
    .balign 16
plainArea:
    .fill 64, 1, 0xEE
copArea:
    .fill 32, 1, 0xEE

    record_storage 40
