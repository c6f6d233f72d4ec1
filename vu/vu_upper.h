// The VU upper (FMAC) instructions: the four-lane float operations shared
// by COP2 macro mode (always on vu0) and the upper half of micro-instruction
// pairs (on the unit running the program). Every member and operand form is
// its own handler, instantiated from the templates below for each unit; a
// handler decodes the word in unit.code.
#pragma once

#include <array>
#include <cmath>

#include "core/tables.h"
#include "vu/vu_fmac.h"
#include "vu/vu_fmac_vector.h"
#include "vu/vu_state.h"

// The outer product pair: ACC.xyz = fs.yzx * ft.zxy, then
// fd.xyz = ACC.xyz - fs.yzx * ft.zxy. Both ignore the dest mask and leave w
// and the flags alone.
template <VuState& unit, bool subtract>
void vuOuterProduct() {
    const u32 word = unit.code;
    const VuVector s = unit.vf[vuFieldFs(word)];
    const VuVector t = unit.vf[vuFieldFt(word)];
    constexpr unsigned kS[3] = {1, 2, 0};
    constexpr unsigned kT[3] = {2, 0, 1};
    if constexpr (subtract) {
        const VuVector acc = unit.vuAcc;
        VuVector& dest = unit.vf[vuFieldFd(word)];
        for (unsigned lane = 0; lane < 3; ++lane)
            dest.f[lane] = static_cast<float>(static_cast<double>(acc.f[lane]) -
                                              static_cast<double>(s.f[kS[lane]]) * t.f[kT[lane]]);
    } else {
        for (unsigned lane = 0; lane < 3; ++lane) unit.vuAcc.f[lane] = s.f[kS[lane]] * t.f[kT[lane]];
    }
}

// ABS: VF[ft] = |VF[fs]| by clearing the sign bit, so NaNs keep their payload.
template <VuState& unit>
void vuAbs() {
    const u32 word = unit.code;
    const VuVector s = unit.vf[vuFieldFs(word)];
    VuVector& dest = unit.vf[vuFieldFt(word)];
    for (unsigned lane = 0; lane < 4; ++lane)
        if (vuLaneEnabled(word, lane)) dest.u[lane] = s.u[lane] & 0x7FFFFFFFu;
}

// FTOI0/4/12/15: fixed point with that many fraction bits, truncated toward
// zero to 64 bits and kept to the low 32; values that have no 64-bit
// integer (NaN, infinity, 2^63 and beyond) give 0.
template <VuState& unit, unsigned fractionBits>
void vuFloatToFixed() {
    const u32 word = unit.code;
    const VuVector s = unit.vf[vuFieldFs(word)];
    VuVector& dest = unit.vf[vuFieldFt(word)];
    constexpr double kScale = static_cast<double>(1u << fractionBits);
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    for (unsigned lane = 0; lane < 4; ++lane) {
        if (!vuLaneEnabled(word, lane)) continue;
        const double scaled = std::trunc(static_cast<double>(s.f[lane]) * kScale);
        const bool representable = std::isfinite(scaled) && scaled < kLimit && scaled > -kLimit;
        dest.u[lane] = representable ? static_cast<u32>(static_cast<s64>(scaled)) : 0;
    }
}

// ITOF0/4/12/15: the raw lane as a signed fixed-point value with that many
// fraction bits, rounded to single precision.
template <VuState& unit, unsigned fractionBits>
void vuFixedToFloat() {
    const u32 word = unit.code;
    const VuVector s = unit.vf[vuFieldFs(word)];
    VuVector& dest = unit.vf[vuFieldFt(word)];
    constexpr double kScale = 1.0 / static_cast<double>(1u << fractionBits);
    for (unsigned lane = 0; lane < 4; ++lane)
        if (vuLaneEnabled(word, lane))
            dest.f[lane] = static_cast<float>(static_cast<s32>(s.u[lane]) * kScale);
}

