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

/* Each trap compares a0 with a1; the ORI after it shows that execution
   went on with the next instruction. */
.macro trap_entry name, op
    .globl \name
\name:
    \op     $a0, $a1
    ori     $t9, $zero, 1
    j       _idle
    nop
.endm
    trap_entry trapTge, tge
    trap_entry trapTgeu, tgeu
    trap_entry trapTlt, tlt
    trap_entry trapTltu, tltu
    trap_entry trapTeq, teq
    trap_entry trapTne, tne

    .globl syscallEntry
syscallEntry:
    syscall
    ori     $t9, $zero, 1
    j       _idle
    nop

/* Cycle counting: each sequence runs from its Start label to its End. */
    .globl cycTakenStart, cycTakenEnd
cycTakenStart:
    beq     $zero, $zero, cycTakenEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
cycTakenEnd:
    nop

    .globl cycNotTakenStart, cycNotTakenEnd
cycNotTakenStart:
    bne     $zero, $zero, cycFar
    addiu   $t9, $t9, 1
cycNotTakenEnd:
    nop

    .globl cycLikelyNotTakenStart, cycLikelyNotTakenEnd
cycLikelyNotTakenStart:
    bnel    $zero, $zero, cycFar
    addiu   $t9, $t9, 1
cycLikelyNotTakenEnd:
    nop

    .globl cycLikelyTakenStart, cycLikelyTakenEnd
cycLikelyTakenStart:
    beql    $zero, $zero, cycLikelyTakenEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
cycLikelyTakenEnd:
    nop

    .globl cycJalStart, cycJalEnd
cycJalStart:
    jal     cycJalEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
cycJalEnd:
    nop

/* A branch or jump in the delay slot of a taken branch runs as a no-op. */
    .globl cycBranchInDelayStart, cycBranchInDelayEnd
cycBranchInDelayStart:
    beq     $zero, $zero, 1f
    bgezal  $zero, cycFar
    addiu   $t9, $t9, 0x100
1:  b       cycBranchInDelayEnd
    j       cycFar
    addiu   $t9, $t9, 0x100
cycBranchInDelayEnd:
    nop

/* The all-zero word is SLL $0, $0, 0. */
    .globl cycZeroWordsStart, cycZeroWordsEnd
cycZeroWordsStart:
    .word   0, 0, 0
cycZeroWordsEnd:
    nop

/* A not-taken BNE at A: the BGEZAL at A + 4 runs as an ordinary
   instruction, sees pc = A + 8 and so links A + 12. */
    .globl notTakenDelayStart, notTakenDelayEnd
notTakenDelayStart:
    bne     $zero, $zero, cycFar
    bgezal  $zero, notTakenDelayEnd
    addiu   $t9, $t9, 1
    addiu   $t9, $t9, 0x100
notTakenDelayEnd:
    nop

/* A taken branch with offset -1 targets itself: the runner's idle stop. */
    .globl selfLoop
selfLoop:
    beq     $zero, $zero, selfLoop
    nop

/* Encodings without an operation of their own; operands are chosen so that
   each would change something visible if it did anything (TEQI 0 with
   $0 = 0 would trap, MTSAB would change SA). */
    .globl unassignedStart, unassignedEnd
unassignedStart:
    break   0x123
    sync
    sync.p
    .word   0xBC000000          /* CACHE 0, 0($0) */
    .word   0xCC000000          /* PREF 0, 0($0) */
    eret
    .word   0x04080000          /* TGEI $0, 0 */
    .word   0x04090000          /* TGEIU $0, 0 */
    .word   0x040A0001          /* TLTI $0, 1 */
    .word   0x040B0001          /* TLTIU $0, 1 */
    .word   0x040C0000          /* TEQI $0, 0 */
    .word   0x040E0001          /* TNEI $0, 1 */
    .word   0x04180003          /* MTSAB $0, 3 */
    .word   0x04190001          /* MTSAH $0, 1 */
    .word   0x00000005 | (8 << 11)   /* SPECIAL 5 with rd = t0 */
    .word   0x4C000000 | (8 << 16)   /* primary 19 with rt = t0 */
    .word   0xE0080000          /* primary 56 (SC) into t0 */
unassignedEnd:
    nop

/* Writes to GPR 0: the next instruction reads it as zero. A load into $0
   from the GS CSR still makes its read. */
    .globl zeroWritesStart, zeroWritesEnd
zeroWritesStart:
    addiu   $zero, $zero, 5
    daddu   $t0, $zero, $zero
    lui     $t1, %hi(pattern)
    lq      $zero, %lo(pattern)($t1)
    sq      $zero, %lo(zeroSink)($t1)
    lw      $zero, %lo(pattern)($t1)
    or      $t2, $zero, $zero
    lui     $t3, 0x1200
    lw      $zero, 0x1000($t3)
zeroWritesEnd:
    nop

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
