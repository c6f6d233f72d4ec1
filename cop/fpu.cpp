#include "cop/fpu.h"

#include <cmath>
#include <limits>

#include "core/branch.h"
#include "core/ee_state.h"

FpuState fpu;

// Overflow in the narrowing to single must give infinity, not undefined
// behaviour: that holds for IEEE binary formats.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

namespace {

// Register fields of the COP1 instructions: fs is the rd field, ft the rt
// field and fd the sa field.
FpuRegister& fs() { return fpu.fpr[fieldRd()]; }
FpuRegister& ft() { return fpu.fpr[fieldRt()]; }
FpuRegister& fd() { return fpu.fpr[fieldSa()]; }

// The operands widened to double precision.
double s() { return fs().f; }
double t() { return ft().f; }
double acc() { return fpu.fpuAcc.f; }

// The single rounding to single precision on store.
void setFd(double value) { fd().f = static_cast<float>(value); }
void setAcc(double value) { fpu.fpuAcc.f = static_cast<float>(value); }

void setCondition(bool condition) {
    if (condition) {
        fpu.fcr[31] |= kFcr31Condition;
    } else {
        fpu.fcr[31] &= ~kFcr31Condition;
    }
}

bool condition() { return (fpu.fcr[31] & kFcr31Condition) != 0; }

// Truncation toward zero to a 64-bit integer, of which the word keeps the
// low 32 bits. Values a 64-bit integer cannot hold (NaN, infinities,
// magnitudes of 2^63 and more) give 0; the comparison is false for NaN.
u32 truncateToWord(float value) {
    if (!(std::fabs(value) < 0x1p63f)) return 0;
    return static_cast<u32>(static_cast<s64>(value));
}

}  // namespace

// The moves zero-extend into bits 32..63 and leave bits 64..127 alone.
void opMfc1() { rtReg().d[0] = fs().u; }
void opCfc1() { rtReg().d[0] = fpu.fcr[fieldRd()]; }
void opMtc1() { fs().u = rtReg().w[0]; }
void opCtc1() { fpu.fcr[fieldRd()] = rtReg().w[0]; }

void opBc1f() { branchIf(!condition()); }
void opBc1t() { branchIf(condition()); }
void opBc1fl() { branchLikelyIf(!condition()); }
void opBc1tl() { branchLikelyIf(condition()); }

void opAddS() { setFd(t() + s()); }
void opSubS() { setFd(s() - t()); }
void opMulS() { setFd(t() * s()); }

// A divisor that compares equal to zero, of either sign, leaves fd as it was.
void opDivS() {
    if (t() == 0.0) return;
    setFd(s() / t());
}

void opSqrtS() { setFd(std::sqrt(t())); }

// ABS, NEG and MOV work on the sign bit or the whole pattern; for every
// value other than a signalling NaN that equals the widened computation.
void opAbsS() { fd().f = std::fabs(fs().f); }
void opMovS() { fd().u = fs().u; }
void opNegS() { fd().f = -fs().f; }

void opRsqrtS() {
    const double root = std::sqrt(t());
    if (root == 0.0) return;
    setFd(s() / root);
}

void opAddaS() { setAcc(t() + s()); }
void opSubaS() { setAcc(s() - t()); }
void opMulaS() { setAcc(t() * s()); }

// The accumulator forms add in double precision; the product of two
// singles is exact there, so the only roundings are the sum's and the store's.
void opMaddS() { setFd(t() * s() + acc()); }
void opMsubS() { setFd(acc() - t() * s()); }
void opMaddaS() { setAcc(t() * s() + acc()); }
void opMsubaS() { setAcc(acc() - t() * s()); }

void opCvtWS() { fd().u = truncateToWord(fs().f); }

// Ordered comparisons: equal operands, or a NaN on either side, give t.
void opMaxS() { fd() = s() > t() ? fs() : ft(); }
void opMinS() { fd() = s() < t() ? fs() : ft(); }

// Ordered compares: a NaN operand clears C.
void opCFS() { setCondition(false); }
void opCEqS() { setCondition(s() == t()); }
void opCLtS() { setCondition(s() < t()); }
void opCLeS() { setCondition(s() <= t()); }

void opCvtSW() { setFd(static_cast<s32>(fs().u)); }