// The upper members laid out by function code, as in the SPECIAL1 macro
// table and the micro-mode upper word (0x00..0x2F).
template <VuState& unit>
consteval auto vuUpperFunctionEntries() {
    using enum VuOp;
    using enum VuOperand;
    return std::array{
        OpcodeEntry{0x00, vuFmacVector<unit, add, broadcastX, false>, "ADDx"},
        OpcodeEntry{0x01, vuFmacVector<unit, add, broadcastY, false>, "ADDy"},
        OpcodeEntry{0x02, vuFmacVector<unit, add, broadcastZ, false>, "ADDz"},
        OpcodeEntry{0x03, vuFmacVector<unit, add, broadcastW, false>, "ADDw"},
        OpcodeEntry{0x04, vuFmacVector<unit, sub, broadcastX, false>, "SUBx"},
        OpcodeEntry{0x05, vuFmacVector<unit, sub, broadcastY, false>, "SUBy"},
        OpcodeEntry{0x06, vuFmacVector<unit, sub, broadcastZ, false>, "SUBz"},
        OpcodeEntry{0x07, vuFmacVector<unit, sub, broadcastW, false>, "SUBw"},
        OpcodeEntry{0x08, vuFmacVector<unit, madd, broadcastX, false>, "MADDx"},
        OpcodeEntry{0x09, vuFmacVector<unit, madd, broadcastY, false>, "MADDy"},
        OpcodeEntry{0x0A, vuFmacVector<unit, madd, broadcastZ, false>, "MADDz"},
        OpcodeEntry{0x0B, vuFmacVector<unit, madd, broadcastW, false>, "MADDw"},
        OpcodeEntry{0x0C, vuFmacVector<unit, msub, broadcastX, false>, "MSUBx"},
        OpcodeEntry{0x0D, vuFmacVector<unit, msub, broadcastY, false>, "MSUBy"},
        OpcodeEntry{0x0E, vuFmacVector<unit, msub, broadcastZ, false>, "MSUBz"},
        OpcodeEntry{0x0F, vuFmacVector<unit, msub, broadcastW, false>, "MSUBw"},
        OpcodeEntry{0x10, vuFmacVector<unit, max, broadcastX, false>, "MAXx"},
        OpcodeEntry{0x11, vuFmacVector<unit, max, broadcastY, false>, "MAXy"},
        OpcodeEntry{0x12, vuFmacVector<unit, max, broadcastZ, false>, "MAXz"},
        OpcodeEntry{0x13, vuFmacVector<unit, max, broadcastW, false>, "MAXw"},
        OpcodeEntry{0x14, vuFmacVector<unit, mini, broadcastX, false>, "MINIx"},
        OpcodeEntry{0x15, vuFmacVector<unit, mini, broadcastY, false>, "MINIy"},
        OpcodeEntry{0x16, vuFmacVector<unit, mini, broadcastZ, false>, "MINIz"},
        OpcodeEntry{0x17, vuFmacVector<unit, mini, broadcastW, false>, "MINIw"},
        OpcodeEntry{0x18, vuFmacVector<unit, mul, broadcastX, false>, "MULx"},
        OpcodeEntry{0x19, vuFmacVector<unit, mul, broadcastY, false>, "MULy"},
        OpcodeEntry{0x1A, vuFmacVector<unit, mul, broadcastZ, false>, "MULz"},
        OpcodeEntry{0x1B, vuFmacVector<unit, mul, broadcastW, false>, "MULw"},
        OpcodeEntry{0x1C, vuFmacVector<unit, mul, q, false>, "MULq"},
        OpcodeEntry{0x1D, vuFmacVector<unit, max, i, false>, "MAXi"},
        OpcodeEntry{0x1E, vuFmacVector<unit, mul, i, false>, "MULi"},
        OpcodeEntry{0x1F, vuFmacVector<unit, mini, i, false>, "MINIi"},
        OpcodeEntry{0x20, vuFmacVector<unit, add, q, false>, "ADDq"},
        OpcodeEntry{0x21, vuFmacVector<unit, madd, q, false>, "MADDq"},
        OpcodeEntry{0x22, vuFmacVector<unit, add, i, false>, "ADDi"},
        OpcodeEntry{0x23, vuFmacVector<unit, madd, i, false>, "MADDi"},
        OpcodeEntry{0x24, vuFmacVector<unit, sub, q, false>, "SUBq"},
        OpcodeEntry{0x25, vuFmacVector<unit, msub, q, false>, "MSUBq"},
        OpcodeEntry{0x26, vuFmacVector<unit, sub, i, false>, "SUBi"},
        OpcodeEntry{0x27, vuFmacVector<unit, msub, i, false>, "MSUBi"},
        OpcodeEntry{0x28, vuFmacVector<unit, add, vector, false>, "ADD"},
        OpcodeEntry{0x29, vuFmacVector<unit, madd, vector, false>, "MADD"},
        OpcodeEntry{0x2A, vuFmacVector<unit, mul, vector, false>, "MUL"},
        OpcodeEntry{0x2B, vuFmacVector<unit, max, vector, false>, "MAX"},
        OpcodeEntry{0x2C, vuFmacVector<unit, sub, vector, false>, "SUB"},
        OpcodeEntry{0x2D, vuFmacVector<unit, msub, vector, false>, "MSUB"},
        OpcodeEntry{0x2E, vuOuterProduct<unit, true>, "OPMSUB"},
        OpcodeEntry{0x2F, vuFmacVector<unit, mini, vector, false>, "MINI"},
    };
}

