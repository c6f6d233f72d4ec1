/* Short sequences that the tests start at a label of their own (setting
   the PC and the registers from the host) and run up to an end label or to
   the idle loop: the traps, SYSCALL, cycle counting, unassigned encodings
   and writes to GPR 0. main itself does nothing. */
    .set noreorder
    .set gp=64

    .text
    .globl main
main:
    jr      $ra
    nop

/* The ORI after each trap or SYSCALL shows that execution went on with
   the next instruction. */
.macro entry name, op, operands:vararg
    .globl \name
\name:
    \op     \operands
    ori     $t9, $zero, 1
    j       _idle
    nop
.endm
    entry trapTge, tge, $a0, $a1
    entry trapTgeu, tgeu, $a0, $a1
    entry trapTlt, tlt, $a0, $a1
    entry trapTltu, tltu, $a0, $a1
    entry trapTeq, teq, $a0, $a1
    entry trapTne, tne, $a0, $a1
    entry syscallEntry, syscall

/* Each sequence runs from NAMEStart to NAMEEnd. */
.macro seq_start name
    .globl \name\()Start, \name\()End
\name\()Start:
.endm
.macro seq_end name
\name\()End:
    nop
.endm

    seq_start cycTaken
    beq     $zero, $zero, cycTakenEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
    seq_end cycTaken

    seq_start cycNotTaken
    bne     $zero, $zero, cycFar
    addiu   $t9, $t9, 1
    seq_end cycNotTaken

    seq_start cycLikelyNotTaken
    bnel    $zero, $zero, cycFar
    addiu   $t9, $t9, 1
    seq_end cycLikelyNotTaken

    seq_start cycLikelyTaken
    beql    $zero, $zero, cycLikelyTakenEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
    seq_end cycLikelyTaken

    seq_start cycJal
    jal     cycJalEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
    seq_end cycJal

/* A branch or jump in the delay slot of a taken branch runs as a no-op:
   one of each kind (REGIMM, JALR, both BC1 conditions, J); run, each would
   link, or leave the sequence. */
    seq_start cycBranchInDelay
    beq     $zero, $zero, 1f
    bgezal  $zero, cycFar
    addiu   $t9, $t9, 0x100
1:  b       2f
    jalr    $t1, $t2
    addiu   $t9, $t9, 0x100
2:  b       3f
    bc1f    cycFar
    addiu   $t9, $t9, 0x100
3:  b       4f
    bc1t    cycFar
    addiu   $t9, $t9, 0x100
4:  b       cycBranchInDelayEnd
    j       cycFar
    addiu   $t9, $t9, 0x100
    seq_end cycBranchInDelay

/* The all-zero word is SLL $0, $0, 0. */
    seq_start cycZeroWords
    .word   0, 0, 0
    seq_end cycZeroWords

/* A not-taken BNE at A: the BGEZAL at A + 4 runs as an ordinary
   instruction, sees pc = A + 8 and so links A + 12. */
    seq_start notTakenDelay
    bne     $zero, $zero, cycFar
    bgezal  $zero, notTakenDelayEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
    seq_end notTakenDelay

/* Encodings without an operation of their own; each would change something
   visible if it did anything (TEQI 0 with $0 = 0 would trap, MTSAB would
   change SA, the empty slots name t0 as their destination). */
    seq_start unassigned
    break   0x123
    sync
    sync.p
    eret
    .word   0xBC000000, 0xCC000000  /* CACHE 0, 0($0); PREF 0, 0($0) */
    /* TGEI $0, 0; TGEIU $0, 0; TLTI $0, 1; TLTIU $0, 1; TEQI $0, 0; TNEI $0, 1 */
    .word   0x04080000, 0x04090000, 0x040A0001, 0x040B0001, 0x040C0000, 0x040E0001
    .word   0x04180003, 0x04190001  /* MTSAB $0, 3; MTSAH $0, 1 */
    /* SPECIAL 5, primary 19 and primary 56 (SC), each naming t0 */
    .word   0x00000005 | (8 << 11), 0x4C000000 | (8 << 16), 0xE0080000
    seq_end unassigned

/* Writes to GPR 0: the next instruction reads it as zero. A load into $0
   from the GS CSR still makes its read. */
    seq_start zeroWrites
    addiu   $zero, $zero, 5
    daddu   $t0, $zero, $zero
    lui     $t1, %hi(pattern)
    lq      $zero, %lo(pattern)($t1)
    sq      $zero, %lo(zeroSink)($t1)
    lw      $zero, %lo(pattern)($t1)
    or      $t2, $zero, $zero
    lui     $t3, 0x1200
    lw      $zero, 0x1000($t3)
    seq_end zeroWrites

cycFar:
    addiu   $t9, $t9, 0x1000
    j       _idle
    nop

    .data
    .balign 16
    .globl pattern, zeroSink
pattern:
    .dword 0xDEADBEEFCAFEF00D, 0x0123456789ABCDEF
zeroSink:
    .dword 0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF
