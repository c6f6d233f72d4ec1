// The VU lower instructions: integer operations on the VI slots, loads and
// stores to VU data memory, the divide (Q) and elementary-function (P)
// units, register moves, the random register and FMAND. The same handlers
// serve COP2 macro mode (on vu0) and the lower word of micro-instruction
// pairs; each decodes the word in unit.code. Branches and XGKICK run with
// VU1 micro-programs and are not here.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "core/tables.h"
#include "memory/bus.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"
#include "vu/vu_upper.h"

// The random sequence shared by both units. It starts at 1 when the program
// starts and is never reseeded, not even by a machine reset.
inline constexpr u32 kVuRandomSeed = 1;
extern u32 vuRandomState;

// Hardware address of the VIF1 TOP register that XTOP reads.
inline constexpr u32 kVif1TopAddress = kHwStart + kVif1Registers + kVif1Top;

// Data memory in quadwords: VU0 has 4 KB, VU1 16 KB. Every access wraps.
template <VuState& unit>
constexpr u32 vuDataQuadwordMask() {
    if constexpr (kVuUnitOf<unit> == VuUnit::vu1) return 0x3FFF >> 4;
    else return 0x0FFF >> 4;
}

template <VuState& unit>
u8* vuDataQuadword(u32 quadwordAddress) {
    return unit.dataMem + 16 * (quadwordAddress & vuDataQuadwordMask<unit>());
}

// Bit 4 of the it, is and id fields. The fields are five bits wide, so
// beyond VI0..VI15 they name the control registers too, among them the
// status and MAC flags.
inline constexpr u32 kVuItNamesControl = 1u << 20;
inline constexpr u32 kVuIsNamesControl = 1u << 15;
inline constexpr u32 kVuIdNamesControl = 1u << 10;

// The status and MAC flags may still wait for the last FMAC's judgement
// (see VuPendingFlags): a lower instruction whose fields (the bits above)
// name a control register settles them before it reads or writes a slot.
// It does so by handing itself to vuSettleFlagsThenRun, so that its common
// path, naming VI0..VI15 only, has no call in it and needs no stack frame.
template <VuState& unit>
[[gnu::always_inline]] inline bool vuFlagsWaitForFields(u32 fieldBits) {
    if constexpr (kVuFlagsWait<unit>) return (unit.code & fieldBits) != 0 && unit.pendingFlags.judge != nullptr;
    else return false;
}

template <VuState& unit, void (*handler)()>
[[gnu::noinline, gnu::cold]] void vuSettleFlagsThenRun() {
    vuSettleFlags(unit);
    handler();
}

// Fields of the lower word beyond those shared with the upper word.
inline u32 vuViOperand(const VuState& unit, unsigned index) { return unit.vi[index] & 0xFFFF; }
inline unsigned vuFieldFsf(u32 word) { return (word >> 21) & 3; }
inline unsigned vuFieldFtf(u32 word) { return (word >> 23) & 3; }
inline u32 vuImm5(u32 word) { return static_cast<u32>(static_cast<s32>(word << 21) >> 27); }
inline u32 vuImm11Unsigned(u32 word) { return word & 0x7FF; }
inline u32 vuImm11Signed(u32 word) { return static_cast<u32>(static_cast<s32>(word << 21) >> 21); }
inline u32 vuImm15(u32 word) { return (((word >> 21) & 0xF) << 11) | (word & 0x7FF); }

enum class VuIntegerOp { add, sub, bitAnd, bitOr };

// IADD, ISUB, IAND, IOR id, is, it: 16-bit operands, 32-bit result.
template <VuState& unit, VuIntegerOp op>
void vuIntegerOp() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl | kVuIsNamesControl | kVuIdNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuIntegerOp<unit, op>>();
    const u32 word = unit.code;
    const u32 s = vuViOperand(unit, vuFieldFs(word));
    const u32 t = vuViOperand(unit, vuFieldFt(word));
    u32 result;
    if constexpr (op == VuIntegerOp::add) result = s + t;
    else if constexpr (op == VuIntegerOp::sub) result = s - t;
    else if constexpr (op == VuIntegerOp::bitAnd) result = s & t;
    else result = s | t;
    unit.vi[vuFieldFd(word)] = result;
}

// IADDI it, is, imm5: VI[is] read as signed.
template <VuState& unit>
void vuIntegerAddImmediate5() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl | kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuIntegerAddImmediate5<unit>>();
    const u32 word = unit.code;
    const s32 s = static_cast<s16>(vuViOperand(unit, vuFieldFs(word)));
    unit.vi[vuFieldFt(word)] = static_cast<u32>(s) + vuImm5(word);
}

