#include "core/tables.h"

#include <initializer_list>

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

// COP1 words dispatch on the format (bits 25..21) and the function (bits
// 5..0) in one lookup, by index format * 64 + function: the S format's
// operations sit in its row by function, and each other format's handler
// fills its whole row, as that format does not look at the function. The
// BC1 row keeps its dispatcher, which picks the branch by bits 17..16.
consteval std::array<Handler, 2048> buildCop1FormatFunctionTable() {
    std::array<Handler, 2048> table{};
    for (unsigned index = 0; index < table.size(); ++index) {
        const unsigned format = index >> 6;
        table[index] = format == kCop1FormatS ? cop1STable[index & 63] : cop1Table[format];
    }
    return table;
}

// MMI words dispatch on bits 10..0 in one lookup: bits 5..0 are the
// function, and for the four functions that lead to the MMI0..MMI3 rows,
// bits 10..6 pick the operation in that row. Every other function fills all
// 32 of its slots, as bits 10..6 are its shift amount or not looked at.
consteval std::array<Handler, 2048> buildMmiFunctionRowTable() {
    std::array<Handler, 2048> table{};
    for (unsigned index = 0; index < table.size(); ++index) {
        const unsigned function = index & 63;
        const unsigned row = index >> 6;
        if (function == kMmiFunctionMmi0) table[index] = mmi0Table[row];
        else if (function == kMmiFunctionMmi1) table[index] = mmi1Table[row];
        else if (function == kMmiFunctionMmi2) table[index] = mmi2Table[row];
        else if (function == kMmiFunctionMmi3) table[index] = mmi3Table[row];
        else table[index] = mmiTable[function];
    }
    return table;
}

constexpr auto cop1FormatFunctionTable = buildCop1FormatFunctionTable();
constexpr auto mmiFunctionRowTable = buildMmiFunctionRowTable();

constexpr unsigned cop1FormatFunctionIndex(u32 code) { return ((code >> 15) & (31u << 6)) | (code & 63); }
constexpr unsigned mmiFunctionRowIndex(u32 code) { return code & 0x7FF; }

// Every entry of the lists, put into an instruction word by its own fields,
// reaches its handler through the index the dispatcher takes of that word.
template <std::size_t Count>
consteval bool rowReachesItsEntries(const std::array<OpcodeEntry, Count>& entries, u32 rowBits,
                                    unsigned fieldShift, const std::array<Handler, 2048>& table,
                                    unsigned (*index)(u32)) {
    for (const OpcodeEntry& entry : entries) {
        if (table[index(rowBits | (entry.index << fieldShift))] != entry.handler) return false;
    }
    return true;
}

constexpr u32 kCop1Word = 17u << 26;
constexpr u32 kMmiWord = 28u << 26;
static_assert(rowReachesItsEntries(kCop1SEntries, kCop1Word | (kCop1FormatS << 21), 0, cop1FormatFunctionTable,
                                   cop1FormatFunctionIndex));
static_assert(rowReachesItsEntries(kCop1Entries, kCop1Word | 0x3F, 21, cop1FormatFunctionTable,
                                   cop1FormatFunctionIndex));
static_assert(cop1FormatFunctionTable[cop1FormatFunctionIndex(kCop1Word | (8u << 21) | 0x3F)] == dispatchBc1);
static_assert(rowReachesItsEntries(kMmiEntries, kMmiWord | (31u << 6), 0, mmiFunctionRowTable, mmiFunctionRowIndex));
static_assert(rowReachesItsEntries(kMmi0Entries, kMmiWord | kMmiFunctionMmi0, 6, mmiFunctionRowTable,
                                   mmiFunctionRowIndex));
static_assert(rowReachesItsEntries(kMmi1Entries, kMmiWord | kMmiFunctionMmi1, 6, mmiFunctionRowTable,
                                   mmiFunctionRowIndex));
static_assert(rowReachesItsEntries(kMmi2Entries, kMmiWord | kMmiFunctionMmi2, 6, mmiFunctionRowTable,
                                   mmiFunctionRowIndex));
static_assert(rowReachesItsEntries(kMmi3Entries, kMmiWord | kMmiFunctionMmi3, 6, mmiFunctionRowTable,
                                   mmiFunctionRowIndex));

}  // namespace

