// Multiply, divide and HI/LO instructions of the MMI family. HI and LO are
// 128 bits wide: their low doublewords (HI0/LO0) belong to the first
// multiply/divide pipeline, their high doublewords (HI1/LO1) to the second,
// and the parallel forms use both at once.
#include "cop/mmi.h"
#include "cop/mmi_lanes.h"

namespace {

u64 zeroExtend32(u32 value) { return value; }

u64 signedProduct(u32 a, u32 b) {
    return static_cast<u64>(static_cast<s64>(static_cast<s32>(a)) * static_cast<s32>(b));
}
u64 unsignedProduct(u32 a, u32 b) { return static_cast<u64>(a) * b; }

// Pipeline 0 or 1: HI.w[2p]:LO.w[2p], the 64-bit value a multiply-add
// starts from.
u64 pipelineAccumulator(unsigned pipeline) {
    return (static_cast<u64>(ee.hi.w[2 * pipeline]) << 32) | ee.lo.w[2 * pipeline];
}

// The 32-bit halves of a product or sum go to LO and HI of the pipeline,
// each sign-extended, and rd's low doubleword takes LO as well.
void storePipelineResult(unsigned pipeline, u64 value) {
    ee.lo.d[pipeline] = signExtend32(static_cast<u32>(value));
    ee.hi.d[pipeline] = signExtend32(static_cast<u32>(value >> 32));
    rdReg().d[0] = ee.lo.d[pipeline];
}

enum class Accumulate { none, add, subtract };

// The word multiplies work on words 0 and 2 of rs and rt. Lane k's 64-bit
// result (the product, or HI.w[2k]:LO.w[2k] plus or minus it) fills
// rd.dw[k]; its halves go to LO.dw[k] and HI.dw[k], sign- or zero-extended.
template <u64 (*product)(u32, u32), u64 (*extend)(u32), Accumulate mode>
void multiplyWordLanes() {
    const Reg128 a = rsReg();
    const Reg128 b = rtReg();
    Reg128 result;
    for (unsigned k = 0; k < 2; ++k) {
        const u64 p = product(a.w[2 * k], b.w[2 * k]);
        u64 value = p;
        if (mode == Accumulate::add) value = pipelineAccumulator(k) + p;
        if (mode == Accumulate::subtract) value = pipelineAccumulator(k) - p;
        ee.lo.d[k] = extend(static_cast<u32>(value));
        ee.hi.d[k] = extend(static_cast<u32>(value >> 32));
        result.d[k] = value;
    }
    writeWholeRd(result);
}

// Halfword products k = 0..7 go in pairs to LO.w0/w1, HI.w0/w1, LO.w2/w3,
// HI.w2/w3: these are the products held in each word of LO and of HI.
constexpr unsigned kProductInLo[4] = {0, 1, 4, 5};
constexpr unsigned kProductInHi[4] = {2, 3, 6, 7};

// LO.w0, HI.w0, LO.w2, HI.w2: what the halfword multiplies leave in rd.
Reg128 evenWordsOfLoHi() {
    Reg128 value;
    value.w[0] = ee.lo.w[0];
    value.w[1] = ee.hi.w[0];
    value.w[2] = ee.lo.w[2];
    value.w[3] = ee.hi.w[2];
    return value;
}

// Signed halfword products of rs and rt, as 32-bit words (the product of
// two halfwords always fits).
using HalfProducts = std::array<u32, 8>;

HalfProducts halfProducts() {
    const Lanes<s16> a = lanesOf<s16>(rsReg());
    const Lanes<s16> b = lanesOf<s16>(rtReg());
    HalfProducts products;
    for (unsigned k = 0; k < 8; ++k) products[k] = static_cast<u32>(static_cast<s32>(a[k]) * b[k]);
    return products;
}

template <Accumulate mode>
void accumulate(u32& word, u32 product) {
    if (mode == Accumulate::none) word = product;
    if (mode == Accumulate::add) word += product;
    if (mode == Accumulate::subtract) word -= product;
}

template <Accumulate mode>
void multiplyHalfLanes() {
    const HalfProducts products = halfProducts();
    for (unsigned i = 0; i < 4; ++i) {
        accumulate<mode>(ee.lo.w[i], products[kProductInLo[i]]);
        accumulate<mode>(ee.hi.w[i], products[kProductInHi[i]]);
    }
    writeWholeRd(evenWordsOfLoHi());
}

// Adjacent products combined in pairs (odd one plus or minus even one)
// into the even words of LO and HI; the odd words are cleared.
template <Accumulate mode>
void multiplyHalfPairs() {
    const HalfProducts products = halfProducts();
    for (unsigned i = 0; i < 4; i += 2) {
        const unsigned loPair = kProductInLo[i];
        const unsigned hiPair = kProductInHi[i];
        u32 loSum = products[loPair + 1];
        u32 hiSum = products[hiPair + 1];
        accumulate<mode == Accumulate::subtract ? Accumulate::subtract : Accumulate::add>(loSum, products[loPair]);
        accumulate<mode == Accumulate::subtract ? Accumulate::subtract : Accumulate::add>(hiSum, products[hiPair]);
        ee.lo.w[i] = loSum;
        ee.hi.w[i] = hiSum;
        ee.lo.w[i + 1] = 0;
        ee.hi.w[i + 1] = 0;
    }
    writeWholeRd(evenWordsOfLoHi());
}

void storeSignedQuotient(unsigned pipeline, u32 dividend, u32 divisor) {
    const SignedQuotient q = divideSigned(static_cast<s32>(dividend), static_cast<s32>(divisor));
    ee.lo.d[pipeline] = signExtend32(static_cast<u32>(q.quotient));
    ee.hi.d[pipeline] = signExtend32(static_cast<u32>(q.remainder));
}

void storeUnsignedQuotient(unsigned pipeline, u32 dividend, u32 divisor) {
    const UnsignedQuotient q = divideUnsigned(dividend, divisor);
    ee.lo.d[pipeline] = q.quotient;
    ee.hi.d[pipeline] = q.remainder;
}

// PMFHL and PMTHL carry their format in the sa field.
enum PmfhlFormat : unsigned { kLowerWords = 0, kUpperWords = 1, kSaturatedLowerWords = 2, kLowerHalves = 3, kSaturatedHalves = 4 };

s64 hiLoPair(unsigned word) {
    return static_cast<s64>((static_cast<u64>(ee.hi.w[word]) << 32) | ee.lo.w[word]);
}

u16 saturatedHalf(u32 word) { return static_cast<u16>(saturate<s16>(static_cast<s32>(word))); }

}  // namespace

