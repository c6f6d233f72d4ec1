/* Guest side of the self-modifying benchmark: every round stores a new
   ADDIU v0, v0, imm (imm = the round's low 15 bits) over the instruction at
   `patched` and runs it right after, so each round's answer depends on the
   word being fetched from RAM again. */
#include "smc_workload.h"

    .set noreorder

    .text
    .globl main
main:
    move    $v0, $zero
    move    $t0, $zero
    li      $t3, SMC_WORKLOAD_ROUNDS
    la      $t4, patched
    lui     $t2, 0x2442         /* ADDIU v0, v0, 0 */
1:  andi    $t1, $t0, 0x7FFF
    or      $t1, $t1, $t2
    sw      $t1, 0($t4)
patched:
    nop                         /* replaced before it runs */
    addiu   $t0, $t0, 1
    bne     $t0, $t3, 1b
    nop
    jr      $ra
    nop
