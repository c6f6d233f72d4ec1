# Counts in s0 for ever, in a loop that is no idle loop (the branch goes
# back to the add, not to itself), so that only a limit ends the run.

    .set noreorder
    .text
    .globl main
main:
    li      $s0, 0
1:  addiu   $s0, $s0, 1
    b       1b
    nop
