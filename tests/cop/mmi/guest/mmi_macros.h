/* The multimedia test programs' own macros, on the shared records.h.
   Operands and expected values are 128-bit literals (.octa, lane 0 in the
   low bits), loaded with LQ so that they do not depend on the instructions
   under test. $t0 is rs, $t1 rt and $t2 rd. */
#include "records.h"

.macro ldq reg, value
    load_literal lq, \reg, .octa, 16, \value
.endm

/* `.align 0` keeps the entry at 24 bytes: it stops the assembler from
   aligning the .octa to 16. */
.macro record_octa reg, want, text
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
    expect  ".align 0; .octa \want", "\text"
.endm

/* rd = op(rs = a, rt = b) */
.macro binary op, a, b, want
    ldq     $t0, \a
    ldq     $t1, \b
    prime   $t2
    \op     $t2, $t0, $t1
    record_octa $t2, \want, "\op \a, \b"
.endm

/* rd = op(rt = b) */
.macro unary op, b, want
    ldq     $t1, \b
    prime   $t2
    \op     $t2, $t1
    record_octa $t2, \want, "\op \b"
.endm

/* rd = op(rs = a) */
.macro from_rs op, a, want
    ldq     $t0, \a
    prime   $t2
    \op     $t2, $t0
    record_octa $t2, \want, "\op \a"
.endm

/* op(rs = a), no destination register */
.macro to_hilo op, a
    ldq     $t0, \a
    \op     $t0
.endm

/* rd = op() */
.macro to_rd op, want
    prime   $t2
    \op     $t2
    record_octa $t2, \want, "\op"
.endm

/* rd = rt shifted by the sa field */
.macro shift op, count, b, want
    ldq     $t1, \b
    prime   $t2
    \op     $t2, $t1, \count
    record_octa $t2, \want, "\op \count"
.endm

/* rd = rt shifted by the counts in rs = a */
.macro varshift op, a, b, want
    ldq     $t0, \a
    ldq     $t1, \b
    prime   $t2
    \op     $t2, $t1, $t0
    record_octa $t2, \want, "\op \a"
.endm

/* HI/LO := op(rs = a, rt = b); the pipeline-1 forms take rd = 0 */
.macro divide op, a, b
    ldq     $t0, \a
    ldq     $t1, \b
    \op     $t0, $t1
.endm

.macro divide1 op, a, b
    ldq     $t0, \a
    ldq     $t1, \b
    \op     $zero, $t0, $t1
.endm

.macro set_hilo hi, lo
    ldq     $t0, \hi
    pmthi   $t0
    ldq     $t0, \lo
    pmtlo   $t0
.endm

/* HI, then LO, all 128 bits of each */
.macro record_hilo hi, lo, text
    prime   $t3
    pmfhi   $t3
    record_octa $t3, \hi, "\text: HI"
    prime   $t3
    pmflo   $t3
    record_octa $t3, \lo, "\text: LO"
.endm
