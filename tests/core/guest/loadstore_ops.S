/* Loads and stores. `bytes` holds 0x80..0x8F then 0x70..0x7F. Loads are
   recorded like the other instruction classes (loadstore_test.cpp lists
   them); stores go to the areas below, which the test reads back. */
#include "record_macros.h"

/* rt (primed, low doubleword = preset) := op at offset(t3) */
.macro load op, offset, preset=0x1122334455667788
    prime   $t2
    ldc     $t2, \preset
    \op     $t2, \offset($t3)
    record  $t2
.endm

    .text
    begin_records
    la      $t3, bytes
    load    lb, 0
    load    lb, 16
    load    lbu, 0
    load    lh, 0
    load    lh, 16
    load    lhu, 0
    load    lw, 0
    load    lw, 16
    load    lwu, 0
    load    ld, 0
    load    ld, 8
    /* the base register's bits 32..63 take no part in the address */
    ldc     $t4, 0x1234567800000000
    addiu   $t5, $t3, 20
    or      $t4, $t4, $t5
    prime   $t2
    lw      $t2, -4($t4)
    record  $t2

    .irp k, 4, 5, 6, 7
    load    lwl, \k
    .endr
    .irp k, 4, 5, 6, 7
    load    lwr, \k
    .endr
    .irp k, 8, 9, 10, 11, 12, 13, 14, 15
    load    ldl, \k
    .endr
    .irp k, 8, 9, 10, 11, 12, 13, 14, 15
    load    ldr, \k
    .endr

    /* the usual unaligned pairs */
    prime   $t2
    ldc     $t2, 0x1122334455667788
    lwr     $t2, 1($t3)
    lwl     $t2, 4($t3)
    record  $t2
    prime   $t2
    ldc     $t2, 0x1122334455667788
    lwl     $t2, 3($t3)
    lwr     $t2, 0($t3)
    record  $t2
    prime   $t2
    ldc     $t2, 0x1122334455667788
    ldr     $t2, 1($t3)
    ldl     $t2, 8($t3)
    record  $t2

    /* LQ at an address ending in 8 reads from there */
    prime   $t2
    lq      $t2, 0($t3)
    record  $t2
    prime   $t2
    lq      $t2, 8($t3)
    record  $t2

    /* stores: word pairs at every alignment, one word per alignment */
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
    la      $t4, sdPairArea
    sdl     $t0, 7($t4)
    sdr     $t0, 0($t4)

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
    .globl swlArea, swrArea, sdlArea, sdrArea, sdPairArea, plainArea, copArea
swlArea:
    .word 0xA3A2A1A0, 0xA3A2A1A0, 0xA3A2A1A0, 0xA3A2A1A0
swrArea:
    .word 0xA3A2A1A0, 0xA3A2A1A0, 0xA3A2A1A0, 0xA3A2A1A0
sdlArea:
    .rept 8
    .dword 0xB7B6B5B4B3B2B1B0
    .endr
sdrArea:
    .rept 8
    .dword 0xB7B6B5B4B3B2B1B0
    .endr
sdPairArea:
    .dword 0xB7B6B5B4B3B2B1B0
    .balign 16
plainArea:
    .fill 64, 1, 0xEE
copArea:
    .fill 32, 1, 0xEE

    record_storage 48
