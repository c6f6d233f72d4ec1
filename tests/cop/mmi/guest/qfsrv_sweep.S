/* QFSRV of the 256-bit rs:rt at every SA from 0 to 127, one quadword per
   SA in `sweep`; the test compares them with the host's own shift. */
    .set noreorder
    .set gp=64

    .text
    .globl main
main:
    la      $t0, operands
    lq      $t1, 16($t0)        /* rt */
    lq      $t0, 0($t0)         /* rs */
    la      $t2, sweep
    move    $t3, $zero
1:  mtsa    $t3
    qfsrv   $t4, $t0, $t1
    sq      $t4, 0($t2)
    addiu   $t2, $t2, 16
    addiu   $t3, $t3, 1
    sltiu   $t5, $t3, 128
    bnez    $t5, 1b
    nop
    jr      $ra
    nop

    .data
    .balign 16
operands:
    .dword 0x0706050403020100, 0x0F0E0D0C0B0A0908
    .dword 0x0123456789ABCDEF, 0xB4A59687F0E1D2C3

    .bss
    .balign 16
    .globl sweep
sweep:
    .space 16 * 128
