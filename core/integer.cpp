#include "core/integer.h"

#include "cop/cop0.h"
#include "core/ee_state.h"

namespace {

u32 rsWord() { return rsReg().w[0]; }
u32 rtWord() { return rtReg().w[0]; }
u64 rsDouble() { return rsReg().d[0]; }
u64 rtDouble() { return rtReg().d[0]; }

// A condition trap only records the Trap exception code (13) in Cause;
// nothing is vectored and execution goes on.
void trapIf(bool condition) {
    constexpr u32 kExcCodeMask = 0x7C;
    constexpr u32 kExcCodeTrap = 13 << 2;
    if (condition) cop0.r[kCop0Cause] = (cop0.r[kCop0Cause] & ~kExcCodeMask) | kExcCodeTrap;
}

}  // namespace

void opAddiu() { rtReg().d[0] = signExtend32(rsWord() + static_cast<u32>(fieldSimm())); }
void opDaddiu() { rtReg().d[0] = rsDouble() + fieldSimm(); }
void opSlti() { rtReg().d[0] = static_cast<s64>(rsDouble()) < static_cast<s64>(fieldSimm()); }
void opSltiu() { rtReg().d[0] = rsDouble() < fieldSimm(); }
void opAndi() { rtReg().d[0] = rsWord() & fieldImm16(); }
void opOri() { rtReg().d[0] = rsDouble() | fieldImm16(); }
void opXori() { rtReg().d[0] = rsDouble() ^ fieldImm16(); }
void opLui() { rtReg().d[0] = signExtend32(static_cast<u32>(fieldImm16()) << 16); }

// Every 32-bit shift sign-extends its result, as the processor does:
// compiled code relies on it, since it carries between the halves of a
// 64-bit sum with an SLTU that compares all 64 bits.
void opSll() { rdReg().d[0] = signExtend32(rtWord() << fieldSa()); }
void opSrl() { rdReg().d[0] = signExtend32(rtWord() >> fieldSa()); }
void opSra() { rdReg().d[0] = signExtend32(static_cast<u32>(static_cast<s32>(rtWord()) >> fieldSa())); }
void opSllv() { rdReg().d[0] = signExtend32(rtWord() << (rsWord() & 31)); }
void opSrlv() { rdReg().d[0] = signExtend32(rtWord() >> (rsWord() & 31)); }
void opSrav() { rdReg().d[0] = signExtend32(static_cast<u32>(static_cast<s32>(rtWord()) >> (rsWord() & 31))); }

void opDsll() { rdReg().d[0] = rtDouble() << fieldSa(); }
void opDsrl() { rdReg().d[0] = rtDouble() >> fieldSa(); }
void opDsra() { rdReg().d[0] = static_cast<u64>(static_cast<s64>(rtDouble()) >> fieldSa()); }
void opDsll32() { rdReg().d[0] = rtDouble() << (fieldSa() + 32); }
void opDsrl32() { rdReg().d[0] = rtDouble() >> (fieldSa() + 32); }
void opDsra32() { rdReg().d[0] = static_cast<u64>(static_cast<s64>(rtDouble()) >> (fieldSa() + 32)); }
void opDsllv() { rdReg().d[0] = rtDouble() << (rsWord() & 63); }
void opDsrlv() { rdReg().d[0] = rtDouble() >> (rsWord() & 63); }
void opDsrav() { rdReg().d[0] = static_cast<u64>(static_cast<s64>(rtDouble()) >> (rsWord() & 63)); }

void opMovz() {
    if (rtDouble() == 0) rdReg().d[0] = rsDouble();
}
void opMovn() {
    if (rtDouble() != 0) rdReg().d[0] = rsDouble();
}

void opMfhi() { rdReg().d[0] = ee.hi.d[0]; }
void opMthi() { ee.hi.d[0] = rsDouble(); }
void opMflo() { rdReg().d[0] = ee.lo.d[0]; }
void opMtlo() { ee.lo.d[0] = rsDouble(); }
void opMfsa() { rdReg().d[0] = ee.sa; }
void opMtsa() { ee.sa = rsDouble(); }

namespace {
// Both multiplies leave each 32-bit half sign-extended in LO0 and HI0 and
// copy LO0 to rd (the three-operand form; rd = 0 discards it).
void storeProduct(u64 product) {
    ee.lo.d[0] = signExtend32(static_cast<u32>(product));
    ee.hi.d[0] = signExtend32(static_cast<u32>(product >> 32));
    rdReg().d[0] = ee.lo.d[0];
}
}  // namespace

void opMult() {
    storeProduct(static_cast<u64>(static_cast<s64>(static_cast<s32>(rsWord())) * static_cast<s32>(rtWord())));
}
void opMultu() { storeProduct(static_cast<u64>(rsWord()) * rtWord()); }

void opDiv() {
    const s32 dividend = static_cast<s32>(rsWord());
    const s32 divisor = static_cast<s32>(rtWord());
    if (divisor == 0) return;
    if (dividend == INT32_MIN && divisor == -1) {
        // The quotient overflows; the host would trap on it.
        ee.lo.d[0] = signExtend32(0x80000000u);
        ee.hi.d[0] = 0;
        return;
    }
    ee.lo.d[0] = signExtend32(static_cast<u32>(dividend / divisor));
    ee.hi.d[0] = signExtend32(static_cast<u32>(dividend % divisor));
}

void opDivu() {
    const u32 divisor = rtWord();
    if (divisor == 0) return;
    ee.lo.d[0] = rsWord() / divisor;
    ee.hi.d[0] = rsWord() % divisor;
}

void opAddu() { rdReg().d[0] = signExtend32(rsWord() + rtWord()); }
void opSubu() { rdReg().d[0] = signExtend32(rsWord() - rtWord()); }
void opDaddu() { rdReg().d[0] = rsDouble() + rtDouble(); }
void opDsubu() { rdReg().d[0] = rsDouble() - rtDouble(); }
void opAnd() { rdReg().d[0] = rsDouble() & rtDouble(); }
void opOr() { rdReg().d[0] = rsDouble() | rtDouble(); }
void opXor() { rdReg().d[0] = rsDouble() ^ rtDouble(); }
void opNor() { rdReg().d[0] = ~(rsDouble() | rtDouble()); }
void opSlt() { rdReg().d[0] = static_cast<s64>(rsDouble()) < static_cast<s64>(rtDouble()); }
void opSltu() { rdReg().d[0] = rsDouble() < rtDouble(); }

void opTge() { trapIf(static_cast<s64>(rsDouble()) >= static_cast<s64>(rtDouble())); }
void opTgeu() { trapIf(rsDouble() >= rtDouble()); }
void opTlt() { trapIf(static_cast<s64>(rsDouble()) < static_cast<s64>(rtDouble())); }
void opTltu() { trapIf(rsDouble() < rtDouble()); }
void opTeq() { trapIf(rsDouble() == rtDouble()); }
void opTne() { trapIf(rsDouble() != rtDouble()); }
