# Each case loads VF1 (fs), VF2 (ft), VF3 (the old destination) and the
# accumulator from a 64-byte block of `inputs` (filled by the test), presets
# the MAC flag to 0xFFFF and the status flag to 0xFFF, runs one macro
# instruction, and records VF3, the accumulator, the MAC and the status flag
# in a 48-byte block of `results`.
    .set noreorder
    .set noat
    .set gp=64

    .data
    .globl inputs
    .balign 16
inputs:
    .space 64 * 32

    .bss
    .globl results
    .balign 16
results:
    .space 48 * 32

    .macro case instruction:vararg
    lqc2 $vf1, 0($t0)
    lqc2 $vf2, 16($t0)
    lqc2 $vf3, 32($t0)
    lqc2 $vf4, 48($t0)
    vaddax.xyzw $ACC, $vf4, $vf0x
    ctc2 $t3, $vi17
    ctc2 $t4, $vi16
    \instruction
    cfc2 $t2, $vi17
    sw $t2, 32($t1)
    cfc2 $t2, $vi16
    sw $t2, 36($t1)
    vmaddx.xyzw $vf5, $vf0, $vf0x
    sqc2 $vf3, 0($t1)
    sqc2 $vf5, 16($t1)
    addiu $t0, $t0, 64
    addiu $t1, $t1, 48
    .endm

    .text
    .globl main
main:
    la $t0, inputs
    la $t1, results
    li $t3, 0xFFFF
    li $t4, 0xFFF
    li $t2, 0x40400000         # I = 3.0
    ctc2 $t2, $vi21
    li $t2, 0x3F000000         # Q = 0.5
    ctc2 $t2, $vi22

    case vadd.x $vf3, $vf1, $vf2
    case vmul.xyzw $vf3, $vf1, $vf2
    case vsub.xyzw $vf3, $vf1, $vf2
    case .word 0x4A0208E8      # vadd with an empty dest mask
    case vmaddx.xyzw $vf3, $vf1, $vf2x
    case vsubax.xyzw $ACC, $vf1, $vf2x
    case vaddi.xyzw $vf3, $vf1, $I
    case vmulq.xyzw $vf3, $vf1, $Q
    case vmsubq.xyzw $vf3, $vf1, $Q
    case vmax.xyzw $vf3, $vf1, $vf2
    case vminiy.xyzw $vf3, $vf1, $vf2y
    case vmaxi.xyzw $vf3, $vf1, $I
    case .word 0x4A020AFE      # vopmula with an empty dest mask
    case .word 0x4A0208EE      # vopmsub with an empty dest mask
    case vabs.xy $vf3, $vf1
    case vftoi0.xyzw $vf3, $vf1
    case vftoi4.xyzw $vf3, $vf1
    case vftoi12.xy $vf3, $vf1
    case vitof4.xyzw $vf3, $vf1
    case vitof15.xyz $vf3, $vf1
    case vmaddaw.yz $ACC, $vf1, $vf2w
    case vmsubai.xyzw $ACC, $vf1, $I
    case vmulx.xyzw $vf3, $vf1, $vf3x
    case vcallms 0
    case .word 0x49000002      # bc2f: no branch, no effect

    jr $ra
    li $v0, 25