// IADDIU and ISUBIU it, is, imm15.
template <VuState& unit, bool subtract>
void vuIntegerImmediate15() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl | kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuIntegerImmediate15<unit, subtract>>();
    const u32 word = unit.code;
    const u32 s = vuViOperand(unit, vuFieldFs(word));
    unit.vi[vuFieldFt(word)] = subtract ? s - vuImm15(word) : s + vuImm15(word);
}

// FMAND it, is: the whole slot of is against the 16-bit MAC flag, settled
// first.
template <VuState& unit>
void vuFlagMacAnd() {
    vuSettleFlags(unit);
    const u32 word = unit.code;
    unit.vi[vuFieldFt(word)] = unit.vi[vuFieldFs(word)] & (unit.vi[kViMac] & 0xFFFF);
}

// The enabled 32-bit lanes of a quadword copied from source to dest, the
// others left as they are; bit patterns pass unchanged.
inline void vuCopyEnabledLanes(u32 word, u8* dest, const u8* source) {
#if defined(__SSE2__)
    const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    if ((word & kVuAllLanes) == kVuAllLanes) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), from);
        return;
    }
    const __m128i enabled = _mm_castps_si128(vuDestLanes(word));
    const __m128i kept = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest),
                     _mm_or_si128(_mm_and_si128(enabled, from), _mm_andnot_si128(enabled, kept)));
#else
    for (unsigned lane = 0; lane < 4; ++lane)
        if (vuLaneEnabled(word, lane)) std::memcpy(dest + 4 * lane, source + 4 * lane, 4);
#endif
}

template <VuState& unit>
void vuLoadQuadword(unsigned ft, u32 address) {
    vuCopyEnabledLanes(unit.code, reinterpret_cast<u8*>(unit.vf[ft].u), vuDataQuadword<unit>(address));
}

template <VuState& unit>
void vuStoreQuadword(unsigned fs, u32 address) {
    vuCopyEnabledLanes(unit.code, vuDataQuadword<unit>(address), reinterpret_cast<const u8*>(unit.vf[fs].u));
}

