/* Shared by the multimedia test programs. Operands are 128-bit literals
   given as words w0..w3 and loaded with LQ, so that they do not depend on
   the instructions under test. $t0 is rs, $t1 rt and $t2 rd; $s0 walks the
   `results` array in 16-byte records; $s1 points at `pattern`, the value a
   destination is primed with, so a record also shows the lanes an
   instruction must leave alone. */

    .set noreorder
    .set gp=64

.macro ldq reg, w0, w1, w2, w3
    .pushsection .rodata
    .balign 16
9:  .word \w0, \w1, \w2, \w3
    .popsection
    .set push
    .set noat
    lui     $at, %hi(9b)
    lq      \reg, %lo(9b)($at)
    .set pop
.endm

.macro prime reg
    lq      \reg, 0($s1)
.endm

.macro record reg
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
.endm

/* rd = op(rs, rt) */
.macro binary op, a0, a1, a2, a3, b0, b1, b2, b3
    ldq     $t0, \a0, \a1, \a2, \a3
    ldq     $t1, \b0, \b1, \b2, \b3
    prime   $t2
    \op     $t2, $t0, $t1
    record  $t2
.endm

/* rd = op(rt) */
.macro unary op, b0, b1, b2, b3
    ldq     $t1, \b0, \b1, \b2, \b3
    prime   $t2
    \op     $t2, $t1
    record  $t2
.endm

/* rd = op(rs) */
.macro from_rs op, a0, a1, a2, a3
    ldq     $t0, \a0, \a1, \a2, \a3
    prime   $t2
    \op     $t2, $t0
    record  $t2
.endm

/* op(rs), no destination register */
.macro from_rs_only op, a0, a1, a2, a3
    ldq     $t0, \a0, \a1, \a2, \a3
    \op     $t0
.endm

/* rd = op() */
.macro to_rd op
    prime   $t2
    \op     $t2
    record  $t2
.endm

/* rd = rt shifted by the sa field */
.macro shift op, count, b0, b1, b2, b3
    ldq     $t1, \b0, \b1, \b2, \b3
    prime   $t2
    \op     $t2, $t1, \count
    record  $t2
.endm

/* rd = rt shifted by the counts in rs */
.macro varshift op, a0, a1, a2, a3, b0, b1, b2, b3
    ldq     $t0, \a0, \a1, \a2, \a3
    ldq     $t1, \b0, \b1, \b2, \b3
    prime   $t2
    \op     $t2, $t1, $t0
    record  $t2
.endm

.macro divide op, a0, a1, a2, a3, b0, b1, b2, b3
    ldq     $t0, \a0, \a1, \a2, \a3
    ldq     $t1, \b0, \b1, \b2, \b3
    \op     $t0, $t1
.endm

.macro divide_pipeline1 op, a0, a1, a2, a3, b0, b1, b2, b3
    ldq     $t0, \a0, \a1, \a2, \a3
    ldq     $t1, \b0, \b1, \b2, \b3
    \op     $zero, $t0, $t1
.endm

.macro madd_to_zero a0, a1, a2, a3, b0, b1, b2, b3
    ldq     $t0, \a0, \a1, \a2, \a3
    ldq     $t1, \b0, \b1, \b2, \b3
    madd    $zero, $t0, $t1
.endm

.macro set_hilo h0, h1, h2, h3, l0, l1, l2, l3
    ldq     $t0, \h0, \h1, \h2, \h3
    pmthi   $t0
    ldq     $t0, \l0, \l1, \l2, \l3
    pmtlo   $t0
.endm

/* HI, then LO, all 128 bits of each */
.macro record_hilo
    prime   $t3
    pmfhi   $t3
    record  $t3
    prime   $t3
    pmflo   $t3
    record  $t3
.endm

/* PMFHL $t2 with format 5, which has no operation */
.macro pmfhl_format5
    prime   $t2
    .word   0x70000030 | (10 << 11) | (5 << 6)
    record  $t2
.endm

/* PMTHL $t0 with format 1, which has no operation */
.macro pmthl_format1 a0, a1, a2, a3
    ldq     $t0, \a0, \a1, \a2, \a3
    .word   0x70000031 | (8 << 21) | (1 << 6)
.endm
