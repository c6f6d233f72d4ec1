/* COP1 instructions on chosen operands, each result checked against the
   value worked out by hand: arithmetic in double precision rounded once to
   single, no clamping, no traps. Operands come from literal pools through
   LWC1, so they do not depend on the instructions under test; every
   destination first holds UNTOUCHED, so that a division that must not
   write shows it. */
#include "records.h"

#define UNTOUCHED 0x12345678

#define ONE 0x3F800000
#define TWO 0x40000000
#define THREE 0x40400000
#define FOUR 0x40800000
#define PLUS_ZERO 0x00000000
#define MINUS_ZERO 0x80000000
#define PLUS_INF 0x7F800000
#define MINUS_INF 0xFF800000
#define QNAN 0x7FC00000
#define FLT_MAX 0x7F7FFFFF
#define ONE_PLUS_ULP 0x3F800001   /* 1 + 2^-23 */
#define ONE_PLUS_2ULP 0x3F800002  /* 1 + 2^-22, the square of the above rounded */

#define FCR31_RESET 0x01000001
#define FCR31_C 0x00800000   /* the condition bit */
#define FCR31_SET 0x01800001

/* Loads a single's bit pattern from a literal pool. */
.macro lfc freg, bits
    load_literal lwc1, \freg, .word, 4, \bits
.endm

/* An FPR stored as a record of one word; the rest of the slot stays zero. */
.macro keep freg, bits, text, flags=0
    swc1    \freg, 0($s0)
    addiu   $s0, $s0, 16
    expect  ".word \bits, 0, 0, 0", "\text", \flags
.endm

/* f3 := op f1(s), f2(t) */
.macro op3 op, s, t, want, flags=0
    lfc     $f1, \s
    lfc     $f2, \t
    lfc     $f3, UNTOUCHED
    \op     $f3, $f1, $f2
    keep    $f3, \want, "\op \s, \t", \flags
.endm

/* f3 := op f1(s) */
.macro op2 op, s, want, flags=0
    lfc     $f1, \s
    lfc     $f3, UNTOUCHED
    \op     $f3, $f1
    keep    $f3, \want, "\op \s", \flags
.endm

/* SQRT.S f3, f2, written out: the EE reads the operand from ft, where the
   assembler would place it in fs. fs (f1) holds 4.0 so that reading the
   wrong field shows. */
.macro sqrt_t t, want, flags=0
    lfc     $f1, FOUR
    lfc     $f2, \t
    lfc     $f3, UNTOUCHED
    .word   0x46000004 | (2 << 16) | (3 << 6)
    keep    $f3, \want, "sqrt.s \t", \flags
.endm

/* A W-format word with the given function code: f3 := f1 as a word. */
.macro cvt_w func, word, want
    lfc     $f1, \word
    lfc     $f3, UNTOUCHED
    .word   0x46800000 | (1 << 11) | (3 << 6) | \func
    keep    $f3, \want, "W format function \func, \word"
.endm

.macro set_acc value
    lfc     $f1, \value
    lfc     $f2, PLUS_ZERO
    adda.s  $f1, $f2
.endm

/* The accumulator, read back through MADD.S with a zero product. */
.macro keep_acc want, text
    lfc     $f5, PLUS_ZERO
    madd.s  $f3, $f5, $f5
    keep    $f3, \want, "\text"
.endm

/* ACC := op f1(s), f2(t) */
.macro acc2 op, s, t, want
    lfc     $f1, \s
    lfc     $f2, \t
    \op     $f1, $f2
    keep_acc \want, "\op \s, \t"
.endm

.macro set_fcr31 value
    li      $t0, \value
    ctc1    $t0, $31
.endm

/* A compare with C first set to the opposite of the outcome c (0 or 1),
   so that a compare that does not write C shows; FCR31 is recorded. */
