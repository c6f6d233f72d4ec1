# The lower family through COP2 macro mode. The test sets the VI and VF
# inputs and VU0 data memory before the run and reads the registers after
# it; Q after each divide-unit instruction is kept in `results`.
    .set noreorder
    .set noat
    .set gp=64

    .bss
    .globl results
    .balign 16
results:
    .space 16

    .text
    .globl main
main:
    la $t1, results
    viadd $vi1, $vi2, $vi3
    visub $vi5, $vi4, $vi3
    viaddi $vi6, $vi7, -1
    viand $vi8, $vi2, $vi9
    vior $vi10, $vi3, $vi9
    vlqi.xyzw $vf1, ($vi11++)
    .word 0x4A01637C           # vlqi with an empty dest mask, (vi12++)
    vsqi.xz $vf2, ($vi13++)
    .word 0x4AAE7BFE           # vilwr.yw $vi14, ($vi15)
    viswr.x $vi3, ($vi15)
    vmove.xz $vf3, $vf4
    vmr32.xyzw $vf5, $vf4

    vdiv $Q, $vf6x, $vf7y
    cfc2 $t2, $vi22
    sw $t2, 0($t1)
    vdiv $Q, $vf6y, $vf7x
    cfc2 $t2, $vi22
    sw $t2, 4($t1)
    vsqrt $Q, $vf7w
    cfc2 $t2, $vi22
    sw $t2, 8($t1)
    vrsqrt $Q, $vf6z, $vf7z
    cfc2 $t2, $vi22
    sw $t2, 12($t1)

    vrinit $R, $vf6z
    vrget.xyzw $vf8, $R
    vrnext.xy $vf9, $R
    vwaitq                     # a no-op

    jr $ra
    li $v0, 1