void opMadd() { storePipelineResult(0, pipelineAccumulator(0) + signedProduct(rsReg().w[0], rtReg().w[0])); }
void opMaddu() { storePipelineResult(0, pipelineAccumulator(0) + unsignedProduct(rsReg().w[0], rtReg().w[0])); }
void opMadd1() { storePipelineResult(1, pipelineAccumulator(1) + signedProduct(rsReg().w[0], rtReg().w[0])); }
void opMaddu1() { storePipelineResult(1, pipelineAccumulator(1) + unsignedProduct(rsReg().w[0], rtReg().w[0])); }
void opMult1() { storePipelineResult(1, signedProduct(rsReg().w[0], rtReg().w[0])); }
void opMultu1() { storePipelineResult(1, unsignedProduct(rsReg().w[0], rtReg().w[0])); }

// DIV1 tests the whole low doubleword of rt for zero, and then divides by
// its low word: a divisor whose low word alone is zero gets the
// division-by-zero answer.
void opDiv1() {
    if (rtReg().d[0] == 0) return;
    storeSignedQuotient(1, rsReg().w[0], rtReg().w[0]);
}

void opDivu1() {
    if (rtReg().w[0] == 0) return;
    storeUnsignedQuotient(1, rsReg().w[0], rtReg().w[0]);
}

void opMfhi1() { rdReg().d[0] = ee.hi.d[1]; }
void opMthi1() { ee.hi.d[1] = rsReg().d[0]; }
void opMflo1() { rdReg().d[0] = ee.lo.d[1]; }
void opMtlo1() { ee.lo.d[1] = rsReg().d[0]; }
void opPmfhi() { writeWholeRd(ee.hi); }
void opPmflo() { writeWholeRd(ee.lo); }
void opPmthi() { ee.hi = rsReg(); }
void opPmtlo() { ee.lo = rsReg(); }

