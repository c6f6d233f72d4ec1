# The COP2 register moves: QMFC2 of VF0 as reset left it, CTC2/CFC2 round
# trips (VI0 included), CFC2 keeping the GPR's upper doubleword, QMTC2 and
# QMFC2 through a VF register.
    .set noreorder
    .set noat
    .set gp=64

    .data
    .globl pattern
    .balign 16
pattern:
    .word 0x11111111, 0x22222222, 0x33333333, 0x44444444

    .bss
    .globl results
    .balign 16
results:
    .space 16 * 6

    .text
    .globl main
main:
    la $t1, results
    qmfc2 $t2, $vf0
    sq $t2, 0($t1)

    li $t3, 0x1234ABCD
    ctc2 $t3, $vi0
    lq $t2, pattern
    cfc2 $t2, $vi0
    sq $t2, 16($t1)

    li $t3, 0x80000001
    ctc2 $t3, $vi31
    lq $t2, pattern
    cfc2 $t2, $vi31
    sq $t2, 32($t1)

    lq $t2, pattern
    qmtc2 $t2, $vf7
    qmfc2 $t4, $vf7
    sq $t4, 48($t1)
    sqc2 $vf7, 64($t1)

    jr $ra
    li $v0, 1
