# Polls the GS CSR register eleven times, keeping each value, then spins
# with taken branches so that timed vertical blanks follow.

    .set noreorder
    .text
    .globl main
main:
    lui     $t0, 0x1200
    ori     $t0, $t0, 0x1000
    la      $t9, results
    li      $t1, 10
1:  lw      $t2, 0($t0)
    sw      $t2, 0($t9)
    addiu   $t1, $t1, -1
    bnez    $t1, 1b
    addiu   $t9, $t9, 4
eleventhRead:
    lw      $t2, 0($t0)
    sw      $t2, 0($t9)
csrPolled:
2:  addiu   $t3, $t3, 1
    b       2b
    nop

    .bss
results:
    .space  44
