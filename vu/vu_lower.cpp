#include "vu/vu_lower.h"

#include "memory/bus.h"

u32 vuRandomState = 1;

u32 vuNextRandom() {
    vuRandomState = vuRandomState * 214013u + 2531011u;
    return (vuRandomState >> 16) & 0x7FFF;
}

void vuXtop() { vu1.vi[vuFieldFt(vu1.code)] = memRead32(kVif1TopAddress); }

namespace {

template <VuState& unit, unsigned subTable>
void dispatchLowerSubTable();
template <VuState& unit>
void dispatchLowerFunction();

template <VuState& unit>
consteval VuLowerSubTables buildVuLowerSubTables() {
    VuLowerSubTables tables{};
    for (auto& table : tables) table.fill(opUnassigned);
    for (const OpcodeEntry& entry : vuLowerSpecial2Entries<unit>()) tables[entry.index & 3][entry.index >> 2] = entry.handler;
    for (const OpcodeEntry& entry : vuLowerMicroOnlyEntries<unit>()) tables[entry.index & 3][entry.index >> 2] = entry.handler;
    if constexpr (&unit == &vu1) tables[0][0x1A] = vuXtop;
    return tables;
}

template <VuState& unit>
consteval std::array<Handler, 64> buildVuLowerFunctionTable() {
    auto table = buildOpcodeTable<64>(vuLowerFunctionEntries<unit>());
    table[0x3C] = dispatchLowerSubTable<unit, 0>;
    table[0x3D] = dispatchLowerSubTable<unit, 1>;
    table[0x3E] = dispatchLowerSubTable<unit, 2>;
    table[0x3F] = dispatchLowerSubTable<unit, 3>;
    return table;
}

template <VuState& unit>
consteval std::array<Handler, 128> buildVuLowerTable() {
    auto table = buildOpcodeTable<128>(vuLowerOpcodeEntries<unit>());
    table[0x40] = dispatchLowerFunction<unit>;
    return table;
}

}  // namespace

constinit const VuLowerSubTables vu0LowerSubTables = buildVuLowerSubTables<vu0>();
constinit const VuLowerSubTables vu1LowerSubTables = buildVuLowerSubTables<vu1>();
constinit const std::array<Handler, 64> vu0LowerFunctionTable = buildVuLowerFunctionTable<vu0>();
constinit const std::array<Handler, 64> vu1LowerFunctionTable = buildVuLowerFunctionTable<vu1>();
constinit const std::array<Handler, 128> vu0LowerTable = buildVuLowerTable<vu0>();
constinit const std::array<Handler, 128> vu1LowerTable = buildVuLowerTable<vu1>();

namespace {

template <VuState& unit, unsigned subTable>
void dispatchLowerSubTable() {
    const VuLowerSubTables& tables = &unit == &vu0 ? vu0LowerSubTables : vu1LowerSubTables;
    tables[subTable][vuFieldFd(unit.code)]();
}

template <VuState& unit>
void dispatchLowerFunction() {
    const auto& table = &unit == &vu0 ? vu0LowerFunctionTable : vu1LowerFunctionTable;
    table[unit.code & 63]();
}

}  // namespace

void vu0RunLower() { vu0LowerTable[vu0.code >> 25](); }
void vu1RunLower() { vu1LowerTable[vu1.code >> 25](); }
