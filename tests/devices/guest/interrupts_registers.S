# What a handler sees (kept in `seen`: a0, ra, Status, Cause and EPC) and
# what it leaves behind (kept in `after` by the interrupted code: s0, t0, v1,
# the change of sp, LO and Status). The handler changes all of them.

    .set gp=64
    .set noreorder
    .text
    .globl main
main:
    move    $s7, $ra
    li      $a0, 2
    la      $a1, handler
    jal     AddIntcHandler
    move    $a2, $zero
    jal     _EnableIntc
    li      $a0, 2

    li      $s0, 0x5A5A
    dsll32  $s0, $s0, 0
    ori     $s0, $s0, 0x1234        # a value with a high word
    li      $t0, 77
    li      $v1, 3
    move    $s6, $sp
    mtlo    $zero
    la      $t9, seen
    ei
1:  lw      $t1, 20($t9)                # set by the handler
    beqz    $t1, 1b
interruptedSlot:
    nop                             # the delay slot a delivery returns to
    mfc0    $t2, $12
    di

    la      $t9, after
    sd      $s0, 0($t9)
    sd      $t0, 8($t9)
    sd      $v1, 16($t9)
    dsubu   $t1, $sp, $s6
    sd      $t1, 24($t9)
    mflo    $t1
    sd      $t1, 32($t9)
    sw      $t2, 40($t9)
    move    $ra, $s7
    jr      $ra
    move    $v0, $zero

handler:
    la      $t9, seen
    sw      $a0, 0($t9)
    sw      $ra, 4($t9)
    mfc0    $t1, $12
    sw      $t1, 8($t9)
    mfc0    $t1, $13
    sw      $t1, 12($t9)
    mfc0    $t1, $14
    sw      $t1, 16($t9)
    li      $t1, 1
    sw      $t1, 20($t9)
    li      $s0, -1
    li      $t0, -1
    move    $s6, $zero
    li      $t1, 0x4C4F
    mtlo    $t1
    addiu   $sp, $sp, -64
    li      $v1, 9
    jr      $ra
    move    $v0, $zero

    .bss
    .align  3
seen:
    .space  24
after:
    .space  48
