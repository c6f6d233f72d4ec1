# Reads each Tn_COUNT, set up by the test, at its own label, so the test can
# stop there and note the cycle counter. The spin first moves the counter
# well away from zero.

    .set gp=64
    .set noreorder

    .macro readCount timer
readTimer\timer:
    lw      $t2, 0x800 * \timer($t0)
    sw      $t2, 4 * \timer($t9)
    .endm

    .text
    .globl main
main:
    li      $t0, 100000
1:  addiu   $t0, $t0, -1
    bnez    $t0, 1b
    nop
    lui     $t0, 0x1000
    la      $t9, results
    readCount 0
    readCount 1
    readCount 2
    readCount 3
    # A 64-bit read sees the stored register, never the live count.
    ld      $t2, 0x0000($t0)
    sw      $t2, 16($t9)
    ld      $t2, 0x0800($t0)
    sw      $t2, 20($t9)
    jr      $ra
    move    $v0, $zero

    .bss
results:
    .space  24
