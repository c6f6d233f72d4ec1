// The four-lane FMAC handlers against the lane-by-lane definition: every
// operation in every operand form, to VF and to ACC, on the same register
// file, with random dest masks and registers (fd may be fs or ft) and
// operands drawn from random bit patterns, values near the +-2^31 flag
// limits, exact cancellations and the special values (zeros, denormals,
// the largest finite values, infinities, NaNs with payloads), and on
// operands at the edges of the vector handlers' quick flag judgement. The
// whole register file afterwards, results and MAC and status flags alike,
// must match bit for bit, on both units: VU1's flags, which wait for their
// judgement, once they are settled.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "vu/vu_fmac.h"
#include "vu/vu_fmac_vector.h"
#include "vu/vu_state.h"

namespace {

using Handler = void (*)();

struct FmacForm {
    VuState* unit;
    VuOp op;
    VuOperand operand;
    bool toAcc;
    Handler lanes;
    Handler vector;
};

// The vector handler and then whatever reads the flags next: VU0 judges
// them at once, VU1 leaves them waiting until they are settled.
template <VuState& unit, VuOp op, VuOperand operand, bool toAcc>
void vectorThenSettle() {
    vuFmacVector<unit, op, operand, toAcc>();
    vuSettleFlags(unit);
}

template <VuState& unit, VuOp op, VuOperand operand>
void addUnitForms(std::vector<FmacForm>& forms) {
    forms.push_back({&unit, op, operand, false, vuFmac<unit, op, operand, false>, vectorThenSettle<unit, op, operand, false>});
    forms.push_back({&unit, op, operand, true, vuFmac<unit, op, operand, true>, vectorThenSettle<unit, op, operand, true>});
}

template <VuOp op, VuOperand operand>
void addForm(std::vector<FmacForm>& forms) {
    addUnitForms<vu0, op, operand>(forms);
    addUnitForms<vu1, op, operand>(forms);
}

template <VuOp op>
void addOperandForms(std::vector<FmacForm>& forms) {
    using enum VuOperand;
    addForm<op, vector>(forms);
    addForm<op, broadcastX>(forms);
    addForm<op, broadcastY>(forms);
    addForm<op, broadcastZ>(forms);
    addForm<op, broadcastW>(forms);
    addForm<op, i>(forms);
    addForm<op, q>(forms);
}

std::vector<FmacForm> allForms() {
    using enum VuOp;
    std::vector<FmacForm> forms;
    addOperandForms<add>(forms);
    addOperandForms<sub>(forms);
    addOperandForms<mul>(forms);
    addOperandForms<madd>(forms);
    addOperandForms<msub>(forms);
    addOperandForms<max>(forms);
    addOperandForms<mini>(forms);
    return forms;
}

constexpr u32 kSpecialValues[] = {
    0x00000000, 0x80000000,                          // +0, -0
    0x00000001, 0x807FFFFF, 0x00800000,              // denormals, the smallest normal
    0x3F800000, 0xBF800000, 0x3F800001,              // 1, -1, 1 + ulp
    0x7F7FFFFF, 0xFF7FFFFF,                          // the largest finite values
    0x7F800000, 0xFF800000,                          // infinities
    0x7FC00000, 0xFFC00001, 0x7F800001, 0x7FA5A5A5,  // quiet and signalling NaNs with payloads
    0x4F000000, 0xCF000000, 0x4EFFFFFF, 0x4F000001,  // 2^31 and its neighbours
    0xCEFFFFFF, 0xCF000001, 0x47800000, 0x1E3CE508,  // 65536, a tiny value
};

class Operands {
public:
    explicit Operands(u32 seed) : random_(seed) {}

    u32 next() {
        switch (random_() % 5) {
        case 0: return kSpecialValues[random_() % std::size(kSpecialValues)];
        case 1: return static_cast<u32>(random_());
        case 2: return nearFlagLimits();
        case 3: return recent_[random_() % std::size(recent_)];  // cancels or equals an earlier operand
        default: return std::bit_cast<u32>(static_cast<float>(static_cast<s32>(random_() % 2001) - 1000));
        }
    }

    u32 remember(u32 value) {
        recent_[random_() % std::size(recent_)] = (random_() & 1) ? value : value ^ 0x80000000;
        return value;
    }

    u32 bits() { return static_cast<u32>(random_()); }

private:
    // Magnitudes from 2^10 to 2^40, where sums and products cross +-2^31.
    u32 nearFlagLimits() {
        const u32 exponent = 127 + 10 + random_() % 31;
        return (random_() & 0x80000000) | exponent << 23 | (random_() & 0x7FFFFF);
    }

