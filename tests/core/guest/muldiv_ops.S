/* MULT, MULTU, DIV, DIVU and the HI/LO moves. Each case records HI0 then
   LO0 (through MFHI and MFLO into primed registers); the three-operand
   multiplies record rd first. */
#include "record_macros.h"

.macro record_hilo hi, lo, text
    prime   $t2
    mfhi    $t2
    record  $t2, \hi, "\text: HI"
    prime   $t3
    mflo    $t3
    record  $t3, \lo, "\text: LO"
.endm

/* HI/LO := op(rs = a, rt = b), with the raw two-operand encodings; with
   `rd` set, the three-operand multiply whose rd also gets LO */
.macro hilo op, a, b, hi, lo, rd=$zero
    ldc     $t0, \a
    ldc     $t1, \b
    prime   $t4
    \op     \rd, $t0, $t1
    .ifnc \rd, $zero
    record  \rd, \lo, "\op rd, \a, \b: rd"
    .endif
    record_hilo \hi, \lo, "\op \a, \b"
.endm

    .text
    begin_records
    hilo    mult, 0xAAAAAAAA7FFFFFFF, 2, 0, 0xFFFFFFFFFFFFFFFE
    hilo    mult, 0xFFFFFFFFFFFFFFFD, 5, 0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFF1
    hilo    mult, 0x40000000, 2, 0, 0xFFFFFFFF80000000, $t4
    /* MULTU still sign-extends each half */
    hilo    multu, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFE, 1
    hilo    multu, 0x10000, 0x8000, 0, 0xFFFFFFFF80000000, $t4
    /* quotient truncated toward zero, remainder with the dividend's sign */
    hilo    div, 0xFFFFFFF9, 2, 0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFD
    hilo    div, 0x80000000, 0xFFFFFFFF, 0, 0xFFFFFFFF80000000
    /* DIVU zero-extends both halves */
    hilo    divu, 0x80000000, 1, 0, 0x0000000080000000
    hilo    divu, 0x80000005, 0x90000000, 0x0000000080000005, 0
    /* Division by zero keeps what MTHI/MTLO put there; the divisor's w0
       alone decides, bits 32..63 do not. */
    ldc     $t0, 0x1111222233334444
    mthi    $t0
    ldc     $t0, 0x5555666677778888
    mtlo    $t0
    hilo    div, 1234, 0xFFFFFFFF00000000, 0x1111222233334444, 0x5555666677778888
    hilo    divu, 1234, 0, 0x1111222233334444, 0x5555666677778888
    finish_records

    record_storage 32