.macro cmp op, s, t, c
    lfc     $f1, \s
    lfc     $f2, \t
    set_fcr31 FCR31_SET-\c*FCR31_C
    \op     $f1, $f2
    prime   $t0
    cfc1    $t0, $31
    record  $t0, FCR31_RESET+\c*FCR31_C, "\op \s, \t"
.endm

/* t9 gets bit 0 from the delay slot and bit 1 from the word after it. */
    .equ TAKEN, 1
    .equ NOT_TAKEN, 3
    .equ LIKELY_NOT_TAKEN, 2

.macro bc1 op, fcr31, want
    set_fcr31 \fcr31
    prime   $t9
    daddu   $t9, $zero, $zero
    \op     8f
    ori     $t9, $t9, 1
    ori     $t9, $t9, 2
8:  record  $t9, \want, "\op with FCR31 = \fcr31"
.endm

.macro move_case load, store, reg, value, want, text
    ldc     $t0, \value
    \load   $t0, \reg
    prime   $t1
    \store  $t1, \reg
    record  $t1, \want, "\text"
.endm

    .text
    begin_records

    /* Control registers at reset, read before anything writes them. */
    prime   $t1
    cfc1    $t1, $0
    record  $t1, 0x2E00, "CFC1 FCR0 at reset"
    prime   $t1
    cfc1    $t1, $31
    record  $t1, 0x01000001, "CFC1 FCR31 at reset"

    move_case mtc1, mfc1, $f4, 0x00000001BF800000, 0xBF800000, "MTC1 takes the low word, MFC1 zero-extends"
    move_case ctc1, cfc1, $0, 0xCAFE1234, 0xCAFE1234, "CTC1 writes FCR0, CFC1 zero-extends"
    move_case ctc1, cfc1, $17, 0x89ABCDEF, 0x89ABCDEF, "CTC1 and CFC1 reach every index"

    op3     add.s, 0x3FC00000, 0x40100000, 0x40700000       /* 1.5 + 2.25 */
    op3     add.s, FLT_MAX, FLT_MAX, PLUS_INF               /* no clamping */
    op3     add.s, ONE_PLUS_ULP, 0x33800000, ONE_PLUS_2ULP  /* + 2^-24: a tie, to even */
    op3     add.s, PLUS_INF, MINUS_INF, QNAN, RECORD_ANY_NAN
    op3     add.s, MINUS_ZERO, MINUS_ZERO, MINUS_ZERO
    op3     add.s, 0x00000001, 0x00000001, 0x00000002      /* denormals are kept */
    op3     sub.s, 0x40A00000, 0x3FC00000, 0x40600000       /* 5 - 1.5 */
    op3     mul.s, THREE, 0xBF000000, 0xBFC00000            /* 3 x -0.5 */

    op3     div.s, 0x40E00000, TWO, 0x40600000              /* 7 / 2 */
    op3     div.s, ONE, PLUS_ZERO, UNTOUCHED
    op3     div.s, ONE, MINUS_ZERO, UNTOUCHED
    op3     div.s, ONE, QNAN, QNAN, RECORD_ANY_NAN
    sqrt_t  0x40100000, 0x3FC00000                          /* 2.25 */
    sqrt_t  0xBF800000, QNAN, RECORD_ANY_NAN
    sqrt_t  MINUS_ZERO, MINUS_ZERO
    op3     rsqrt.s, THREE, 0x41100000, ONE                 /* 3 / sqrt 9 */
    op3     rsqrt.s, ONE, MINUS_ZERO, UNTOUCHED
    op3     rsqrt.s, ONE, 0xC0800000, QNAN, RECORD_ANY_NAN

    /* MAX and MIN are ordered: equal operands or a NaN give t's pattern. */
    op3     max.s, ONE, TWO, TWO
    op3     max.s, TWO, ONE, TWO
    op3     max.s, PLUS_ZERO, MINUS_ZERO, MINUS_ZERO
    op3     max.s, 0x7FC01234, ONE, ONE
    op3     max.s, ONE, 0x7F800001, 0x7F800001
    op3     min.s, ONE, TWO, ONE
    op3     min.s, TWO, ONE, ONE
    op3     min.s, MINUS_ZERO, PLUS_ZERO, PLUS_ZERO
    op3     min.s, 0x7FC01234, ONE, ONE

    op2     abs.s, 0xC0400000, THREE
    op2     abs.s, MINUS_ZERO, PLUS_ZERO
    op2     neg.s, THREE, 0xC0400000
    op2     neg.s, PLUS_ZERO, MINUS_ZERO
    op2     mov.s, 0x7F800001, 0x7F800001                   /* a signalling NaN's pattern */

    /* CVT.W.S truncates to a 64-bit integer and keeps its low word. */
    op2     trunc.w.s, 0xBFC00000, 0xFFFFFFFF               /* -1.5 */
    op2     trunc.w.s, 0x4F000000, 0x80000000               /* 2^31 */
    op2     trunc.w.s, 0x4F32D05E, 0xB2D05E00               /* 3.0e9 */
    op2     trunc.w.s, 0xCF32D05E, 0x4D2FA200               /* -3.0e9 */
    op2     trunc.w.s, 0x5F000000, 0                        /* 2^63 */
    op2     trunc.w.s, 0xDF000000, 0                        /* -2^63 */
    op2     trunc.w.s, QNAN, 0
    op2     cvt.s.w, 0x7FFFFFFF, 0x4F000000                 /* rounds to 2^31 */
    op2     cvt.s.w, 0x80000000, 0xCF000000
    cvt_w   0x3F, 0xFFFFFFFD, 0xC0400000                    /* every function code converts */

    acc2    adda.s, 0x3FC00000, 0x40100000, 0x40700000
    acc2    suba.s, 0x40A00000, 0x3FC00000, 0x40600000
    acc2    mula.s, THREE, 0xBF000000, 0xBFC00000
    /* (1 + 2^-23)^2 = 1 + 2^-22 + 2^-46 against the accumulator leaves
       +-2^-46; with the product rounded to single first it would be 0. */
    set_acc 0xBF800002
    op3     madd.s, ONE_PLUS_ULP, ONE_PLUS_ULP, 0x28800000
    set_acc ONE_PLUS_2ULP
    op3     msub.s, ONE_PLUS_ULP, ONE_PLUS_ULP, 0xA8800000
    set_acc 0xBF800002
    acc2    madda.s, ONE_PLUS_ULP, ONE_PLUS_ULP, 0x28800000
    set_acc ONE_PLUS_2ULP
    acc2    msuba.s, ONE_PLUS_ULP, ONE_PLUS_ULP, 0xA8800000

    cmp     c.eq.s, ONE, ONE, 1
    cmp     c.eq.s, ONE, TWO, 0
    cmp     c.eq.s, PLUS_ZERO, MINUS_ZERO, 1
    cmp     c.eq.s, QNAN, QNAN, 0
    cmp     c.lt.s, ONE, TWO, 1
    cmp     c.lt.s, TWO, ONE, 0
    cmp     c.lt.s, ONE, ONE, 0
    cmp     c.lt.s, QNAN, ONE, 0
    cmp     c.le.s, ONE, ONE, 1
    cmp     c.le.s, TWO, ONE, 0
    cmp     c.le.s, ONE, QNAN, 0
    cmp     c.f.s, ONE, ONE, 0

    bc1     bc1f, FCR31_RESET, TAKEN
    bc1     bc1f, FCR31_SET, NOT_TAKEN
    bc1     bc1t, FCR31_SET, TAKEN
    bc1     bc1t, FCR31_RESET, NOT_TAKEN
    bc1     bc1fl, FCR31_RESET, TAKEN
    bc1     bc1fl, FCR31_SET, LIKELY_NOT_TAKEN
    bc1     bc1tl, FCR31_SET, TAKEN
    bc1     bc1tl, FCR31_RESET, LIKELY_NOT_TAKEN

    finish_records

    record_storage 128
