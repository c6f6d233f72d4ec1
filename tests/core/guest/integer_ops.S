/* Immediate, 32-bit and 64-bit register arithmetic, logic, shifts,
   set-on-less-than, conditional moves and the SA moves: each case primes
   its destination, runs one instruction and records the whole register. */
#include "record_macros.h"

/* rd = op(rs = a, rt = b); for the variable shifts rd = op(rt = a) by rs = b */
.macro rr op, a, b, want
    ldc     $t0, \a
    ldc     $t1, \b
    prime   $t2
    \op     $t2, $t0, $t1
    record  $t2, \want, "\op \a, \b"
.endm

/* rt = op(rs = a, immediate); also the fixed shifts rd = op(rt = a, sa) */
.macro ri op, a, imm, want
    ldc     $t0, \a
    prime   $t2
    \op     $t2, $t0, \imm
    record  $t2, \want, "\op \a, \imm"
.endm

    .text
    begin_records
    ri addi,   0x7FFFFFFF, 1, 0xFFFFFFFF80000000
    ri addiu,  0xDEADBEEF00000005, -6, 0xFFFFFFFFFFFFFFFF   /* reads rs.w0 only */
    ri daddi,  0x00000000FFFFFFFF, 1, 0x0000000100000000
    ri daddiu, 0, -1, 0xFFFFFFFFFFFFFFFF
    ri slti,   5, -1, 0                         /* signed, immediate sign-extended */
    ri slti,   0xFFFFFFFF00000000, -1, 1        /* compares bits 32..63 too */
    ri sltiu,  0x0000000080000000, -1, 1        /* the immediate is 2^64-1 */
    ri sltiu,  0xFFFFFFFFFFFFFFFF, -1, 0
    ri andi,   0xFFFFFFFFFFFFFFFF, 0x8001, 0x8001
    ri ori,    0x1234567880000000, 0x1234, 0x1234567880001234
    ri xori,   0xFFFFFFFF0000FFFF, 0x8001, 0xFFFFFFFF00007FFE
    prime   $t2
    lui     $t2, 0x7FFF
    record  $t2, 0x7FFF0000, "lui 0x7FFF"
    prime   $t2
    lui     $t2, 0x8000
    ori     $t2, $t2, 0x1234
    record  $t2, 0xFFFFFFFF80001234, "lui 0x8000 sign-extends, ori keeps w1"

    rr add,  0x7FFFFFFF, 1, 0xFFFFFFFF80000000
    rr addu, 0xFFFF000000000001, 0x0000FFFF00000002, 3
    rr sub,  0x0000000580000000, 1, 0x7FFFFFFF
    rr subu, 0, 1, 0xFFFFFFFFFFFFFFFF
    ri sll,  0x40000000, 1, 0xFFFFFFFF80000000
    ri sll,  0xFFFFFFFF00000001, 31, 0xFFFFFFFF80000000
    ri srl,  0x0000000080000000, 0, 0xFFFFFFFF80000000
    ri srl,  0x80000000, 31, 1
    ri sra,  0x80000000, 4, 0xFFFFFFFFF8000000
    ri sra,  0xFFFFFFFF70000000, 0, 0x70000000
    rr sllv, 0x40000000, 33, 0xFFFFFFFF80000000         /* count = rs AND 31 */
    rr srlv, 0x80000000, 0, 0xFFFFFFFF80000000
    rr srlv, 0x80000000, 36, 0x0000000008000000
    rr srav, 0x80000000, 0xFFFFFFE4, 0xFFFFFFFFF8000000

    rr dadd,  0x7FFFFFFFFFFFFFFF, 1, 0x8000000000000000
    rr daddu, 0xFFFFFFFF, 1, 0x0000000100000000
    rr dsub,  0, 1, 0xFFFFFFFFFFFFFFFF
    rr dsubu, 0x100000000, 1, 0x00000000FFFFFFFF
    rr and,   0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00, 0x0F000F00F000F000
    rr or,    0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00, 0xFFF0FFF0FFF0FFF0
    rr xor,   0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00, 0xF0F0F0F00FF00FF0
    rr nor,   0xFF00FF00F0F0F0F0, 0x0FF00FF0FF00FF00, 0x000F000F000F000F
    rr slt,   0xFFFFFFFFFFFFFFFF, 1, 1
    rr slt,   0x80000000, 1, 0
    rr sltu,  0xFFFFFFFFFFFFFFFF, 1, 0
    rr sltu,  1, 0x100000000, 1
    ri dsll,   0x80000001, 4, 0x0000000800000010
    ri dsrl,   0xFFFFFFFFFFFFFFFF, 4, 0x0FFFFFFFFFFFFFFF
    ri dsra,   0x8000000000000000, 4, 0xF800000000000000
    ri dsll32, 1, 0, 0x0000000100000000
    ri dsrl32, 0x8000000000000000, 31, 1
    ri dsra32, 0x8000000000000000, 0, 0xFFFFFFFF80000000
    rr dsllv,  0x80000001, 0x44, 0x0000000800000010     /* count = rs AND 63 */
    rr dsrlv,  0xFFFFFFFFFFFFFFFF, 63, 1
    rr dsrav,  0x8000000000000000, 0xFFFFFFC4, 0xF800000000000000
    rr movz,  0x123456789ABCDEF0, 0, 0x123456789ABCDEF0
    rr movz,  0x123456789ABCDEF0, 0x100000000, 0xDEADBEEFCAFEF00D
    rr movn,  0x123456789ABCDEF0, 0x100000000, 0x123456789ABCDEF0
    rr movn,  0x123456789ABCDEF0, 0, 0xDEADBEEFCAFEF00D

    ldc     $t0, 0x123456789ABCDEF0
    mtsa    $t0
    prime   $t2
    mfsa    $t2
    record  $t2, 0x123456789ABCDEF0, "mtsa then mfsa"
    finish_records

    record_storage 64
