/* MULT, MULTU, DIV, DIVU and the HI/LO moves. Each case records HI0 then
   LO0 (through MFHI and MFLO into primed registers); the three-operand
   multiplies also record rd first. muldiv_test.cpp lists the records. */
#include "record_macros.h"

.macro record_hilo
    prime   $t2
    mfhi    $t2
    record  $t2
    prime   $t3
    mflo    $t3
    record  $t3
.endm

/* HI/LO := op(rs = a, rt = b), with the raw two-operand encodings */
.macro hilo op, a, b
    ldc     $t0, \a
    ldc     $t1, \b
    \op     $zero, $t0, $t1
    record_hilo
.endm

/* rd := LO := op(a, b), the three-operand multiply */
.macro hilo_rd op, a, b
    ldc     $t0, \a
    ldc     $t1, \b
    prime   $t4
    \op     $t4, $t0, $t1
    record  $t4
    record_hilo
.endm

/* HI/LO preset through MTHI/MTLO, so that a division by zero shows
   whether it touched them */
.macro preset_hilo
    ldc     $t0, 0x1111222233334444
    mthi    $t0
    ldc     $t0, 0x5555666677778888
    mtlo    $t0
.endm

    .text
    begin_records
    hilo    mult, 0xAAAAAAAA7FFFFFFF, 2
    hilo    mult, 0xFFFFFFFFFFFFFFFD, 5
    hilo_rd mult, 0x40000000, 2
    hilo    multu, 0xFFFFFFFF, 0xFFFFFFFF
    hilo    multu, 0x80000000, 2
    hilo_rd multu, 0x10000, 0x8000
    hilo    div, 0xFFFFFFF9, 2
    hilo    div, 7, 0xFFFFFFFE
    hilo    div, 0x80000000, 0xFFFFFFFF
    hilo    divu, 0xFFFFFFFF, 2
    hilo    divu, 0x80000000, 1
    hilo    divu, 0x80000005, 0x90000000
    preset_hilo
    hilo    div, 1234, 0xFFFFFFFF00000000
    preset_hilo
    hilo    divu, 1234, 0
    finish_records

    record_storage 32
