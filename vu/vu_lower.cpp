#include "vu/vu_lower.h"

#include "devices/gif.h"
#include "memory/bus.h"
#include "vu/vu1_micro.h"

u32 vuRandomState = kVuRandomSeed;

u32 vuNextRandom() {
    vuRandomState = vuRandomState * 214013u + 2531011u;
    return (vuRandomState >> 16) & 0x7FFF;
}

void vuXtop() {
    if (vuFlagsWaitForFields<vu1>(kVuItNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<vu1, vuXtop>();
    vu1.vi[vuFieldFt(vu1.code)] = memRead32(kVif1TopAddress);
}

namespace {

// XGKICK is: the GS consumes the GIF packet at quadword VI[is] of VU1 data
// memory before the call returns.
void vuXgkick() {
    if (vuFlagsWaitForFields<vu1>(kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<vu1, vuXgkick>();
    u32 quadwords;
    const u32* packet = vu1KickedPacket(vuViOperand(vu1, vuFieldFs(vu1.code)) * 16, quadwords);
    gifPacketToGs(packet, quadwords);
}

// VU1 branches. vu1.tpc already holds the delay-slot pair's offset when a
// branch executes. A taken branch runs its delay slot, then jumps. A branch
// met inside another branch's delay slot only jumps: nesting delay slots
// without bound could exhaust the host stack.
bool inDelaySlot = false;

void takeBranch(u32 target) {
    if (!inDelaySlot) {
        inDelaySlot = true;
        vu1ExecPairInProgram();
        inDelaySlot = false;
    }
    vu1.tpc = target & kVu1MemoryMask;
}

u32 branchTarget() { return vu1.tpc + vuImm11Signed(vu1.code) * 8; }

enum class VuBranchTest { equal, notEqual, lessThanZero, greaterThanZero, lessOrEqualZero, greaterOrEqualZero };

void vuB() { takeBranch(branchTarget()); }

void vuBal() {
    if (vuFlagsWaitForFields<vu1>(kVuItNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<vu1, vuBal>();
    const u32 target = branchTarget();
    vu1.vi[vuFieldFt(vu1.code)] = vu1.tpc + 8;
    takeBranch(target);
}

void vuJr() {
    if (vuFlagsWaitForFields<vu1>(kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<vu1, vuJr>();
    takeBranch(vuViOperand(vu1, vuFieldFs(vu1.code)));
}

void vuJalr() {
    if (vuFlagsWaitForFields<vu1>(kVuItNamesControl | kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<vu1, vuJalr>();
    const u32 target = vu1.vi[vuFieldFs(vu1.code)];
    vu1.vi[vuFieldFt(vu1.code)] = vu1.tpc + 8;
    takeBranch(target);
}

template <VuBranchTest test>
void vuConditionalBranch() {
    if (vuFlagsWaitForFields<vu1>(kVuItNamesControl | kVuIsNamesControl)) [[unlikely]]
        return vuSettleFlagsThenRun<vu1, vuConditionalBranch<test>>();
    const u32 t = vuViOperand(vu1, vuFieldFt(vu1.code));
    const u32 s = vuViOperand(vu1, vuFieldFs(vu1.code));
    const s16 signedS = static_cast<s16>(s);
    bool taken;
    if constexpr (test == VuBranchTest::equal) taken = t == s;
    else if constexpr (test == VuBranchTest::notEqual) taken = t != s;
    else if constexpr (test == VuBranchTest::lessThanZero) taken = signedS < 0;
    else if constexpr (test == VuBranchTest::greaterThanZero) taken = signedS > 0;
    else if constexpr (test == VuBranchTest::lessOrEqualZero) taken = signedS <= 0;
    else taken = signedS >= 0;
    if (taken) takeBranch(branchTarget());
}

template <VuState& unit>
void dispatchLowerFunction();

// Bits 10..0 of a lower word of opcode 0x40 hold its function code and, for
// the codes 0x3C..0x3F, the row of their sub-table too, so one table indexed
// by them reaches every handler of the group in a single lookup.
template <VuState& unit>
consteval VuLowerFunctionTable buildVuLowerFunctionTable() {
    VuLowerSubTables subTables{};
    for (auto& subTable : subTables) subTable.fill(opUnassigned);
    for (const OpcodeEntry& entry : vuLowerSpecial2Entries<unit>()) subTables[entry.index & 3][entry.index >> 2] = entry.handler;
    for (const OpcodeEntry& entry : vuLowerMicroOnlyEntries<unit>()) subTables[entry.index & 3][entry.index >> 2] = entry.handler;
    if constexpr (kVuUnitOf<unit> == VuUnit::vu1) {
        subTables[0][0x1A] = vuXtop;
        subTables[0][0x1B] = vuXgkick;
    }
    const auto functions = buildOpcodeTable<64>(vuLowerFunctionEntries<unit>());
    VuLowerFunctionTable table{};
    for (u32 index = 0; index < table.size(); ++index) {
        const u32 function = index & 63;
        table[index] = function >= 0x3C ? subTables[function & 3][index >> 6] : functions[function];
    }
    return table;
}

template <VuState& unit>
consteval std::array<Handler, 128> buildVuLowerTable() {
    auto table = buildOpcodeTable<128>(vuLowerOpcodeEntries<unit>());
    table[kVuLowerFunctionOpcode] = dispatchLowerFunction<unit>;
    if constexpr (kVuUnitOf<unit> == VuUnit::vu1) {
        using enum VuBranchTest;
        table[0x20] = vuB;
        table[0x21] = vuBal;
        table[0x24] = vuJr;
        table[0x25] = vuJalr;
        table[0x28] = vuConditionalBranch<equal>;
        table[0x29] = vuConditionalBranch<notEqual>;
        table[0x2C] = vuConditionalBranch<lessThanZero>;
        table[0x2D] = vuConditionalBranch<greaterThanZero>;
        table[0x2E] = vuConditionalBranch<lessOrEqualZero>;
        table[0x2F] = vuConditionalBranch<greaterOrEqualZero>;
    }
    return table;
}

}  // namespace

constinit const VuLowerFunctionTable vu0LowerFunctionTable = buildVuLowerFunctionTable<vu0>();
constinit const VuLowerFunctionTable vu1LowerFunctionTable = buildVuLowerFunctionTable<vu1>();
constinit const std::array<Handler, 128> vu0LowerTable = buildVuLowerTable<vu0>();
constinit const std::array<Handler, 128> vu1LowerTable = buildVuLowerTable<vu1>();

namespace {

template <VuState& unit>
void dispatchLowerFunction() {
    const auto& table = kVuUnitOf<unit> == VuUnit::vu0 ? vu0LowerFunctionTable : vu1LowerFunctionTable;
    table[unit.code & kVuLowerFunctionMask]();
}

}  // namespace

void vu0RunLower() { vu0LowerTable[vu0.code >> 25](); }
void vu1RunLower() { vu1LowerTable[vu1.code >> 25](); }
