// The disassembler's name tables, one per decoding level of the EE
// instruction set. Each is built at compile time from the interpreter's own
// entry lists (core/opcode_entries.h and the coprocessor lists), so that
// what the debugger names an encoding and what the interpreter runs for it
// come from one list. On top of those, each table has
//   - names of its own for slots the interpreter leaves unassigned (the
//     trace names CACHE or ERET though nothing runs for them), and the build
//     stops if the interpreter ever claims one of those slots;
//   - the trace's own spelling where it differs from the interpreter's
//     (MF0 for MFC0, C_OLT_S for C.LT.S), allowed only on assigned slots;
//   - a fill name, "NI" or "NO", for the rest.
#pragma once

#include <array>
#include <cstddef>

#include "core/opcode_entries.h"
#include "vu/vu_lower.h"
#include "vu/vu_upper.h"

// One mnemonic as stored in a name table.
struct Mnemonic {
    char text[16]{};
};

struct NameEntry {
    unsigned index;
    const char* name;
};

// How a table turns the interpreter's names into the trace's: the FPU lists
// write ADD.S where the trace writes ADD_S, and the VU lists leave out the
// V that the COP2 macro forms carry.
enum class Spelling { AsIs, DotsAsUnderscores, VuMacro };

namespace disasm_detail {

consteval Mnemonic spell(const char* name, Spelling spelling) {
    Mnemonic result{};
    std::size_t at = 0;
    if (spelling == Spelling::VuMacro) result.text[at++] = 'V';
    for (const char* c = name; *c; ++c) {
        if (at + 1 >= sizeof result.text) throw "mnemonic too long";
        result.text[at++] = (spelling == Spelling::DotsAsUnderscores && *c == '.') ? '_' : *c;
    }
    return result;
}

}  // namespace disasm_detail

template <std::size_t Size, std::size_t Count, std::size_t OwnCount, std::size_t RespelledCount>
consteval std::array<Mnemonic, Size> buildNameTable(const std::array<OpcodeEntry, Count>& interpreter,
                                                    const std::array<NameEntry, OwnCount>& own,
                                                    const std::array<NameEntry, RespelledCount>& respelled,
                                                    const char* fill, Spelling spelling = Spelling::AsIs) {
    using disasm_detail::spell;
    std::array<Mnemonic, Size> table{};
    std::array<bool, Size> assigned{};
    for (Mnemonic& slot : table) slot = spell(fill, Spelling::AsIs);
    for (const OpcodeEntry& entry : interpreter) {
        if (entry.index >= Size) throw "interpreter entry outside the table";
        table[entry.index] = spell(entry.name, spelling);
        assigned[entry.index] = true;
    }
    for (const NameEntry& entry : own) {
        if (entry.index >= Size || assigned[entry.index]) throw "own name on a slot the interpreter runs";
        table[entry.index] = spell(entry.name, Spelling::AsIs);
        assigned[entry.index] = true;
    }
    for (const NameEntry& entry : respelled) {
        if (entry.index >= Size || !assigned[entry.index]) throw "respelling of an unassigned slot";
        table[entry.index] = spell(entry.name, Spelling::AsIs);
    }
    return table;
}

inline constexpr std::array<NameEntry, 0> kNoNames{};

template <std::size_t First, std::size_t Second>
consteval std::array<NameEntry, First + Second> joinNames(const std::array<NameEntry, First>& first,
                                                          const std::array<NameEntry, Second>& second) {
    std::array<NameEntry, First + Second> joined{};
    for (std::size_t i = 0; i < First; ++i) joined[i] = first[i];
    for (std::size_t i = 0; i < Second; ++i) joined[First + i] = second[i];
    return joined;
}

// The same name for slots first..last.
template <unsigned First, unsigned Last>
consteval std::array<NameEntry, Last - First + 1> sameNameFor(const char* name) {
    std::array<NameEntry, Last - First + 1> entries{};
    for (unsigned i = First; i <= Last; ++i) entries[i - First] = NameEntry{i, name};
    return entries;
}

inline constexpr auto kPrimaryNames = buildNameTable<64>(
    kPrimaryEntries, std::array{NameEntry{47, "CACHE"}, NameEntry{51, "PREF"}},
    std::array{NameEntry{28, "SPECIAL2"}}, "NI");

inline constexpr auto kSpecialNames = buildNameTable<64>(
    kSpecialEntries, std::array{NameEntry{13, "BREAK"}, NameEntry{15, "SYNC"}}, std::array{NameEntry{9, "JALR "}},
    "NI");

inline constexpr auto kRegimmNames = buildNameTable<32>(
    kRegimmEntries,
    std::array{NameEntry{8, "TGEI"}, NameEntry{9, "TGEIU"}, NameEntry{10, "TLTI"}, NameEntry{11, "TLTIU"},
               NameEntry{12, "TEQI"}, NameEntry{14, "TNEI"}, NameEntry{24, "MTSAB"}, NameEntry{25, "MTSAH"}},
    kNoNames, "NI");