    std::mt19937 random_;
    u32 recent_[8] = {};
};

// Fresh operands in the registers the word names, the accumulator, I and Q,
// and random flags; the other registers keep what earlier cases left.
void fillOperands(VuState& unit, Operands& operands) {
    const u32 word = unit.code;
    for (unsigned reg : {vuFieldFs(word), vuFieldFt(word), vuFieldFd(word)})
        for (u32& lane : unit.vf[reg].u) lane = operands.remember(operands.next());
    for (u32& lane : unit.vuAcc.u) lane = operands.remember(operands.next());
    unit.vi[kViI] = operands.next();
    unit.vi[kViQ] = operands.next();
    unit.vi[kViMac] = operands.bits();
    unit.vi[kViStatus] = operands.bits() & 0xFFF;
}

// An upper word with random dest mask and registers; fd and ft are often
// fs, so that a destination is also an operand.
u32 randomWord(Operands& operands) {
    const u32 bits = operands.bits();
    const u32 fs = bits & 31;
    const u32 ft = (bits >> 8) & 1 ? fs : (bits >> 10) & 31;
    const u32 fd = (bits >> 9) & 1 ? fs : (bits >> 15) & 31;
    return ((bits >> 20) & 0xF) << 21 | ft << 16 | fs << 11 | fd << 6;
}

std::string formName(const FmacForm& form) {
    return std::string(form.unit == &vu0 ? "VU0" : "VU1") + " op " + std::to_string(static_cast<int>(form.op)) + " operand " +
           std::to_string(static_cast<int>(form.operand)) + (form.toAcc ? " to ACC" : " to VF");
}

struct RegisterFile {
    VuVector vf[32];
    VuVector acc;
    u32 vi[32];
};

RegisterFile registersOf(const VuState& unit) {
    RegisterFile file;
    std::memcpy(file.vf, unit.vf, sizeof file.vf);
    file.acc = unit.vuAcc;
    std::memcpy(file.vi, unit.vi, sizeof file.vi);
    return file;
}

bool isNaN(u32 bits) { return (bits & 0x7FFFFFFF) > 0x7F800000; }
bool isInfinity(u32 bits) { return (bits & 0x7FFFFFFF) == 0x7F800000; }
bool isZero(u32 bits) { return (bits & 0x7FFFFFFF) == 0; }

// Where two NaNs meet in one lane (two NaN operands, or a NaN accumulator
// and an infinity times zero), which payload the result carries depends on
// the order in which the host instruction takes its operands, which the
// compiler chooses for the lane-by-lane code. Nothing defines it, so there
// both results need only be NaNs.
bool twoNaNsMeet(const FmacForm& form, const VuState& before, unsigned lane) {
    const u32 word = before.code;
    const u32 s = before.vf[vuFieldFs(word)].u[lane];
    u32 t = before.vf[vuFieldFt(word)].u[lane];
    if (form.operand == VuOperand::i) t = before.vi[kViI];
    else if (form.operand == VuOperand::q) t = before.vi[kViQ];
    else if (form.operand != VuOperand::vector)
        t = before.vf[vuFieldFt(word)].u[static_cast<unsigned>(form.operand) - static_cast<unsigned>(VuOperand::broadcastX)];
    int sources = isNaN(s) + isNaN(t);
    if (form.op == VuOp::madd || form.op == VuOp::msub) {
        const bool invalidProduct = (isInfinity(s) && isZero(t)) || (isZero(s) && isInfinity(t));
        sources += isNaN(before.vuAcc.u[lane]) + invalidProduct;
    }
    return sources >= 2;
}

std::string hex(u32 value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

::testing::AssertionResult sameLane(const char* what, u32 byLanes, u32 byVector, bool nanChoiceOpen) {
    if (byLanes == byVector || (nanChoiceOpen && isNaN(byLanes) && isNaN(byVector))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": " << hex(byLanes) << " by lanes, " << hex(byVector)
                                         << " by vector";
}

::testing::AssertionResult sameRegisters(const FmacForm& form, const VuState& before, const RegisterFile& lanes,
                                         const RegisterFile& vector) {
    if (std::memcmp(&lanes, &vector, sizeof lanes) == 0) return ::testing::AssertionSuccess();
    const u32 word = before.code;
    for (unsigned lane = 0; lane < 4; ++lane) {
        const bool nanChoiceOpen = twoNaNsMeet(form, before, lane);
        for (unsigned reg = 0; reg < 32; ++reg) {
            const bool written = !form.toAcc && reg == vuFieldFd(word);
            const std::string what = "VF" + std::to_string(reg) + " lane " + std::to_string(lane);
            auto result = sameLane(what.c_str(), lanes.vf[reg].u[lane], vector.vf[reg].u[lane], written && nanChoiceOpen);
            if (!result) return result;
        }
        const std::string what = "ACC lane " + std::to_string(lane);
        auto result = sameLane(what.c_str(), lanes.acc.u[lane], vector.acc.u[lane], form.toAcc && nanChoiceOpen);
        if (!result) return result;
    }
    for (unsigned reg = 0; reg < 32; ++reg) {
        const std::string what = "VI" + std::to_string(reg) + " (16 status, 17 MAC)";
        auto result = sameLane(what.c_str(), lanes.vi[reg], vector.vi[reg], false);
        if (!result) return result;
    }
    return ::testing::AssertionSuccess();
}

// Runs the form on its unit as it stands by lanes and by vector, from the
// same registers, and compares what each left.
::testing::AssertionResult vectorMatchesLanes(const FmacForm& form) {
    VuState& unit = *form.unit;
    const VuState before = unit;
    form.lanes();
    const RegisterFile byLanes = registersOf(unit);
    unit = before;
    form.vector();
    return sameRegisters(form, before, byLanes, registersOf(unit));
}

TEST(VuFmacVector, MatchesTheLaneByLaneDefinition) {
    constexpr int kCasesPerForm = 2000;
    Operands operands(20261207);
    for (const FmacForm& form : allForms()) {
        VuState& unit = *form.unit;
        for (int n = 0; n < kCasesPerForm; ++n) {
            unit.code = randomWord(operands);
            fillOperands(unit, operands);
            const VuState before = unit;
            ASSERT_TRUE(vectorMatchesLanes(form))
                << formName(form) << ", word " << hex(before.code) << ", case " << n;
        }
    }
}

// Operands whose sums, differences, products and accumulations land on each
// edge of the flags' quick judgement, and one step either side of it:
// results that round to +-2^31 from above (O or U set) and from below (not
// set), results just inside and at 2^31, sums and products that are exactly
// zero, products too small for a single that round to zero but are not
// zero, and infinities and NaNs.
constexpr u32 kFlagEdgeValues[] = {
    0x00000000, 0x80000000,              // +0, -0
    0x3F800000, 0xBF800000, 0x3F7FFFFF,  // 1, -1, 1 - 2^-24
    0x4F000000, 0xCF000000,              // +-2^31
    0x4EFFFFFF, 0xCEFFFFFF, 0x4F000001,  // the singles beside 2^31
    0x43000000, 0x42FE0000,              // 128 (half an ulp at 2^31), 127
    0x47800000, 0x47000000,              // 2^16 and 2^15, whose product is 2^31
    0x0D800000, 0x8D800000,              // +-2^-100, whose products underflow
    0x1A000000, 0x00000001,              // 2^-75 (squared, half the smallest denormal), the smallest denormal
    0x7F800000, 0x7FC00000,              // infinity, a NaN
};

TEST(VuFmacVector, MatchesTheDefinitionAtEveryEdgeOfTheQuickFlagJudgement) {
    constexpr u32 kCount = std::size(kFlagEdgeValues);
    constexpr u32 kCombinations = kCount * kCount * kCount;
    const auto edgeLane = [](u32 combination, u32 which) {
        for (u32 skip = 0; skip < which; ++skip) combination /= kCount;
        return kFlagEdgeValues[combination % kCount];
    };
    Operands operands(20261208);
    for (const FmacForm& form : allForms()) {
        if (form.operand != VuOperand::vector) continue;
        VuState& unit = *form.unit;
        for (u32 combination = 0; combination < kCombinations; ++combination) {
            // fs, ft and ACC of lane x take this combination; the other
            // lanes take others, so that edges meet in every lane.
            for (unsigned lane = 0; lane < 4; ++lane) {
                const u32 laneCombination = (combination + lane * 2654435761u) % kCombinations;
                unit.vf[1].u[lane] = edgeLane(laneCombination, 0);
                unit.vf[2].u[lane] = edgeLane(laneCombination, 1);
                unit.vuAcc.u[lane] = edgeLane(laneCombination, 2);
            }
            // All lanes enabled for half of the cases, a random dest mask
            // for the others.
            const u32 destField = (combination & 1) ? 0xF : (operands.bits() & 0xF);
            unit.code = destField << 21 | 2 << 16 | 1 << 11 | 3 << 6;
            unit.vi[kViMac] = operands.bits();
            unit.vi[kViStatus] = operands.bits() & 0xFFF;
            const VuState before = unit;
            ASSERT_TRUE(vectorMatchesLanes(form))
                << formName(form) << ", word " << hex(before.code) << ", fs.x " << hex(before.vf[1].u[0]) << ", ft.x "
                << hex(before.vf[2].u[0]) << ", ACC.x " << hex(before.vuAcc.u[0]);
        }
    }
}

}  // namespace
