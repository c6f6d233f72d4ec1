/* COP1 instructions on chosen operands. Single-precision results go to the
   word array `words` through SWC1 (pointer s2); the moves to and from the
   GPRs are checked as 128-bit records (cop_macros.h). Operands come from
   literal pools through LWC1, so they do not depend on the instructions
   under test. Every destination is first loaded with UNTOUCHED, so that a
   division that must not write shows it. fpu_test.cpp lists the results
   in this order. */
#include "cop_macros.h"

#define UNTOUCHED 0x12345678

#define ONE 0x3F800000
#define TWO 0x40000000
#define FOUR 0x40800000
#define PLUS_ZERO 0x00000000
#define MINUS_ZERO 0x80000000
#define PLUS_INF 0x7F800000
#define MINUS_INF 0xFF800000
#define QNAN 0x7FC00000
#define FLT_MAX 0x7F7FFFFF
#define ONE_PLUS_ULP 0x3F800001   /* 1 + 2^-23 */
#define ONE_PLUS_2ULP 0x3F800002  /* 1 + 2^-22, the product above rounded */

/* f3 := op f1(s), f2(t) */
.macro op3 op, s, t
    lfc     $f1, \s
    lfc     $f2, \t
    lfc     $f3, UNTOUCHED
    \op     $f3, $f1, $f2
    keep    $f3
.endm

/* f3 := op f1(s) */
.macro op2 op, s
    lfc     $f1, \s
    lfc     $f3, UNTOUCHED
    \op     $f3, $f1
    keep    $f3
.endm

/* SQRT.S takes its operand from ft. The assembler places it in fs, as
   other MIPS processors read it, so the word is written out: SQRT.S f3, f2.
   fs (f1) holds 4.0 so that reading the wrong field shows. */
.macro sqrt_t t
    lfc     $f1, FOUR
    lfc     $f2, \t
    lfc     $f3, UNTOUCHED
    .word   0x46000004 | (2 << 16) | (3 << 6)
    keep    $f3
.endm

/* A W-format word with the given function code: f3 := f1 as a word. */
.macro cvt_w func, word
    lfc     $f1, \word
    lfc     $f3, UNTOUCHED
    .word   0x46800000 | (1 << 11) | (3 << 6) | \func
    keep    $f3
.endm

/* The accumulator is read back through MADD.S with a zero product. */
.macro keep_acc
    lfc     $f5, PLUS_ZERO
    madd.s  $f3, $f5, $f5
    keep    $f3
.endm

.macro set_acc value
    lfc     $f1, \value
    lfc     $f2, PLUS_ZERO
    adda.s  $f1, $f2
.endm

/* ACC := op f1(s), f2(t) */
.macro acc2 op, s, t
    lfc     $f1, \s
    lfc     $f2, \t
    \op     $f1, $f2
    keep_acc
.endm

.macro set_fcr31 value
    li      $t0, \value
    ctc1    $t0, $31
.endm

/* A compare run with C first clear, then set; FCR31 recorded each time. */
.macro cmp op, s, t
    lfc     $f1, \s
    lfc     $f2, \t
    set_fcr31 0x01000001
    \op     $f1, $f2
    cfc1    $t0, $31
    keep_gpr $t0
    set_fcr31 0x01800001
    \op     $f1, $f2
    cfc1    $t0, $31
    keep_gpr $t0
.endm

/* t9 gets bit 0 from the delay slot and bit 1 from the word after it: a
   taken branch gives 1, a not-taken one 3, a not-taken likely one 2. */
.macro bc1 op, fcr31
    set_fcr31 \fcr31
    move    $t9, $zero
    \op     8f
    ori     $t9, $t9, 1
    ori     $t9, $t9, 2