void dispatchSpecial() { specialTable[fieldFunction()](); }
void dispatchRegimm() { regimmTable[fieldRt()](); }
void dispatchCop0() { cop0Table[fieldRs()](); }
void dispatchC0() { c0Table[fieldFunction()](); }
void dispatchCop1() { cop1FormatFunctionTable[cop1FormatFunctionIndex(ee.code)](); }
void dispatchBc1() { bc1Table[(ee.code >> 16) & 3](); }
// The S format's and the MMI0..MMI3 rows' dispatchers mark in the entry
// lists where a row leads to a further table; the interpreter reaches those
// rows through the one-lookup tables above.
void dispatchCop1S() { cop1STable[fieldFunction()](); }
void dispatchCop2() { cop2Table[fieldRs()](); }
void dispatchMmi() { mmiFunctionRowTable[mmiFunctionRowIndex(ee.code)](); }
void dispatchMmi0() { mmi0Table[fieldSa()](); }
void dispatchMmi1() { mmi1Table[fieldSa()](); }
void dispatchMmi2() { mmi2Table[fieldSa()](); }
void dispatchMmi3() { mmi3Table[fieldSa()](); }

constexpr std::array<Handler, 64> primaryTable = buildOpcodeTable<64>(kPrimaryEntries);

// The delay slot of a taken branch dispatches through copies of the tables
// in which every word that isBranchOrJump names leads to opUnassigned: the
// branch opcodes and REGIMM in the primary table, JR and JALR in SPECIAL's,
// and the BC1 row of COP1. COP2's branch row is unassigned in its own table.
namespace {

constexpr unsigned kPrimarySpecial = 0, kPrimaryCop1 = 17, kPrimaryCop2 = 18, kCopBranchRow = 8;

// True for the words that are branches or jumps: REGIMM (all of its
// assigned slots), J, JAL, BEQ..BGTZ and the likely forms, JR and JALR, and
// the COP1 and COP2 branches.
constexpr bool isBranchOrJump(u32 word) {
    constexpr u64 kBranchPrimaryMask = (u64{1} << 1) | (u64{0x3F} << 2) | (u64{0xF} << 20);
    const unsigned opcode = word >> 26;
    if ((kBranchPrimaryMask >> opcode) & 1) return true;
    if (opcode == kPrimarySpecial) return (word & 0x3E) == 8;  // JR, JALR
    if (opcode == kPrimaryCop1 || opcode == kPrimaryCop2) return ((word >> 21) & 31) == kCopBranchRow;
    return false;
}

constexpr auto delaySlotSpecialTable = [] {
    auto table = specialTable;
    for (unsigned function = 0; function < table.size(); ++function) {
        if (isBranchOrJump(function)) table[function] = opUnassigned;
    }
    return table;
}();

void dispatchSpecialInDelaySlot() { delaySlotSpecialTable[fieldFunction()](); }

void dispatchCop1InDelaySlot() {
    if (fieldRs() != kCopBranchRow) dispatchCop1();
}

static_assert(cop2Table[kCopBranchRow] == opUnassigned);

}  // namespace

constexpr std::array<Handler, 64> delaySlotPrimaryTable = [] {
    auto table = primaryTable;
    for (unsigned opcode = 0; opcode < table.size(); ++opcode) {
        if (isBranchOrJump(opcode << 26)) table[opcode] = opUnassigned;
    }
    table[kPrimarySpecial] = dispatchSpecialInDelaySlot;
    table[kPrimaryCop1] = dispatchCop1InDelaySlot;
    return table;
}();

// isBranchOrJump looks at more of a word than the opcode (SPECIAL's
// function, the coprocessors' rs), and the tables above are built from the
// word of each slot alone. Outside COP1 and COP2, whose branch row the
// dispatcher and COP2's table handle, every word must then be a branch
// exactly when its slot's word is, whatever its rs (a few values stand for
// all, within the compilers' limits on constant evaluation).
static_assert([] {
    for (u32 opcode = 0; opcode < 64; ++opcode) {
        if (opcode == kPrimaryCop1 || opcode == kPrimaryCop2) continue;
        for (u32 rs : {0u, kCopBranchRow, 31u}) {
            for (u32 function = 0; function < 64; ++function) {
                const u32 word = (opcode << 26) | (rs << 21) | function;
                const u32 slotWord = opcode == kPrimarySpecial ? function : opcode << 26;
                if (isBranchOrJump(slotWord) != isBranchOrJump(word)) return false;
            }
        }
    }
    return true;
}());
