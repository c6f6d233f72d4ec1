#include "vu/vu_upper.h"

namespace {

// Bits 10..0 of an upper word hold its function code and, for the codes
// 0x3C..0x3F, the row of their sub-table too, so one table indexed by them
// reaches every handler in a single lookup.
template <VuState& unit>
consteval VuUpperTable buildVuUpperTable() {
    const auto functions = buildOpcodeTable<64>(vuUpperFunctionEntries<unit>());
    const VuUpperSubTables subTables = buildVuUpperSubTables<unit>();
    VuUpperTable table{};
    for (u32 index = 0; index < table.size(); ++index) {
        const u32 function = index & 63;
        table[index] = function >= 0x3C ? subTables[function & 3][index >> 6] : functions[function];
    }
    return table;
}

}  // namespace

constinit const VuUpperTable vu0UpperTable = buildVuUpperTable<vu0>();
constinit const VuUpperTable vu1UpperTable = buildVuUpperTable<vu1>();

void vu0RunUpper() { vu0UpperTable[vu0.code & kVuUpperTableMask](); }
// A single instruction run from outside a program settles its flags at once.
void vu1RunUpper() {
    vu1UpperTable[vu1.code & kVuUpperTableMask]();
    vuSettleFlags(vu1);
}