8:  keep_gpr $t9
.endm

    .text
    begin

    /* Control registers at reset, read before anything writes them. */
    prime   $t1
    cfc1    $t1, $0
    record  $t1
    prime   $t1
    cfc1    $t1, $31
    record  $t1

    /* MTC1 takes the low word, MFC1 zero-extends it. */
    ldc     $t0, 0x00000001BF800000
    mtc1    $t0, $f4
    prime   $t1
    mfc1    $t1, $f4
    record  $t1
    /* CTC1 writes every index, FCR0 included; CFC1 zero-extends. */
    ldc     $t0, 0xCAFE1234
    ctc1    $t0, $0
    prime   $t1
    cfc1    $t1, $0
    record  $t1
    ldc     $t0, 0x89ABCDEF
    ctc1    $t0, $17
    prime   $t1
    cfc1    $t1, $17
    record  $t1

    /* Addition, subtraction, multiplication. */
    op3     add.s, 0x3FC00000, 0x40100000       /* 1.5 + 2.25 */
    op3     add.s, FLT_MAX, FLT_MAX
    op3     add.s, ONE, 0x33800000              /* 1 + 2^-24: tie */
    op3     add.s, ONE_PLUS_ULP, 0x33800000     /* tie, to even upward */
    op3     add.s, PLUS_INF, MINUS_INF
    op3     add.s, MINUS_ZERO, MINUS_ZERO
    op3     add.s, 0x00000001, 0x00000001       /* denormals */
    op3     sub.s, 0x40A00000, 0x3FC00000       /* 5 - 1.5 */
    op3     sub.s, PLUS_ZERO, PLUS_ZERO
    op3     sub.s, 0xFF7FFFFF, FLT_MAX
    op3     mul.s, 0x40400000, 0xBF000000       /* 3 x -0.5 */
    op3     mul.s, 0x71800000, 0x71800000       /* 2^100 squared */
    op3     mul.s, 0x0D800000, 0x2B800000       /* 2^-100 x 2^-40 */
    op3     mul.s, PLUS_ZERO, PLUS_INF

    /* Division and roots. */
    op3     div.s, 0x40E00000, TWO              /* 7 / 2 */
    op3     div.s, ONE, 0x40400000              /* 1 / 3 */
    op3     div.s, ONE, PLUS_ZERO
    op3     div.s, ONE, MINUS_ZERO
    op3     div.s, PLUS_ZERO, PLUS_ZERO
    op3     div.s, ONE, QNAN
    op3     div.s, ONE, 0x00000001              /* 1 / 2^-149 */
    sqrt_t  0x40100000                          /* 2.25 */
    sqrt_t  TWO
    sqrt_t  0xBF800000                          /* -1 */
    sqrt_t  MINUS_ZERO
    sqrt_t  PLUS_INF
    op3     rsqrt.s, ONE, FOUR
    op3     rsqrt.s, 0x40400000, 0x41100000     /* 3 / sqrt 9 */
    op3     rsqrt.s, ONE, PLUS_ZERO
    op3     rsqrt.s, ONE, MINUS_ZERO
    op3     rsqrt.s, ONE, 0xC0800000            /* 1 / sqrt -4 */

    /* MAX and MIN copy the chosen register's pattern. */
    op3     max.s, ONE, TWO
    op3     max.s, TWO, ONE
    op3     max.s, PLUS_ZERO, MINUS_ZERO
    op3     max.s, MINUS_ZERO, PLUS_ZERO
    op3     max.s, 0x7FC01234, ONE
    op3     max.s, ONE, 0x7F800001
    op3     min.s, ONE, TWO
    op3     min.s, TWO, ONE
    op3     min.s, MINUS_ZERO, PLUS_ZERO
    op3     min.s, 0x7FC01234, ONE
    op3     min.s, MINUS_INF, ONE

    /* ABS, NEG, MOV. */
    op2     abs.s, 0xC0400000
    op2     abs.s, MINUS_ZERO
    op2     abs.s, MINUS_INF
    op2     neg.s, 0x40400000
    op2     neg.s, PLUS_ZERO
    op2     neg.s, MINUS_INF
    op2     mov.s, 0x7F800001
    op2     mov.s, 0xDEADBEEF

    /* CVT.W.S through a 64-bit integer. */
    op2     trunc.w.s, 0xBFC00000               /* -1.5 */
    op2     trunc.w.s, 0x3F7FFFFF               /* just below 1 */
    op2     trunc.w.s, 0x4F000000               /* 2^31 */
    op2     trunc.w.s, 0x4F32D05E               /* 3.0e9 */
    op2     trunc.w.s, 0xCF32D05E               /* -3.0e9 */
    op2     trunc.w.s, 0x501502F9               /* 1.0e10 */
    op2     trunc.w.s, 0x53800001               /* 2^40 + 2^17 */
    op2     trunc.w.s, 0xD3800001
    op2     trunc.w.s, 0x5F000000               /* 2^63 */
    op2     trunc.w.s, 0xDF000000               /* -2^63 */
    op2     trunc.w.s, QNAN
    op2     trunc.w.s, PLUS_INF
    op2     trunc.w.s, MINUS_INF
    op2     trunc.w.s, 0x00000001

    /* CVT.S.W, and the W format with other function codes. */
    op2     cvt.s.w, 0x7FFFFFFF
    op2     cvt.s.w, 0x80000000
    op2     cvt.s.w, 0xFFFFFFFF
    op2     cvt.s.w, 0x01000001                 /* 2^24 + 1: tie */
    op2     cvt.s.w, 0x01000003                 /* tie, to even upward */
    cvt_w   0x05, 0xFFFFFFFD
    cvt_w   0x3F, 0x00000064

    /* Accumulator forms. */
    acc2    adda.s, 0x3FC00000, 0x40100000
    acc2    suba.s, 0x40A00000, 0x3FC00000
    acc2    mula.s, 0x40400000, 0xBF000000
    acc2    adda.s, FLT_MAX, FLT_MAX
    set_acc ONE
    op3     madd.s, TWO, 0x40400000             /* 2 x 3 + 1 */
    /* (1 + 2^-23)^2 = 1 + 2^-22 + 2^-46: with the product rounded to
       single first these four would give 0. */
    set_acc 0xBF800002
    op3     madd.s, ONE_PLUS_ULP, ONE_PLUS_ULP
    set_acc ONE_PLUS_2ULP
    op3     msub.s, ONE_PLUS_ULP, ONE_PLUS_ULP
    set_acc 0xBF800002
    lfc     $f1, ONE_PLUS_ULP
    madda.s $f1, $f1
    keep_acc
    set_acc ONE_PLUS_2ULP
    lfc     $f1, ONE_PLUS_ULP
    msuba.s $f1, $f1
    keep_acc

    /* Compares. */
    cmp     c.eq.s, ONE, ONE
    cmp     c.eq.s, ONE, TWO
    cmp     c.eq.s, PLUS_ZERO, MINUS_ZERO
    cmp     c.eq.s, QNAN, QNAN
    cmp     c.lt.s, ONE, TWO
    cmp     c.lt.s, TWO, ONE
    cmp     c.lt.s, ONE, ONE
    cmp     c.lt.s, MINUS_INF, PLUS_INF
    cmp     c.lt.s, QNAN, ONE
    cmp     c.le.s, ONE, ONE
    cmp     c.le.s, TWO, ONE
    cmp     c.le.s, MINUS_ZERO, PLUS_ZERO
    cmp     c.le.s, ONE, QNAN
    cmp     c.f.s, ONE, ONE

    /* BC1 branches on the condition bit, set through CTC1. */
    bc1     bc1f, 0x01000001
    bc1     bc1f, 0x01800001
    bc1     bc1t, 0x01800001
    bc1     bc1t, 0x01000001
    bc1     bc1fl, 0x01000001
    bc1     bc1fl, 0x01800001
    bc1     bc1tl, 0x01800001
    bc1     bc1tl, 0x01000001
    /* C.LE.S with a NaN clears C, so BC1TL skips its delay slot. */
    lfc     $f1, QNAN
    lfc     $f2, ONE
    set_fcr31 0x01800001
    c.le.s  $f1, $f2
    move    $t9, $zero
    bc1tl   8f
    ori     $t9, $t9, 1
    ori     $t9, $t9, 2
8:  keep_gpr $t9

    finish

    storage 8, 256