// The accumulator and conversion members. The index is the macro SPECIAL2
// index, (bits 10..6) * 4 + bits 1..0; in micro mode the same member sits in
// sub-table (index & 3) at row (index >> 2).
template <VuState& unit>
consteval auto vuUpperAccumulatorEntries() {
    using enum VuOp;
    using enum VuOperand;
    return std::array{
        OpcodeEntry{0x00, vuFmacVector<unit, add, broadcastX, true>, "ADDAx"},
        OpcodeEntry{0x01, vuFmacVector<unit, add, broadcastY, true>, "ADDAy"},
        OpcodeEntry{0x02, vuFmacVector<unit, add, broadcastZ, true>, "ADDAz"},
        OpcodeEntry{0x03, vuFmacVector<unit, add, broadcastW, true>, "ADDAw"},
        OpcodeEntry{0x04, vuFmacVector<unit, sub, broadcastX, true>, "SUBAx"},
        OpcodeEntry{0x05, vuFmacVector<unit, sub, broadcastY, true>, "SUBAy"},
        OpcodeEntry{0x06, vuFmacVector<unit, sub, broadcastZ, true>, "SUBAz"},
        OpcodeEntry{0x07, vuFmacVector<unit, sub, broadcastW, true>, "SUBAw"},
        OpcodeEntry{0x08, vuFmacVector<unit, madd, broadcastX, true>, "MADDAx"},
        OpcodeEntry{0x09, vuFmacVector<unit, madd, broadcastY, true>, "MADDAy"},
        OpcodeEntry{0x0A, vuFmacVector<unit, madd, broadcastZ, true>, "MADDAz"},
        OpcodeEntry{0x0B, vuFmacVector<unit, madd, broadcastW, true>, "MADDAw"},
        OpcodeEntry{0x0C, vuFmacVector<unit, msub, broadcastX, true>, "MSUBAx"},
        OpcodeEntry{0x0D, vuFmacVector<unit, msub, broadcastY, true>, "MSUBAy"},
        OpcodeEntry{0x0E, vuFmacVector<unit, msub, broadcastZ, true>, "MSUBAz"},
        OpcodeEntry{0x0F, vuFmacVector<unit, msub, broadcastW, true>, "MSUBAw"},
        OpcodeEntry{0x10, vuFixedToFloat<unit, 0>, "ITOF0"},
        OpcodeEntry{0x11, vuFixedToFloat<unit, 4>, "ITOF4"},
        OpcodeEntry{0x12, vuFixedToFloat<unit, 12>, "ITOF12"},
        OpcodeEntry{0x13, vuFixedToFloat<unit, 15>, "ITOF15"},
        OpcodeEntry{0x14, vuFloatToFixed<unit, 0>, "FTOI0"},
        OpcodeEntry{0x15, vuFloatToFixed<unit, 4>, "FTOI4"},
        OpcodeEntry{0x16, vuFloatToFixed<unit, 12>, "FTOI12"},
        OpcodeEntry{0x17, vuFloatToFixed<unit, 15>, "FTOI15"},
        OpcodeEntry{0x18, vuFmacVector<unit, mul, broadcastX, true>, "MULAx"},
        OpcodeEntry{0x19, vuFmacVector<unit, mul, broadcastY, true>, "MULAy"},
        OpcodeEntry{0x1A, vuFmacVector<unit, mul, broadcastZ, true>, "MULAz"},
        OpcodeEntry{0x1B, vuFmacVector<unit, mul, broadcastW, true>, "MULAw"},
        OpcodeEntry{0x1C, vuFmacVector<unit, mul, q, true>, "MULAq"},
        OpcodeEntry{0x1D, vuAbs<unit>, "ABS"},
        OpcodeEntry{0x1E, vuFmacVector<unit, mul, i, true>, "MULAi"},
        OpcodeEntry{0x20, vuFmacVector<unit, add, q, true>, "ADDAq"},
        OpcodeEntry{0x21, vuFmacVector<unit, madd, q, true>, "MADDAq"},
        OpcodeEntry{0x22, vuFmacVector<unit, add, i, true>, "ADDAi"},
        OpcodeEntry{0x23, vuFmacVector<unit, madd, i, true>, "MADDAi"},
        OpcodeEntry{0x24, vuFmacVector<unit, sub, q, true>, "SUBAq"},
        OpcodeEntry{0x25, vuFmacVector<unit, msub, q, true>, "MSUBAq"},
        OpcodeEntry{0x26, vuFmacVector<unit, sub, i, true>, "SUBAi"},
        OpcodeEntry{0x27, vuFmacVector<unit, msub, i, true>, "MSUBAi"},
        OpcodeEntry{0x28, vuFmacVector<unit, add, vector, true>, "ADDA"},
        OpcodeEntry{0x29, vuFmacVector<unit, madd, vector, true>, "MADDA"},
        OpcodeEntry{0x2A, vuFmacVector<unit, mul, vector, true>, "MULA"},
        OpcodeEntry{0x2C, vuFmacVector<unit, sub, vector, true>, "SUBA"},
        OpcodeEntry{0x2D, vuFmacVector<unit, msub, vector, true>, "MSUBA"},
        OpcodeEntry{0x2E, vuOuterProduct<unit, false>, "OPMULA"},
    };
}

// Micro-mode upper word: function codes 0x00..0x2F as above, 0x30..0x3B
// no-ops, 0x3C..0x3F one of four sub-tables by the low two bits, each
// indexed by bits 10..6.
using VuUpperSubTables = std::array<std::array<Handler, 32>, 4>;

template <VuState& unit>
consteval VuUpperSubTables buildVuUpperSubTables() {
    VuUpperSubTables tables{};
    for (auto& table : tables) table.fill(opUnassigned);
    for (const OpcodeEntry& entry : vuUpperAccumulatorEntries<unit>()) tables[entry.index & 3][entry.index >> 2] = entry.handler;
    return tables;
}

// Each unit's upper words by bits 10..0: the function code with, for
// 0x3C..0x3F, the sub-table row.
inline constexpr u32 kVuUpperTableMask = 0x7FF;
using VuUpperTable = std::array<Handler, kVuUpperTableMask + 1>;
extern const VuUpperTable vu0UpperTable;
extern const VuUpperTable vu1UpperTable;

// Runs the upper word in unit.code on its unit through the tables above.
void vu0RunUpper();
void vu1RunUpper();
