# Timer registers: each read of a Tn_COUNT sits at its own label, so the
# test can stop there, note the cycle counter and work out the live count.
# The spin first moves the counter well away from zero.

    .set gp=64
    .set noreorder

    .macro store offset, value
    li      $t1, \value
    sw      $t1, \offset($t0)
    .endm

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

    store   0x0010, 1               # clock select 1: 32 cycles a step
    store   0x0000, 0
    readCount 0
    store   0x0810, 3               # clock select 3: a horizontal line
    store   0x0800, 0x1234
    readCount 1
    store   0x1010, 2               # clock select 2: 512 cycles
    store   0x1030, 5               # HOLD's low bits must not change the rate
    store   0x1000, 0
    readCount 2
    store   0x1800, 0xFFF0          # mode never written; the sum wraps
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
