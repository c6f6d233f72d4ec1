# Sets registers of every kind the state file shows to values the runner
# tests know, fills `results` with a byte pattern for --memory-out, and
# returns 0x2a. `until_here` marks a point after the set-up and before the
# return, for --until.

    .set gp=64
    .set noreorder
    .text
    .globl main
    .globl until_here
main:
    la      $t0, wide_value
    lq      $s0, 0($t0)             # all four words of GPR 16 distinct
    ld      $t1, 16($t0)
    mthi    $t1
    ld      $t2, 24($t0)
    mtlo    $t2
    ld      $t3, 32($t0)
    mtsa    $t3
    lwc1    $f7, 40($t0)
    lqc2    $vf5, 48($t0)

    # results[i] = 3 * i + 1 (mod 256) for i = 0 .. 63
    la      $t4, results
    li      $t5, 0
    li      $t6, 1
1:  addu    $t7, $t4, $t5
    sb      $t6, 0($t7)
    addiu   $t6, $t6, 3
    addiu   $t5, $t5, 1
    slti    $t7, $t5, 64
    bnez    $t7, 1b
    nop

until_here:
    li      $v0, 0x2a
    jr      $ra
    nop

    .data
    .align 4
wide_value:
    .word   0x00112233, 0x44556677, 0x8899aabb, 0xccddeeff  # GPR 16, w[0] first
    .dword  0x0123456789abcdef      # HI0
    .dword  0xfedcba9876543210      # LO0
    .dword  0x0000000500000048      # SA
    .word   0x3fc00000              # FPR 7: 1.5
    .word   0                       # padding to the next quadword
    .word   0x3f800000, 0x40000000, 0x40400000, 0x40800000  # VF5: 1, 2, 3, 4

    .bss
    .align 4
    .globl results
results:
    .space  64