inline constexpr auto kCop0FormatNames = buildNameTable<32>(
    kCop0Entries, std::array{NameEntry{8, "BC0"}},
    joinNames(std::array{NameEntry{0, "MF0"}, NameEntry{4, "MT0"}}, sameNameFor<16, 31>("TLB")), "NI");

inline constexpr auto kCop0FunctionNames = buildNameTable<64>(
    kC0Entries,
    std::array{NameEntry{1, "TLBR"}, NameEntry{2, "TLBWI"}, NameEntry{6, "TLBWR"}, NameEntry{8, "TLBP"},
               NameEntry{24, "ERET"}},
    kNoNames, "NI");

inline constexpr auto kCop1FormatNames = buildNameTable<32>(
    joinEntries(kCop1Dispatch, kCop1Entries), kNoNames,
    std::array{NameEntry{16, "COP1_S"}, NameEntry{20, "COP1_W"}}, "NI");

inline constexpr auto kBc1Names = buildNameTable<4>(kBc1Entries, kNoNames, kNoNames, "NI");

// The ordered comparisons are named after the IEEE predicates they test.
inline constexpr auto kCop1SNames = buildNameTable<64>(
    kCop1SEntries, kNoNames, std::array{NameEntry{0x34, "C_OLT_S"}, NameEntry{0x36, "C_OLE_S"}}, "NI",
    Spelling::DotsAsUnderscores);

// The interpreter runs the one W-format operation straight from the COP1
// format slot, so this table has no interpreter list of the same shape.
inline constexpr auto kCop1WNames =
    buildNameTable<64>(std::array<OpcodeEntry, 0>{}, std::array{NameEntry{32, "CVT_S_W"}}, kNoNames, "NI");

inline constexpr auto kMmiNames = buildNameTable<64>(joinEntries(kMmiDispatch, kMmiEntries), kNoNames, kNoNames, "NI");
inline constexpr auto kMmi0Names = buildNameTable<32>(kMmi0Entries, kNoNames, kNoNames, "NO");
inline constexpr auto kMmi1Names = buildNameTable<32>(kMmi1Entries, kNoNames, kNoNames, "NO");
inline constexpr auto kMmi2Names = buildNameTable<32>(kMmi2Entries, kNoNames, kNoNames, "NO");
inline constexpr auto kMmi3Names = buildNameTable<32>(kMmi3Entries, kNoNames, kNoNames, "NO");

inline constexpr auto kCop2FormatNames = buildNameTable<32>(kCop2Entries, std::array{NameEntry{8, "BC2"}},
                                                            sameNameFor<16, 31>("C2 SPECIAL"), "NO");

// The interpreter leaves the BC2 branches as no-operations.
inline constexpr auto kBc2Names = buildNameTable<4>(
    std::array<OpcodeEntry, 0>{},
    std::array{NameEntry{0, "BC2F"}, NameEntry{1, "BC2T"}, NameEntry{2, "BC2FL"}, NameEntry{3, "BC2TL"}}, kNoNames,
    "NO");

// The VU's MINI is the macro form's VMIN.
inline constexpr auto kCop2Special1Names = buildNameTable<64>(
    joinEntries(vuUpperFunctionEntries<vu0>(), vuLowerFunctionEntries<vu0>()),
    std::array{NameEntry{0x38, "VCALLMS"}, NameEntry{0x39, "VCALLMSR"}, NameEntry{0x3C, "C2 SPECIAL2"},
               NameEntry{0x3D, "C2 SPECIAL2"}, NameEntry{0x3E, "C2 SPECIAL2"}, NameEntry{0x3F, "C2_SPECIAL2"}},
    std::array{NameEntry{0x14, "VMINx"}, NameEntry{0x15, "VMINy"}, NameEntry{0x16, "VMINz"}, NameEntry{0x17, "VMINw"},
               NameEntry{0x1F, "VMINi"}, NameEntry{0x2F, "VMIN"}},
    "NO", Spelling::VuMacro);

inline constexpr auto kCop2Special2Names = buildNameTable<128>(
    joinEntries(vuUpperAccumulatorEntries<vu0>(), vuLowerSpecial2Entries<vu0>()),
    std::array{NameEntry{0x1F, "VCLIP"}, NameEntry{0x2F, "VNOP"}, NameEntry{0x36, "VLQD"}, NameEntry{0x37, "VSQD"},
               NameEntry{0x3B, "VWAITQ"}, NameEntry{0x3C, "VMTIR"}, NameEntry{0x3D, "VMFIR"},
               NameEntry{0x43, "VRXOR"}},
    kNoNames, "NO", Spelling::VuMacro);
