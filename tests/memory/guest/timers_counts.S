# Timer registers: each read of a Tn_COUNT sits at its own label, so the
# test can stop there, note the cycle counter and work out the live count.
# The spin first moves the counter well away from zero.

    .set gp=64
    .set noreorder
    .text
    .globl main
main:
    li      $t0, 100000
1:  addiu   $t0, $t0, -1
    bnez    $t0, 1b
    nop

    lui     $t0, 0x1000
    la      $t9, results

    # Timer 0, clock select 1 (32 cycles a step), count written as 0.
    li      $t1, 1
    sw      $t1, 0x0010($t0)
    sw      $zero, 0x0000($t0)
    .globl readTimer0
readTimer0:
    lw      $t2, 0x0000($t0)
    sw      $t2, 0($t9)

    # Timer 1, clock select 3 (a horizontal line, 600 cycles), count 0x1234.
    li      $t1, 3
    sw      $t1, 0x0810($t0)
    li      $t1, 0x1234
    sw      $t1, 0x0800($t0)
    .globl readTimer1
readTimer1:
    lw      $t2, 0x0800($t0)
    sw      $t2, 4($t9)

    # Timer 2, clock select 2 (512 cycles); a HOLD value whose low bits
    # would select 32 cycles must not change the rate.
    li      $t1, 2
    sw      $t1, 0x1010($t0)
    li      $t1, 0x5
    sw      $t1, 0x1030($t0)
    sw      $zero, 0x1000($t0)
    .globl readTimer2
readTimer2:
    lw      $t2, 0x1000($t0)
    sw      $t2, 8($t9)

    # Timer 3, mode never written: one cycle a step. The count is stored
    # near the top so the sum wraps at 16 bits.
    li      $t1, 0xFFF0
    sw      $t1, 0x1800($t0)
    .globl readTimer3
readTimer3:
    lw      $t2, 0x1800($t0)
    sw      $t2, 12($t9)

    # A 64-bit read sees the stored register, never the live count.
    ld      $t2, 0x0000($t0)
    sw      $t2, 16($t9)
    ld      $t2, 0x0800($t0)
    sw      $t2, 20($t9)

    jr      $ra
    move    $v0, $zero

    .bss
    .globl results
results:
    .space  24
