#include "debugger/disassembler.h"

#include <cstdio>
#include <utility>

#include "core/ee_state.h"
#include "debugger/disassembler_names.h"
#include "debugger/vu_macro_disassembler.h"
#include "kernel/syscalls.h"

namespace {

constexpr unsigned kOpSpecial = 0, kOpRegimm = 1, kOpCop0 = 16, kOpCop1 = 17, kOpCop2 = 18, kOpMmi = 28;
constexpr unsigned kFunctionSyscall = 12;

unsigned bits(u32 word, unsigned low, unsigned count) { return (word >> low) & ((1u << count) - 1); }
unsigned rsOf(u32 word) { return bits(word, 21, 5); }
unsigned rtOf(u32 word) { return bits(word, 16, 5); }
unsigned rdOf(u32 word) { return bits(word, 11, 5); }
unsigned saOf(u32 word) { return bits(word, 6, 5); }
unsigned functionOf(u32 word) { return bits(word, 0, 6); }

// The name table entry that the decoding of `word` selects; SYSCALL is
// handled by the caller.
const char* tableName(u32 word) {
    const unsigned rs = rsOf(word);
    const unsigned function = functionOf(word);
    switch (word >> 26) {
    case kOpSpecial: return kSpecialNames[function].text;
    case kOpRegimm: return kRegimmNames[rtOf(word)].text;
    case kOpCop0: return rs > 15 ? kCop0FunctionNames[function].text : kCop0FormatNames[rs].text;
    case kOpCop1:
        if (rs == 8) return kBc1Names[bits(word, 16, 2)].text;
        if (rs == 16) return kCop1SNames[function].text;
        if (rs == 20) return kCop1WNames[function].text;
        return kCop1FormatNames[rs].text;
    case kOpCop2:
        if (rs == 8) return kBc2Names[bits(word, 16, 2)].text;
        if (rs < 16) return kCop2FormatNames[rs].text;
        if (function >= 0x3B) return kCop2Special2Names[saOf(word) * 4 | bits(word, 0, 2)].text;
        return kCop2Special1Names[function].text;
    case kOpMmi:
        switch (function) {
        case 8: return kMmi0Names[saOf(word)].text;
        case 9: return kMmi2Names[saOf(word)].text;
        case 0x28: return kMmi1Names[saOf(word)].text;
        case 0x29: return kMmi3Names[saOf(word)].text;
        default: return kMmiNames[function].text;
        }
    default: return kPrimaryNames[word >> 26].text;
    }
}

// ---- Operands --------------------------------------------------------------

constexpr const char* kGprNames[32] = {"zero", "at", "v0", "v1", "a0", "a1", "a2", "a3", "t0", "t1", "t2",
                                       "t3",   "t4", "t5", "t6", "t7", "s0", "s1", "s2", "s3", "s4", "s5",
                                       "s6",   "s7", "t8", "t9", "k0", "k1", "gp", "sp", "s8", "ra"};

// The operand shapes of the EE's instructions.
enum class Form {
    Unknown,    // not spelled out
    None,       // eret, sync, ei
    Code,       // syscall 0x5; break 0x1,0x2 (the code fields, when not zero)
    RdRsRt,     // addu rd,rs,rt
    RdRtRs,     // sllv rd,rt,rs
    RdRtSa,     // sll rd,rt,0x3
    RdRt,       // pabsw rd,rt
    RdRs,       // plzcw rd,rs
    Rd,         // mfhi rd
    Rs,         // mthi rs; jr rs
    RsRt,       // pdivw rs,rt
    Trap,       // tge rs,rt, with the code after them when not zero
    ZeroRsRt,   // div zero,rs,rt (the R5900 form names the unused rd)
    MultRdRsRt, // mult rs,rt, or mult rd,rs,rt when rd is used
    Jalr,       // jalr rs, or jalr rd,rs when rd is not ra
    RtRsSigned, // addiu rt,rs,-16
    RtRsHex,    // andi rt,rs,0xff
    RtHex,      // lui rt,0x1234
    RsSigned,   // teqi rs,3
    RtOffset,   // lw rt,16(base)
    FtOffset,   // lwc1 $f1,16(base)
    VfOffset,   // lqc2 $vf1,16(base)
    HexOffset,  // cache 0x18,0(base)
    Jump,       // j target
    RsRtBranch, // beq rs,rt,target
    RsBranch,   // blez rs,target
    Branch,     // bc1f target
    RtCop0,     // mfc0 rt,$12
    RtFs,       // mfc1 rt,$f3
    RtFcr,      // ctc1 rt,$31
    FdFsFt,     // add.s $f1,$f2,$f3
    FdFs,       // abs.s $f1,$f2
    FdFt,       // sqrt.s $f1,$f3
    FsFt,       // c.eq.s $f1,$f2; adda.s $f1,$f2
    RtVf,       // qmfc2 rt,$vf1
    RtVi,       // cfc2 rt,$vi1
};

Form primaryForm(unsigned opcode) {
    switch (opcode) {
    case 2: case 3: return Form::Jump;
    case 4: case 5: case 20: case 21: return Form::RsRtBranch;
    case 6: case 7: case 22: case 23: return Form::RsBranch;
    case 8: case 9: case 10: case 11: case 24: case 25: return Form::RtRsSigned;
    case 12: case 13: case 14: return Form::RtRsHex;
    case 15: return Form::RtHex;
    case 49: case 57: return Form::FtOffset;
    case 54: case 62: return Form::VfOffset;
    case 47: case 51: return Form::HexOffset;
    default: return (opcode >= 26 && opcode <= 63 && opcode != 28 && opcode != 29) ? Form::RtOffset : Form::Unknown;
    }
}

Form specialForm(unsigned function) {
    switch (function) {
    case 0: case 2: case 3: case 56: case 58: case 59: case 60: case 62: case 63: return Form::RdRtSa;
    case 4: case 6: case 7: case 20: case 22: case 23: return Form::RdRtRs;
    case 8: case 17: case 19: case 41: return Form::Rs;
    case 9: return Form::Jalr;
    case 12: case 13: return Form::Code;
    case 15: return Form::None;
    case 16: case 18: case 40: return Form::Rd;
    case 24: case 25: return Form::MultRdRsRt;
    case 26: case 27: return Form::ZeroRsRt;
    case 48: case 49: case 50: case 51: case 52: case 54: return Form::Trap;
    default: return (function >= 32 && function <= 47) || function == 10 || function == 11 ? Form::RdRsRt : Form::Unknown;
    }
}

Form regimmForm(unsigned rt) {
    if (rt <= 3 || (rt >= 16 && rt <= 19)) return Form::RsBranch;
    if ((rt >= 8 && rt <= 12) || rt == 14 || rt == 24 || rt == 25) return Form::RsSigned;
    return Form::Unknown;
}

Form cop1Form(u32 word) {
    const unsigned rs = rsOf(word);
    const unsigned function = functionOf(word);
    if (rs == 0 || rs == 4) return Form::RtFs;
    if (rs == 2 || rs == 6) return Form::RtFcr;
    if (rs == 8) return Form::Branch;
    if (rs == 20) return function == 32 ? Form::FdFs : Form::Unknown;
    if (rs != 16) return Form::Unknown;
    if (function <= 3 || function == 0x16 || function == 0x1C || function == 0x1D || function == 0x28 ||
        function == 0x29)
        return Form::FdFsFt;
    if (function == 4) return Form::FdFt;
    if (function >= 5 && function <= 7) return Form::FdFs;
    if (function == 0x24) return Form::FdFs;
    if ((function >= 0x18 && function <= 0x1A) || function == 0x1E || function == 0x1F) return Form::FsFt;
    if (function >= 0x30 && function <= 0x36 && (function & 1) == 0) return Form::FsFt;
    return Form::Unknown;
}

// The multimedia sub-tables: which slots take one register, two, or a
// shift amount; everything else assigned is rd,rs,rt.
Form mmiSubForm(unsigned table, unsigned index) {
    switch (table) {
    case 0:  // MMI0
        return index == 30 || index == 31 ? Form::RdRt : Form::RdRsRt;
    case 1:  // MMI1
        return index == 1 || index == 5 ? Form::RdRt : Form::RdRsRt;
    case 2:  // MMI2
        if (index == 8 || index == 9) return Form::Rd;
        if (index == 13 || index == 29) return Form::RsRt;
        if (index == 26 || index == 27 || index == 30 || index == 31) return Form::RdRt;
        if (index == 2 || index == 3) return Form::RdRtRs;
        return Form::RdRsRt;
    default:  // MMI3
        if (index == 8 || index == 9) return Form::Rs;
        if (index == 13) return Form::RsRt;
        if (index == 26 || index == 27 || index == 30) return Form::RdRt;
        if (index == 3) return Form::RdRtRs;
        return Form::RdRsRt;
    }
}

Form mmiForm(u32 word) {
    const unsigned function = functionOf(word);
    switch (function) {
    case 8: return mmiSubForm(0, saOf(word));
    case 0x28: return mmiSubForm(1, saOf(word));
    case 9: return mmiSubForm(2, saOf(word));
    case 0x29: return mmiSubForm(3, saOf(word));
    case 4: return Form::RdRs;
    case 0x10: case 0x12: return Form::Rd;
    case 0x11: case 0x13: return Form::Rs;
    // PMFHL has five formats, PMTHL only the first.
    case 0x30: return saOf(word) <= 4 ? Form::Rd : Form::Unknown;
    case 0x31: return saOf(word) == 0 ? Form::Rs : Form::Unknown;
    case 0x00: case 0x01: case 0x18: case 0x19: case 0x20: case 0x21: return Form::MultRdRsRt;
    case 0x1A: case 0x1B: return Form::ZeroRsRt;
    case 0x34: case 0x36: case 0x37: case 0x3C: case 0x3E: case 0x3F: return Form::RdRtSa;
    default: return Form::Unknown;
    }
}

Form operandForm(u32 word) {
    switch (word >> 26) {
    case kOpSpecial: return specialForm(functionOf(word));
    case kOpRegimm: return regimmForm(rtOf(word));
    case kOpCop0:
        if (rsOf(word) == 0 || rsOf(word) == 4) return Form::RtCop0;
        if (rsOf(word) == 8) return bits(word, 18, 3) == 0 ? Form::Branch : Form::Unknown;
        return rsOf(word) == 16 ? Form::None : Form::Unknown;
    case kOpCop1: return cop1Form(word);
    case kOpCop2:
        if (rsOf(word) == 1 || rsOf(word) == 5) return Form::RtVf;
        if (rsOf(word) == 2 || rsOf(word) == 6) return Form::RtVi;
        return rsOf(word) == 8 ? Form::Branch : Form::Unknown;
    case kOpMmi: return mmiForm(word);
    default: return primaryForm(word >> 26);
    }
}

// The trace names that an assembler spells otherwise. The R5900's
// float-to-integer conversion truncates, and its assembler says so.
constexpr std::pair<const char*, const char*> kAssemblerSpellings[] = {
    {"C_OLT_S", "C.LT.S"}, {"C_OLE_S", "C.LE.S"}, {"CVT_W_S", "TRUNC.W.S"}, {"MF0", "MFC0"}, {"MT0", "MTC0"},
};

// The trace name as an assembler writes it: lower case, the FPU's
// underscores back to dots, the SYNC.P form, the COP0 branches, the
// interlocking COP2 moves, and the pipeline-1 multimedia moves with their
// format suffix.
std::string assemblerMnemonic(u32 word) {
    std::string name = tableName(word);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (const auto& [trace, assembler] : kAssemblerSpellings) {
        if (name == trace) name = assembler;
    }
    if (name == "SYNC" && saOf(word) == 0x10) name = "SYNC.P";
    for (char& c : name) c = c == '_' ? '.' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    // The trace names the four COP0 branches by their format alone.
    if (word >> 26 == kOpCop0 && rsOf(word) == 8) {
        static constexpr const char* kConditions[] = {"f", "t", "fl", "tl"};
        name += kConditions[bits(word, 16, 2)];
    }
    // The COP2 moves with bit 0 set wait for a running VU0 micro program.
    const unsigned cop2Format = rsOf(word);
    if (word >> 26 == kOpCop2 && cop2Format != 8 && cop2Format < 16 && (word & 1)) name += ".i";
    if (word >> 26 == kOpMmi && (functionOf(word) == 0x30 || functionOf(word) == 0x31)) {
        static constexpr const char* kPmfhlFormats[] = {".lw", ".uw", ".slw", ".lh", ".sh"};
        const unsigned format = saOf(word);
        name += format < 5 ? kPmfhlFormats[format] : "";
    }
    return name;
}

std::string format(const char* pattern, auto... args) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

std::string operands(u32 word, u32 address, Form form) {
    const char* rs = kGprNames[rsOf(word)];
    const char* rt = kGprNames[rtOf(word)];
    const char* rd = kGprNames[rdOf(word)];
    const int simm = static_cast<s16>(word & 0xFFFF);
    const unsigned uimm = word & 0xFFFF;
    const u32 branchTarget = address + 4 + static_cast<u32>(simm * 4);
    switch (form) {
    case Form::Unknown:
    case Form::None: return "";
    case Form::Code: {
        if (functionOf(word) == kFunctionSyscall) return bits(word, 6, 20) ? format("0x%x", bits(word, 6, 20)) : "";
        const unsigned high = bits(word, 16, 10), low = bits(word, 6, 10);
        if (low) return format("0x%x,0x%x", high, low);
        return high ? format("0x%x", high) : "";
    }
    case Form::Trap:
        return bits(word, 6, 10) ? format("%s,%s,0x%x", rs, rt, bits(word, 6, 10)) : format("%s,%s", rs, rt);
    case Form::RdRsRt: return format("%s,%s,%s", rd, rs, rt);
    case Form::RdRtRs: return format("%s,%s,%s", rd, rt, rs);
    case Form::RdRtSa: return format("%s,%s,0x%x", rd, rt, saOf(word));
    case Form::RdRt: return format("%s,%s", rd, rt);
    case Form::RdRs: return format("%s,%s", rd, rs);
    case Form::Rd: return rd;
    case Form::Rs: return rs;
    case Form::RsRt: return format("%s,%s", rs, rt);
    case Form::ZeroRsRt: return format("%s,%s,%s", rd, rs, rt);
    case Form::MultRdRsRt: return rdOf(word) == 0 ? format("%s,%s", rs, rt) : format("%s,%s,%s", rd, rs, rt);
    case Form::Jalr: return rdOf(word) == 31 ? std::string(rs) : format("%s,%s", rd, rs);
    case Form::RtRsSigned: return format("%s,%s,%d", rt, rs, simm);
    case Form::RtRsHex: return format("%s,%s,0x%x", rt, rs, uimm);
    case Form::RtHex: return format("%s,0x%x", rt, uimm);
    case Form::RsSigned: return format("%s,%d", rs, simm);
    case Form::RtOffset: return format("%s,%d(%s)", rt, simm, rs);
    case Form::FtOffset: return format("$f%u,%d(%s)", rtOf(word), simm, rs);
    case Form::VfOffset: return format("$vf%u,%d(%s)", rtOf(word), simm, rs);
    case Form::HexOffset: return format("0x%x,%d(%s)", rtOf(word), simm, rs);
    case Form::Jump: return format("0x%x", ((address + 4) & 0xF0000000u) | ((word & 0x03FFFFFFu) << 2));
    case Form::RsRtBranch: return format("%s,%s,0x%x", rs, rt, branchTarget);
    case Form::RsBranch: return format("%s,0x%x", rs, branchTarget);
    case Form::Branch: return format("0x%x", branchTarget);
    case Form::RtCop0: return format("%s,$%u", rt, rdOf(word));
    case Form::RtFs: return format("%s,$f%u", rt, rdOf(word));
    case Form::RtFcr: return format("%s,$%u", rt, rdOf(word));
    case Form::FdFsFt: return format("$f%u,$f%u,$f%u", saOf(word), rdOf(word), rtOf(word));
    case Form::FdFs: return format("$f%u,$f%u", saOf(word), rdOf(word));
    case Form::FdFt: return format("$f%u,$f%u", saOf(word), rtOf(word));
    case Form::FsFt: return format("$f%u,$f%u", rdOf(word), rtOf(word));
    case Form::RtVf: return format("%s,$vf%u", rt, rdOf(word));
    case Form::RtVi: return format("%s,$vi%u", rt, rdOf(word));
    }
    return "";
}

}  // namespace

std::string disasmName(u32 word) {
    if (word >> 26 == kOpSpecial && functionOf(word) == kFunctionSyscall) {
        const char* name = syscallNames[ee.gpr[3].w[0] & 0xFF];
        return name ? name : "SYSCALL";
    }
    return tableName(word);
}

std::string disasmLine(u32 word, u32 pc) {
    if (word == 0) return format("NOP - %08X - %08X", 0u, pc);
    return format("%s - %08X - %08X", disasmName(word).c_str(), word, pc);
}

std::string disasmInstruction(u32 word, u32 address) {
    if (word >> 26 == kOpCop2 && rsOf(word) >= 16) return vuMacroInstruction(word, tableName(word));
    const Form form = operandForm(word);
    if (form == Form::Unknown) return "";
    const std::string name = assemblerMnemonic(word);
    if (name == "ni" || name == "no") return "";
    const std::string text = operands(word, address, form);
    return text.empty() ? name : name + " " + text;
}
