/* Immediate, 32-bit and 64-bit register arithmetic, logic, shifts,
   set-on-less-than, conditional moves and the SA moves. Each case primes
   its destination, runs one instruction and stores the whole register as
   one record; integer_test.cpp lists the records in this order. */
#include "record_macros.h"

/* rd = op(rs = a, rt = b) */
.macro rr op, a, b
    ldc     $t0, \a
    ldc     $t1, \b
    prime   $t2
    \op     $t2, $t0, $t1
    record  $t2
.endm

/* rt = op(rs = a, immediate), also the fixed shifts rd = op(rt = a, sa) */
.macro ri op, a, imm
    ldc     $t0, \a
    prime   $t2
    \op     $t2, $t0, \imm
    record  $t2
.endm

/* variable shifts: rd = op(rt = a) by rs = count */
.macro rv op, a, count
    ldc     $t0, \a
    ldc     $t1, \count
    prime   $t2
    \op     $t2, $t0, $t1
    record  $t2
.endm

    .text
    begin_records
    ri addi,   0x7FFFFFFF, 1
    ri addiu,  0xDEADBEEF00000005, -6
    ri addiu,  0x1234567800001000, 0x10
    ri daddi,  0x00000000FFFFFFFF, 1
    ri daddiu, 0, -1
    ri daddiu, 0x7FFFFFFFFFFFFFFF, 1
    ri slti,   0xFFFFFFFFFFFFFFFF, 0
    ri slti,   0x0000000080000000, 5
    ri slti,   0xFFFFFFFF00000000, -1
    ri sltiu,  0xFFFFFFFFFFFFFFFE, -1
    ri sltiu,  0xFFFFFFFFFFFFFFFF, -1
    ri sltiu,  0x0000000080000000, -32768
    ri andi,   0xFFFFFFFFFFFFFFFF, 0x8001
    ri ori,    0x1234567880000000, 0x1234
    ri xori,   0xFFFFFFFF0000FFFF, 0x8001
    prime   $t2
    lui     $t2, 0x8000
    record  $t2
    prime   $t2
    lui     $t2, 0x7FFF
    record  $t2
    prime   $t2
    lui     $t2, 0x8000
    ori     $t2, $t2, 0x1234
    record  $t2

    rr add,  0x7FFFFFFF, 1
    rr addu, 0xFFFF000000000001, 0x0000FFFF00000002
    rr sub,  0x0000000580000000, 1
    rr subu, 0, 1
    ri sll,  0x40000000, 1
    ri sll,  0xFFFFFFFF00000001, 31
    ri srl,  0x0000000080000000, 0
    ri srl,  0x80000000, 31
    ri sra,  0x80000000, 4
    ri sra,  0xFFFFFFFF70000000, 0
    rv sllv, 0x40000000, 1
    rv sllv, 0x40000000, 33
    rv srlv, 0x80000000, 0
    rv srlv, 0x80000000, 4
    rv srlv, 0x80000000, 36
    rv srav, 0x80000000, 4
    rv srav, 0x80000000, 0xFFFFFFE4

    rr dadd,  0x7FFFFFFFFFFFFFFF, 1
    rr daddu, 0xFFFFFFFF, 1
    rr dsub,  0, 1
    rr dsubu, 0x100000000, 1
    rr and,   0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00
    rr or,    0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00
    rr xor,   0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00
    rr nor,   0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00
    rr slt,   0xFFFFFFFFFFFFFFFF, 1
    rr slt,   0x80000000, 1
    rr slt,   0x100000000, 0x200000000
    rr sltu,  0xFFFFFFFFFFFFFFFF, 1
    rr sltu,  1, 0x100000000
    ri dsll,   0x80000001, 4
    ri dsrl,   0xFFFFFFFFFFFFFFFF, 4
    ri dsra,   0x8000000000000000, 4
    ri dsll32, 1, 0
    ri dsrl32, 0x8000000000000000, 31
    ri dsra32, 0x8000000000000000, 0
    rv dsllv,  0x80000001, 0x44
    rv dsrlv,  0xFFFFFFFFFFFFFFFF, 63
    rv dsrav,  0x8000000000000000, 0xFFFFFFC4
    rr movz,  0x123456789ABCDEF0, 0
    rr movz,  0x123456789ABCDEF0, 0x100000000
    rr movn,  0x123456789ABCDEF0, 0x100000000
    rr movn,  0x123456789ABCDEF0, 0

    ldc     $t0, 0x123456789ABCDEF0
    mtsa    $t0
    prime   $t2
    mfsa    $t2
    record  $t2
    finish_records

    record_storage 80
