/* Loads and stores. `bytes` holds 0x80..0x8F then 0x70..0x7F. Loads are
   recorded like the other instruction classes; stores go to `storeArea`,
   which is then recorded 16 bytes at a time. */
#include "record_macros.h"

/* rt (primed, low doubleword 0x8899AABBCCDDEEFF) := op at offset(t3).
   LWL/LWR merge into that w0 and clear w1; LDL/LDR merge into all of it.
   The unaligned loads read the 0x7x bytes, so that every bit kept from rt
   or taken from memory by mistake shows. */
.macro load op, offset, want
    prime   $t2
    ldc     $t2, 0x8899AABBCCDDEEFF
    \op     $t2, \offset($t3)
    record  $t2, \want, "\op \offset"
.endm

/* the 16 bytes at offset(t4), after the stores */
.macro stored offset, low, high, text
    lq      $t2, \offset($t4)
    record  $t2, \low, "\text", \high
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

    load    lwl, 16, 0x70DDEEFF
    load    lwl, 17, 0x7170EEFF
    load    lwl, 18, 0x727170FF
    load    lwl, 19, 0x73727170
    load    lwr, 16, 0x73727170
    load    lwr, 17, 0xCC737271
    load    lwr, 18, 0xCCDD7372
    load    lwr, 19, 0xCCDDEE73
    load    ldl, 24, 0x7899AABBCCDDEEFF
    load    ldl, 25, 0x7978AABBCCDDEEFF
    load    ldl, 26, 0x7A7978BBCCDDEEFF
    load    ldl, 27, 0x7B7A7978CCDDEEFF
    load    ldl, 28, 0x7C7B7A7978DDEEFF
    load    ldl, 29, 0x7D7C7B7A7978EEFF
    load    ldl, 30, 0x7E7D7C7B7A7978FF
    load    ldl, 31, 0x7F7E7D7C7B7A7978
    load    ldr, 24, 0x7F7E7D7C7B7A7978
    load    ldr, 25, 0x887F7E7D7C7B7A79
    load    ldr, 26, 0x88997F7E7D7C7B7A
    load    ldr, 27, 0x8899AA7F7E7D7C7B
    load    ldr, 28, 0x8899AABB7F7E7D7C
    load    ldr, 29, 0x8899AABBCC7F7E7D
    load    ldr, 30, 0x8899AABBCCDD7F7E
    load    ldr, 31, 0x8899AABBCCDDEE7F

    /* LQ writes all 128 bits and does not clear the low four address bits */
    prime   $t2
    lq      $t2, 8($t3)
    record  $t2, 0x8F8E8D8C8B8A8988, "lq 8", 0x7776757473727170

    /* stores at every alignment: k at word (doubleword) k + k, into words
       of 0xA3A2A1A0 and doublewords of 0xB7B6B5B4B3B2B1B0 */
    ldc     $t0, 0x9999999944332211
    la      $t4, storeArea
    .irp k, 0, 1, 2, 3
    swl     $t0, (5 * \k)($t4)
    swr     $t0, (16 + 5 * \k)($t4)
    .endr
    ldc     $t0, 0x8877665544332211
    .irp k, 0, 1, 2, 3, 4, 5, 6, 7
    sdl     $t0, (32 + 9 * \k)($t4)
    sdr     $t0, (96 + 9 * \k)($t4)
    .endr
    /* plain stores into 0xEE bytes: only the bytes each one names change;
       SQ at +24 writes the 16 bytes from there */
    ldc     $t0, 0x1122334455667788
    sb      $t0, 161($t4)
    sh      $t0, 162($t4)
    sw      $t0, 164($t4)
    sd      $t0, 168($t4)
    lq      $t1, 0($s1)
    sq      $t1, 184($t4)
    /* LWC1/SWC1 move 32 bits as they are; LQC2/SQC2 at +8 the 16 bytes
       from there */
    lwc1    $f1, 16($t3)
    swc1    $f1, 208($t4)
    lqc2    $vf1, 8($t3)
    sqc2    $vf1, 216($t4)

    stored  0, 0xA3A24433A3A2A144, 0x44332211A3443322, "swl k = 0..3"
    stored  16, 0x332211A044332211, 0x11A2A1A02211A1A0, "swr k = 0..3"
    stored  32, 0xB7B6B5B4B3B2B188, 0xB7B6B5B4B3B28877, "sdl k = 0, 1"
    stored  48, 0xB7B6B5B4B3887766, 0xB7B6B5B488776655, "sdl k = 2, 3"
    stored  64, 0xB7B6B58877665544, 0xB7B6887766554433, "sdl k = 4, 5"
    stored  80, 0xB788776655443322, 0x8877665544332211, "sdl k = 6, 7"
    stored  96, 0x8877665544332211, 0x77665544332211B0, "sdr k = 0, 1"
    stored  112, 0x665544332211B1B0, 0x5544332211B2B1B0, "sdr k = 2, 3"
    stored  128, 0x44332211B3B2B1B0, 0x332211B4B3B2B1B0, "sdr k = 4, 5"
    stored  144, 0x2211B5B4B3B2B1B0, 0x11B6B5B4B3B2B1B0, "sdr k = 6, 7"
    stored  160, 0x55667788778888EE, 0x1122334455667788, "sb +1, sh +2, sw +4, sd +8"
    stored  176, 0xEEEEEEEEEEEEEEEE, 0xDEADBEEFCAFEF00D, "sq +24"
    stored  192, 0x0123456789ABCDEF, 0xEEEEEEEEEEEEEEEE, "sq +24, upper half"
    stored  208, 0xEEEEEEEE73727170, 0x8F8E8D8C8B8A8988, "swc1, sqc2 +8"
    stored  224, 0x7776757473727170, 0xEEEEEEEEEEEEEEEE, "sqc2 +8, upper half"
    finish_records

    .data
    .balign 16
    .globl bytes
bytes:
    .byte 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87
    .byte 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F
    .byte 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77
    .byte 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F
    .balign 16
storeArea:
    .fill 8, 4, 0xA3A2A1A0
    .rept 16
    .dword 0xB7B6B5B4B3B2B1B0
    .endr
    .fill 96, 1, 0xEE

    record_storage 64