// LQ ft, imm11(is): the offset is signed.
template <VuState& unit>
void vuLq() {
    if (vuFlagsWaitForFields<unit>(kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuLq<unit>>();
    const u32 word = unit.code;
    vuLoadQuadword<unit>(vuFieldFt(word), vuViOperand(unit, vuFieldFs(word)) + vuImm11Signed(word));
}

// SQ fs, imm11(it): the whole slot plus the offset taken as unsigned.
template <VuState& unit>
void vuSq() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuSq<unit>>();
    const u32 word = unit.code;
    vuStoreQuadword<unit>(vuFieldFs(word), unit.vi[vuFieldFt(word)] + vuImm11Unsigned(word));
}

// LQI ft, (is++): the increment happens even with an empty dest mask.
template <VuState& unit>
void vuLqi() {
    if (vuFlagsWaitForFields<unit>(kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuLqi<unit>>();
    const u32 word = unit.code;
    const unsigned is = vuFieldFs(word);
    vuLoadQuadword<unit>(vuFieldFt(word), vuViOperand(unit, is));
    unit.vi[is] += 1;
}

// SQI fs, (it++).
template <VuState& unit>
void vuSqi() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuSqi<unit>>();
    const u32 word = unit.code;
    const unsigned it = vuFieldFt(word);
    vuStoreQuadword<unit>(vuFieldFs(word), unit.vi[it]);
    unit.vi[it] += 1;
}

// ILW and ILWR it, (is): the low half of each enabled word in turn goes to
// the low half of slot[it], so the last enabled lane wins.
template <VuState& unit, bool withOffset>
void vuIntegerLoad() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl | kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuIntegerLoad<unit, withOffset>>();
    const u32 word = unit.code;
    const u32 address = vuViOperand(unit, vuFieldFs(word)) + (withOffset ? vuImm11Unsigned(word) : 0);
    const u8* source = vuDataQuadword<unit>(address);
    u32& slot = unit.vi[vuFieldFt(word)];
    for (unsigned lane = 0; lane < 4; ++lane) {
        if (!vuLaneEnabled(word, lane)) continue;
        u32 loaded;
        std::memcpy(&loaded, source + 4 * lane, 4);
        slot = (slot & 0xFFFF0000u) | (loaded & 0xFFFF);
    }
}

// ISW and ISWR it, (is): the low half of each enabled word = VI[it].
template <VuState& unit, bool withOffset>
void vuIntegerStore() {
    if (vuFlagsWaitForFields<unit>(kVuItNamesControl | kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<unit, vuIntegerStore<unit, withOffset>>();
    const u32 word = unit.code;
    const u32 address = vuViOperand(unit, vuFieldFs(word)) + (withOffset ? vuImm11Unsigned(word) : 0);
    u8* dest = vuDataQuadword<unit>(address);
    const u32 value = vuViOperand(unit, vuFieldFt(word));
    for (unsigned lane = 0; lane < 4; ++lane) {
        if (!vuLaneEnabled(word, lane)) continue;
        u32 stored;
        std::memcpy(&stored, dest + 4 * lane, 4);
        stored = (stored & 0xFFFF0000u) | value;
        std::memcpy(dest + 4 * lane, &stored, 4);
    }
}

inline void vuStoreFloat(u32& slot, double value) { slot = std::bit_cast<u32>(static_cast<float>(value)); }

enum class VuDivideOp { div, sqrt, rsqrt };

// DIV, SQRT and RSQRT to Q: no flags and no zero check, so a zero divisor
// gives infinity or NaN. SQRT and RSQRT take the root of the magnitude.
template <VuState& unit, VuDivideOp op>
void vuDivide() {
    const u32 word = unit.code;
    const double t = unit.vf[vuFieldFt(word)].f[vuFieldFtf(word)];
    const double s = unit.vf[vuFieldFs(word)].f[vuFieldFsf(word)];
    double result;
    if constexpr (op == VuDivideOp::div) result = s / t;
    else if constexpr (op == VuDivideOp::sqrt) result = std::sqrt(std::fabs(t));
    else result = s / std::sqrt(std::fabs(t));
    vuStoreFloat(unit.vi[kViQ], result);
}

enum class VuElementaryOp { sumSquares, reciprocalSumSquares, sqrt, reciprocalSqrt };

// ESADD, ERSADD, ESQRT, ERSQRT to P. ESQRT of a negative value gives NaN.
template <VuState& unit, VuElementaryOp op>
void vuElementary() {
    const u32 word = unit.code;
    const VuVector& s = unit.vf[vuFieldFs(word)];
    const double lane = s.f[vuFieldFsf(word)];
    const double sumSquares = static_cast<double>(s.f[0]) * s.f[0] + static_cast<double>(s.f[1]) * s.f[1] +
                              static_cast<double>(s.f[2]) * s.f[2];
    double result;
    if constexpr (op == VuElementaryOp::sumSquares) result = sumSquares;
    else if constexpr (op == VuElementaryOp::reciprocalSumSquares) result = 1.0 / sumSquares;
    else if constexpr (op == VuElementaryOp::sqrt) result = std::sqrt(lane);
    else result = 1.0 / std::sqrt(lane);
    vuStoreFloat(unit.vi[kViP], result);
}

// Writes a raw 32-bit value into each enabled lane of VF[ft].
template <VuState& unit>
void vuBroadcastRaw(u32 value) {
    const u32 word = unit.code;
    VuVector& dest = unit.vf[vuFieldFt(word)];
    for (unsigned lane = 0; lane < 4; ++lane)
        if (vuLaneEnabled(word, lane)) dest.u[lane] = value;
}

// MOVE ft, fs (rotate 0) and MR32 ft, fs (rotate 1: x from y, ... w from x).
template <VuState& unit, unsigned rotate>
void vuMove() {
    const u32 word = unit.code;
    const VuVector s = unit.vf[vuFieldFs(word)];
    VuVector& dest = unit.vf[vuFieldFt(word)];
    for (unsigned lane = 0; lane < 4; ++lane)
        if (vuLaneEnabled(word, lane)) dest.u[lane] = s.u[(lane + rotate) & 3];
}

template <VuState& unit>
void vuMfp() {
    vuBroadcastRaw<unit>(unit.vi[kViP]);
}

template <VuState& unit>
void vuRget() {
    vuBroadcastRaw<unit>(unit.vi[kViR]);
}

template <VuState& unit>
void vuRinit() {
    const u32 word = unit.code;
    unit.vi[kViR] = unit.vf[vuFieldFs(word)].u[vuFieldFsf(word)];
}

// Advances the shared sequence and gives its next value, 0..32767.
u32 vuNextRandom();

// RNEXT: R = 1.0 + n / 32768, always in [1.0, 2.0).
template <VuState& unit>
void vuRnext() {
    unit.vi[kViR] = 0x3F800000u | (vuNextRandom() << 8);
    vuRget<unit>();
}

// XTOP it (VU1 only): the VIF1 TOP register.
void vuXtop();

// The lower-family members of the SPECIAL1 macro table (function codes
// 0x30..0x35); in micro mode the same function codes of the 0x40 group.
template <VuState& unit>
consteval auto vuLowerFunctionEntries() {
    using enum VuIntegerOp;
    return std::array{
        OpcodeEntry{0x30, vuIntegerOp<unit, add>, "IADD"},
        OpcodeEntry{0x31, vuIntegerOp<unit, sub>, "ISUB"},
        OpcodeEntry{0x32, vuIntegerAddImmediate5<unit>, "IADDI"},
        OpcodeEntry{0x34, vuIntegerOp<unit, bitAnd>, "IAND"},
        OpcodeEntry{0x35, vuIntegerOp<unit, bitOr>, "IOR"},
    };
}

// The lower members of the SPECIAL2 macro table, by (bits 10..6) * 4 +
// bits 1..0; in micro mode sub-table (index & 3) at row (index >> 2).
template <VuState& unit>
consteval auto vuLowerSpecial2Entries() {
    return std::array{
        OpcodeEntry{0x30, vuMove<unit, 0>, "MOVE"},
        OpcodeEntry{0x31, vuMove<unit, 1>, "MR32"},
        OpcodeEntry{0x34, vuLqi<unit>, "LQI"},
        OpcodeEntry{0x35, vuSqi<unit>, "SQI"},
        OpcodeEntry{0x38, vuDivide<unit, VuDivideOp::div>, "DIV"},
        OpcodeEntry{0x39, vuDivide<unit, VuDivideOp::sqrt>, "SQRT"},
        OpcodeEntry{0x3A, vuDivide<unit, VuDivideOp::rsqrt>, "RSQRT"},
        OpcodeEntry{0x3E, vuIntegerLoad<unit, false>, "ILWR"},
        OpcodeEntry{0x3F, vuIntegerStore<unit, false>, "ISWR"},
        OpcodeEntry{0x40, vuRnext<unit>, "RNEXT"},
        OpcodeEntry{0x41, vuRget<unit>, "RGET"},
        OpcodeEntry{0x42, vuRinit<unit>, "RINIT"},
    };
}

// Members only micro mode reaches, in the same layout.
template <VuState& unit>
consteval auto vuLowerMicroOnlyEntries() {
    using enum VuElementaryOp;
    return std::array{
        OpcodeEntry{0x64, vuMfp<unit>, "MFP"},
        OpcodeEntry{0x70, vuElementary<unit, sumSquares>, "ESADD"},
        OpcodeEntry{0x71, vuElementary<unit, reciprocalSumSquares>, "ERSADD"},
        OpcodeEntry{0x78, vuElementary<unit, sqrt>, "ESQRT"},
        OpcodeEntry{0x79, vuElementary<unit, reciprocalSqrt>, "ERSQRT"},
    };
}

// Micro-mode lower word by bits 31..25, except the 0x40 group.
template <VuState& unit>
consteval auto vuLowerOpcodeEntries() {
    return std::array{
        OpcodeEntry{0x00, vuLq<unit>, "LQ"},
        OpcodeEntry{0x01, vuSq<unit>, "SQ"},
        OpcodeEntry{0x04, vuIntegerLoad<unit, true>, "ILW"},
        OpcodeEntry{0x05, vuIntegerStore<unit, true>, "ISW"},
        OpcodeEntry{0x08, vuIntegerImmediate15<unit, false>, "IADDIU"},
        OpcodeEntry{0x09, vuIntegerImmediate15<unit, true>, "ISUBIU"},
        OpcodeEntry{0x1A, vuFlagMacAnd<unit>, "FMAND"},
    };
}

using VuLowerSubTables = VuUpperSubTables;

// Each unit's lower words by opcode (bits 31..25); opcode 0x40 goes on to
// the function table, indexed by bits 10..0: the function code with, for
// 0x3C..0x3F, the sub-table row.
inline constexpr u32 kVuLowerFunctionOpcode = 0x40;
inline constexpr u32 kVuLowerFunctionMask = 0x7FF;
using VuLowerFunctionTable = std::array<Handler, kVuLowerFunctionMask + 1>;
extern const std::array<Handler, 128> vu0LowerTable;
extern const std::array<Handler, 128> vu1LowerTable;
extern const VuLowerFunctionTable vu0LowerFunctionTable;
extern const VuLowerFunctionTable vu1LowerFunctionTable;

// Runs the lower word in unit.code on its unit through the tables above.
void vu0RunLower();
void vu1RunLower();
