# Start-up code of every guest program. The loader fills .bss from the file
# like any other allocated section, so it is cleared here, as the console's
# own start-up code does. main's result is left in v0 and the program ends
# in an idle loop, where the headless runner stops.

    .set noreorder
    .section .text.start, "ax"
    .globl _start
    .ent _start
_start:
    la      $t0, __bss_start
    la      $t1, __bss_end
1:  beq     $t0, $t1, 2f
    nop
    sw      $zero, 0($t0)
    b       1b
    addiu   $t0, $t0, 4
2:  jal     main
    nop
    .globl _idle
_idle:
    b       _idle
    nop
    .end _start
