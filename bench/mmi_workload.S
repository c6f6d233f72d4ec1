/* Guest side of the multimedia benchmark: a loop of parallel word and
   halfword arithmetic, saturation, shifts, a rotation and a halfword
   multiply over three 128-bit values, folded into one word in v0.
   mmi_workload_host.c does the same steps on the host. */
#include "mmi_workload.h"

    .set noreorder
    .set gp=64

    .text
    .globl main
main:
    la      $t0, seeds
    lq      $t1, 0($t0)         /* a */
    lq      $t2, 16($t0)        /* b */
    lq      $t3, 32($t0)        /* c */
    li      $t9, MMI_WORKLOAD_ROUNDS
1:  paddw   $t1, $t1, $t2       /* a += b, per word */
    prot3w  $t4, $t1
    pxor    $t2, $t2, $t4       /* b ^= a with words 0..2 rotated */
    psllw   $t5, $t2, 3
    psrlw   $t6, $t2, 29
    por     $t2, $t5, $t6       /* b = each word of b rotated left by 3 */
    paddsh  $t3, $t3, $t1       /* c = c + a, saturated halfwords */
    pmaxh   $t3, $t3, $t2       /* c = max(c, b) */
    pmulth  $t7, $t3, $t2       /* even halfword products of c and b */
    paddw   $t1, $t1, $t7       /* a += them */
    addiu   $t9, $t9, -1
    bnez    $t9, 1b
    nop

    pmflo   $t4                 /* LO of the last PMULTH */
    pxor    $t1, $t1, $t2
    pxor    $t1, $t1, $t3
    pxor    $t1, $t1, $t4
    pcpyud  $t5, $t1, $t1
    pxor    $t1, $t1, $t5       /* w0 ^ w2 and w1 ^ w3 */
    dsrl32  $t5, $t1, 0
    xor     $v0, $t1, $t5
    jr      $ra
    nop

    .data
    .balign 16
seeds:
    .word 0x12345678, 0x9ABCDEF0, 0x0F1E2D3C, 0x4B5A6978
    .word 0x01020304, 0xA0B0C0D0, 0x55AA55AA, 0xDEADBEEF
    .word 0x7FFF8000, 0x00010002, 0xFFFE1234, 0x4321ABCD