void opPmaddw() { multiplyWordLanes<signedProduct, signExtend32, Accumulate::add>(); }
void opPmsubw() { multiplyWordLanes<signedProduct, signExtend32, Accumulate::subtract>(); }
void opPmultw() { multiplyWordLanes<signedProduct, signExtend32, Accumulate::none>(); }
void opPmadduw() { multiplyWordLanes<unsignedProduct, zeroExtend32, Accumulate::add>(); }
void opPmultuw() { multiplyWordLanes<unsignedProduct, zeroExtend32, Accumulate::none>(); }

void opPmaddh() { multiplyHalfLanes<Accumulate::add>(); }
void opPmsubh() { multiplyHalfLanes<Accumulate::subtract>(); }
void opPmulth() { multiplyHalfLanes<Accumulate::none>(); }
void opPhmadh() { multiplyHalfPairs<Accumulate::add>(); }
void opPhmsbh() { multiplyHalfPairs<Accumulate::subtract>(); }

void opPdivw() {
    const Reg128 a = rsReg();
    const Reg128 b = rtReg();
    storeSignedQuotient(0, a.w[0], b.w[0]);
    storeSignedQuotient(1, a.w[2], b.w[2]);
}

void opPdivuw() {
    const Reg128 a = rsReg();
    const Reg128 b = rtReg();
    storeUnsignedQuotient(0, a.w[0], b.w[0]);
    storeUnsignedQuotient(1, a.w[2], b.w[2]);
}

// Four words of rs over one signed halfword; each remainder is a halfword,
// kept sign-extended in its word of HI (so a zero divisor leaves the
// dividend's low halfword there).
void opPdivbw() {
    const Reg128 a = rsReg();
    const s32 divisor = rtReg().sh[0];
    for (unsigned i = 0; i < 4; ++i) {
        const SignedQuotient q = divideSigned(a.sw[i], divisor);
        ee.lo.w[i] = static_cast<u32>(q.quotient);
        ee.hi.w[i] = static_cast<u32>(static_cast<s32>(static_cast<s16>(q.remainder)));
    }
}

void opPmfhl() {
    Reg128 result;
    switch (fieldSa()) {
    case kLowerWords:
        result = evenWordsOfLoHi();
        break;
    case kUpperWords:
        result.w[0] = ee.lo.w[1];
        result.w[1] = ee.hi.w[1];
        result.w[2] = ee.lo.w[3];
        result.w[3] = ee.hi.w[3];
        break;
    case kSaturatedLowerWords:
        result.d[0] = static_cast<u64>(static_cast<s64>(saturate<s32>(hiLoPair(0))));
        result.d[1] = static_cast<u64>(static_cast<s64>(saturate<s32>(hiLoPair(2))));
        break;
    case kLowerHalves:
        for (unsigned k = 0; k < 2; ++k) {
            result.h[4 * k + 0] = ee.lo.h[4 * k + 0];
            result.h[4 * k + 1] = ee.lo.h[4 * k + 2];
            result.h[4 * k + 2] = ee.hi.h[4 * k + 0];
            result.h[4 * k + 3] = ee.hi.h[4 * k + 2];
        }
        break;
    case kSaturatedHalves:
        for (unsigned k = 0; k < 2; ++k) {
            result.h[4 * k + 0] = saturatedHalf(ee.lo.w[2 * k]);
            result.h[4 * k + 1] = saturatedHalf(ee.lo.w[2 * k + 1]);
            result.h[4 * k + 2] = saturatedHalf(ee.hi.w[2 * k]);
            result.h[4 * k + 3] = saturatedHalf(ee.hi.w[2 * k + 1]);
        }
        break;
    default:
        return;
    }
    writeWholeRd(result);
}

// Only the .LW format exists: the words of rs go to the even words of LO
// and HI, and the odd words keep their values.
void opPmthl() {
    if (fieldSa() != kLowerWords) return;
    const Reg128 source = rsReg();
    ee.lo.w[0] = source.w[0];
    ee.hi.w[0] = source.w[1];
    ee.lo.w[2] = source.w[2];
    ee.hi.w[2] = source.w[3];
}
