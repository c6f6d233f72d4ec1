#include "debugger/vu_macro_disassembler.h"

#include <cstdio>
#include <string_view>

namespace {

unsigned bits(u32 word, unsigned low, unsigned count) { return (word >> low) & ((1u << count) - 1); }
unsigned destOf(u32 word) { return bits(word, 21, 4); }  // x is bit 24, w bit 21
unsigned ftOf(u32 word) { return bits(word, 16, 5); }
unsigned fsOf(u32 word) { return bits(word, 11, 5); }
unsigned fdOf(u32 word) { return bits(word, 6, 5); }
unsigned functionOf(u32 word) { return bits(word, 0, 6); }
// The one-component selectors of DIV, SQRT, MTIR and the random-number
// operations: fsf in bits 21-22, ftf in bits 23-24.
unsigned fsfOf(u32 word) { return bits(word, 21, 2); }
unsigned ftfOf(u32 word) { return bits(word, 23, 2); }

constexpr char kComponents[] = "xyzw";

// The operand shapes of the macro operations.
enum class VuForm {
    Unknown,
    None,          // vnop, vwaitq
    FdFsFt,        // vadd.xyzw $vf1xyzw,$vf2xyzw,$vf3xyzw
    FdFsBc,        // vaddx.xyzw $vf1xyzw,$vf2xyzw,$vf3x
    FdFsQ,         // vaddq.xyzw $vf1xyzw,$vf2xyzw,$Q
    FdFsI,         // vaddi.xyzw $vf1xyzw,$vf2xyzw,$I
    AccFsFt,       // vadda.xyzw $ACCxyzw,$vf2xyzw,$vf3xyzw
    AccFsBc,       // vaddax.xyzw $ACCxyzw,$vf2xyzw,$vf3x
    AccFsQ,        // vaddaq.xyzw $ACCxyzw,$vf2xyzw,$Q
    AccFsI,        // vaddai.xyzw $ACCxyzw,$vf2xyzw,$I
    FtFs,          // vmove.xyzw $vf1xyzw,$vf2xyzw
    ClipW,         // vclipw.xyz $vf1xyz,$vf2w
    IdIsIt,        // viadd $vi1,$vi2,$vi3
    ItIsImm5,      // viaddi $vi1,$vi2,-3
    CallMs,        // vcallms 0x100
    CallMsr,       // vcallmsr $vi27
    LoadIncrement, // vlqi.xyzw $vf1xyzw,($vi2++)
    StoreIncrement,// vsqi.xyzw $vf1xyzw,($vi2++)
    LoadDecrement, // vlqd.xyzw $vf1xyzw,(--$vi2)
    StoreDecrement,// vsqd.xyzw $vf1xyzw,(--$vi2)
    ItIs,          // vilwr.x $vi1,($vi2)
    Mtir,          // vmtir $vi1,$vf2x
    Mfir,          // vmfir.xyzw $vf1xyzw,$vi2
    Divide,        // vdiv $Q,$vf1x,$vf2y; vrsqrt likewise
    SquareRoot,    // vsqrt $Q,$vf2z
    RandomFrom,    // vrinit $R,$vf1x; vrxor likewise
    RandomTo,      // vrget.xyzw $vf1xyzw,$R; vrnext likewise
};

// COP2 special table 1, by bits 0-5.
VuForm special1Form(unsigned function) {
    if (function < 0x1C) return VuForm::FdFsBc;
    if (function == 0x1C) return VuForm::FdFsQ;
    if (function < 0x20) return VuForm::FdFsI;
    if (function < 0x28) return (function & 2) ? VuForm::FdFsI : VuForm::FdFsQ;
    if (function < 0x30) return VuForm::FdFsFt;
    switch (function) {
    case 0x30: case 0x31: case 0x34: case 0x35: return VuForm::IdIsIt;
    case 0x32: return VuForm::ItIsImm5;
    case 0x38: return VuForm::CallMs;
    case 0x39: return VuForm::CallMsr;
    default: return VuForm::Unknown;
    }
}

// COP2 special table 2, by bits 6-10 times four plus bits 0-1.
VuForm special2Form(unsigned index) {
    if (index < 0x10 || (index >= 0x18 && index < 0x1C)) return VuForm::AccFsBc;
    if (index < 0x18) return VuForm::FtFs;  // the conversions
    if (index >= 0x20 && index < 0x28) return (index & 2) ? VuForm::AccFsI : VuForm::AccFsQ;
    switch (index) {
    case 0x1C: return VuForm::AccFsQ;
    case 0x1D: return VuForm::FtFs;  // vabs
    case 0x1E: return VuForm::AccFsI;
    case 0x1F: return VuForm::ClipW;
    case 0x28: case 0x29: case 0x2A: case 0x2C: case 0x2D: case 0x2E: return VuForm::AccFsFt;
    case 0x2F: case 0x3B: return VuForm::None;
    case 0x30: case 0x31: return VuForm::FtFs;  // vmove, vmr32
    case 0x34: return VuForm::LoadIncrement;
    case 0x35: return VuForm::StoreIncrement;
    case 0x36: return VuForm::LoadDecrement;
    case 0x37: return VuForm::StoreDecrement;
    case 0x38: case 0x3A: return VuForm::Divide;
    case 0x39: return VuForm::SquareRoot;
    case 0x3C: return VuForm::Mtir;
    case 0x3D: return VuForm::Mfir;
    case 0x3E: case 0x3F: return VuForm::ItIs;
    case 0x40: case 0x41: return VuForm::RandomTo;
    case 0x42: case 0x43: return VuForm::RandomFrom;
    default: return VuForm::Unknown;
    }
}

// The forms whose mnemonic carries the destination field mask.
bool takesFieldMask(VuForm form) {
    switch (form) {
    case VuForm::Unknown: case VuForm::None: case VuForm::IdIsIt: case VuForm::ItIsImm5: case VuForm::CallMs:
    case VuForm::CallMsr: case VuForm::Mtir: case VuForm::Divide: case VuForm::SquareRoot:
    case VuForm::RandomFrom:
        return false;
    default: return true;
    }
}

std::string fieldMask(u32 word) {
    std::string mask;
    for (unsigned component = 0; component < 4; ++component) {
        if (destOf(word) & (8u >> component)) mask += kComponents[component];
    }
    return mask;
}

std::string format(const char* pattern, auto... args) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

std::string operands(u32 word, VuForm form) {
    const std::string m = fieldMask(word);
    const char* mask = m.c_str();
    const unsigned ft = ftOf(word), fs = fsOf(word), fd = fdOf(word);
    const char broadcast = kComponents[bits(word, 0, 2)];
    switch (form) {
    case VuForm::Unknown:
    case VuForm::None: return "";
    case VuForm::FdFsFt: return format("$vf%u%s,$vf%u%s,$vf%u%s", fd, mask, fs, mask, ft, mask);
    case VuForm::FdFsBc: return format("$vf%u%s,$vf%u%s,$vf%u%c", fd, mask, fs, mask, ft, broadcast);
    case VuForm::FdFsQ: return format("$vf%u%s,$vf%u%s,$Q", fd, mask, fs, mask);
    case VuForm::FdFsI: return format("$vf%u%s,$vf%u%s,$I", fd, mask, fs, mask);
    case VuForm::AccFsFt: return format("$ACC%s,$vf%u%s,$vf%u%s", mask, fs, mask, ft, mask);
    case VuForm::AccFsBc: return format("$ACC%s,$vf%u%s,$vf%u%c", mask, fs, mask, ft, broadcast);
    case VuForm::AccFsQ: return format("$ACC%s,$vf%u%s,$Q", mask, fs, mask);
    case VuForm::AccFsI: return format("$ACC%s,$vf%u%s,$I", mask, fs, mask);
    case VuForm::FtFs: return format("$vf%u%s,$vf%u%s", ft, mask, fs, mask);
    case VuForm::ClipW: return format("$vf%u%s,$vf%uw", fs, mask, ft);
    case VuForm::IdIsIt: return format("$vi%u,$vi%u,$vi%u", fd, fs, ft);
    case VuForm::ItIsImm5: {
        const int immediate = static_cast<int>(fd) - (fd & 0x10 ? 32 : 0);
        return format("$vi%u,$vi%u,%d", ft, fs, immediate);
    }
    // The micro program's address in instruction pairs (8 bytes each).
    case VuForm::CallMs: return format("0x%x", bits(word, 6, 15) * 8);
    case VuForm::CallMsr: return format("$vi%u", fs);
    case VuForm::LoadIncrement: return format("$vf%u%s,($vi%u++)", ft, mask, fs);
    case VuForm::StoreIncrement: return format("$vf%u%s,($vi%u++)", fs, mask, ft);
    case VuForm::LoadDecrement: return format("$vf%u%s,(--$vi%u)", ft, mask, fs);
    case VuForm::StoreDecrement: return format("$vf%u%s,(--$vi%u)", fs, mask, ft);
    case VuForm::ItIs: return format("$vi%u,($vi%u)", ft, fs);
    case VuForm::Mtir: return format("$vi%u,$vf%u%c", ft, fs, kComponents[fsfOf(word)]);
    case VuForm::Mfir: return format("$vf%u%s,$vi%u", ft, mask, fs);
    case VuForm::Divide:
        return format("$Q,$vf%u%c,$vf%u%c", fs, kComponents[fsfOf(word)], ft, kComponents[ftfOf(word)]);
    case VuForm::SquareRoot: return format("$Q,$vf%u%c", ft, kComponents[ftfOf(word)]);
    case VuForm::RandomFrom: return format("$R,$vf%u%c", fs, kComponents[fsfOf(word)]);
    case VuForm::RandomTo: return format("$vf%u%s,$R", ft, mask);
    }
    return "";
}

// The trace's name as an assembler writes it: lower case; the trace names
// the VU's MINI operations VMIN and its CLIPw VCLIP.
std::string assemblerMnemonic(std::string_view traceName) {
    std::string name;
    if (traceName.starts_with("VMIN")) {
        name = "vmini";
        traceName.remove_prefix(4);
    } else if (traceName == "VCLIP") {
        return "vclipw";
    }
    for (char c : traceName) name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name;
}

}  // namespace

std::string vuMacroInstruction(u32 word, const char* traceName) {
    const unsigned function = functionOf(word);
    // Bits 2-5 all set select the second table; 0x3B names an operation
    // in the trace's table only.
    VuForm form = VuForm::Unknown;
    if (function >= 0x3C) {
        form = special2Form(fdOf(word) * 4 | bits(word, 0, 2));
    } else if (function < 0x3B) {
        form = special1Form(function);
    }
    const std::string_view name = traceName;
    if (form == VuForm::Unknown || name == "NO" || name.starts_with("C2")) return "";
    std::string text = assemblerMnemonic(name);
    if (takesFieldMask(form)) text.append(".").append(fieldMask(word));
    const std::string spelled = operands(word, form);
    return spelled.empty() ? text : text + " " + spelled;
}
