#include "core/tables.h"

#include "core/ee_state.h"
#include "core/opcode_entries.h"

// Each class table is reached through a dispatcher, itself a handler, that
// extracts the table's index from the instruction word.

namespace {

constexpr auto specialTable = buildOpcodeTable<64>(kSpecialEntries);
constexpr auto regimmTable = buildOpcodeTable<32>(kRegimmEntries);
constexpr auto cop0Table = buildOpcodeTable<32>(kCop0Entries);
constexpr auto c0Table = buildOpcodeTable<64>(kC0Entries);
constexpr auto cop1Table = buildOpcodeTable<32>(joinEntries(kCop1Dispatch, kCop1Entries));
constexpr auto bc1Table = buildOpcodeTable<4>(kBc1Entries);
constexpr auto cop1STable = buildOpcodeTable<64>(kCop1SEntries);
constexpr auto cop2Table = buildOpcodeTable<32>(kCop2Entries);
constexpr auto mmiTable = buildOpcodeTable<64>(joinEntries(kMmiDispatch, kMmiEntries));
constexpr auto mmi0Table = buildOpcodeTable<32>(kMmi0Entries);
constexpr auto mmi1Table = buildOpcodeTable<32>(kMmi1Entries);
constexpr auto mmi2Table = buildOpcodeTable<32>(kMmi2Entries);
constexpr auto mmi3Table = buildOpcodeTable<32>(kMmi3Entries);

}  // namespace

void dispatchSpecial() { specialTable[fieldFunction()](); }
void dispatchRegimm() { regimmTable[fieldRt()](); }
void dispatchCop0() { cop0Table[fieldRs()](); }
void dispatchC0() { c0Table[fieldFunction()](); }
void dispatchCop1() { cop1Table[fieldRs()](); }
void dispatchBc1() { bc1Table[(ee.code >> 16) & 3](); }
void dispatchCop1S() { cop1STable[fieldFunction()](); }
void dispatchCop2() { cop2Table[fieldRs()](); }
void dispatchMmi() { mmiTable[fieldFunction()](); }
void dispatchMmi0() { mmi0Table[fieldSa()](); }
void dispatchMmi1() { mmi1Table[fieldSa()](); }
void dispatchMmi2() { mmi2Table[fieldSa()](); }
void dispatchMmi3() { mmi3Table[fieldSa()](); }

constexpr std::array<Handler, 64> primaryTable = buildOpcodeTable<64>(kPrimaryEntries);
