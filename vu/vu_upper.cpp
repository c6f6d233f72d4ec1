#include "vu/vu_upper.h"

namespace {

template <VuState& unit, unsigned subTable>
void dispatchUpperSubTable();

template <VuState& unit>
consteval std::array<Handler, 64> buildVuUpperTable() {
    auto table = buildOpcodeTable<64>(vuUpperFunctionEntries<unit>());
    table[0x3C] = dispatchUpperSubTable<unit, 0>;
    table[0x3D] = dispatchUpperSubTable<unit, 1>;
    table[0x3E] = dispatchUpperSubTable<unit, 2>;
    table[0x3F] = dispatchUpperSubTable<unit, 3>;
    return table;
}

}  // namespace

constinit const VuUpperSubTables vu0UpperSubTables = buildVuUpperSubTables<vu0>();
constinit const VuUpperSubTables vu1UpperSubTables = buildVuUpperSubTables<vu1>();
constinit const std::array<Handler, 64> vu0UpperTable = buildVuUpperTable<vu0>();
constinit const std::array<Handler, 64> vu1UpperTable = buildVuUpperTable<vu1>();

namespace {

template <VuState& unit, unsigned subTable>
void dispatchUpperSubTable() {
    const VuUpperSubTables& tables = kVuUnitOf<unit> == VuUnit::vu0 ? vu0UpperSubTables : vu1UpperSubTables;
    tables[subTable][vuFieldFd(unit.code)]();
}

}  // namespace

void vu0RunUpper() { vu0UpperTable[vu0.code & 63](); }
void vu1RunUpper() { vu1UpperTable[vu1.code & 63](); }
