# Makes the kernel calls that the test writes into `calls` before the run.
# For each row v0 is preset to a 128-bit marker; after the call all of v0
# and the word at the row's probe address go to the row of `results`. The
# calls run on a stack of known address, callStack.

    .set gp=64
    .set noreorder

    .data
    .align 4
    .globl marker, callCount, calls, results, callStack
marker:     .dword 0x1111111122222222, 0x3333333344444444
callCount:  .word 0
    .align 4
calls:      .space 64 * 32          # number, a0, a1, probe: a doubleword each
results:    .space 64 * 32          # v0 (128 bits), probe word, padding
            .space 256
callStack:

    .text
    .globl main
    .ent main
main:
    move    $t7, $sp
    la      $sp, callStack
    la      $t0, calls
    la      $t1, results
    la      $t8, marker
    lw      $t2, callCount
next:
    beq     $t2, $zero, done
    addiu   $t2, $t2, -1
    lw      $v1, 0($t0)
    ld      $a0, 8($t0)
    ld      $a1, 16($t0)
    lq      $v0, 0($t8)
    syscall
    sq      $v0, 0($t1)
    lw      $t3, 24($t0)
    lw      $t3, 0($t3)
    sw      $t3, 16($t1)
    addiu   $t0, $t0, 32
    b       next
    addiu   $t1, $t1, 32
done:
    jr      $ra
    move    $sp, $t7
    .end main
