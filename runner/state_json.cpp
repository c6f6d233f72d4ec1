#include "runner/state_json.h"

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "kernel/objects.h"
#include "vu/vu_state.h"

std::string hexDigits(u64 value, unsigned digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(digits, '0');
    for (unsigned i = 0; i < digits && i < 16; ++i) {
        text[digits - 1 - i] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

std::string hexReg128(const Reg128& reg) {
    return hexDigits(reg.w[3], 8) + hexDigits(reg.w[2], 8) + hexDigits(reg.w[1], 8) + hexDigits(reg.w[0], 8);
}

namespace {

std::string quoted(const std::string& text) { return '"' + text + '"'; }

// A JSON array of 32-bit words, 8 digits each.
template <std::size_t Count>
std::string wordArray(const u32 (&words)[Count]) {
    std::string text = "[";
    for (std::size_t i = 0; i < Count; ++i) {
        if (i != 0) text += ", ";
        text += quoted(hexDigits(words[i], 8));
    }
    return text + "]";
}

std::string vectorArray(const VuVector& vector) { return wordArray(vector.u); }

std::string vuJson(const VuState& vu) {
    std::string text = "{\n    \"vf\": [\n";
    for (unsigned i = 0; i < 32; ++i) text += "      " + vectorArray(vu.vf[i]) + (i != 31 ? ",\n" : "\n");
    text += "    ],\n";
    text += "    \"acc\": " + vectorArray(vu.vuAcc) + ",\n";
    text += "    \"vi\": " + wordArray(vu.vi) + ",\n";
    text += "    \"tpc\": " + quoted(hexDigits(vu.tpc, 8)) + "\n  }";
    return text;
}

}  // namespace

std::string machineStateJson(StopReason reason) {
    std::string gpr = "[";
    for (unsigned i = 0; i < 32; ++i) gpr += (i != 0 ? ",\n    " : "\n    ") + quoted(hexReg128(ee.gpr[i]));
    gpr += "\n  ]";

    u32 fpr[32];
    for (unsigned i = 0; i < 32; ++i) fpr[i] = fpu.fpr[i].u;

    std::string text = "{\n";
    text += "  \"stop\": " + quoted(stopReasonName(reason)) + ",\n";
    text += "  \"pc\": " + quoted(hexDigits(ee.pc, 8)) + ",\n";
    text += "  \"cycle\": " + std::to_string(ee.cycle) + ",\n";
    if (reason == StopReason::Exit) text += "  \"exitCode\": " + std::to_string(programExitCode()) + ",\n";
    text += "  \"thread\": " + std::to_string(kernel.currentThreadId) + ",\n";
    text += "  \"gpr\": " + gpr + ",\n";
    text += "  \"hi\": " + quoted(hexReg128(ee.hi)) + ",\n";
    text += "  \"lo\": " + quoted(hexReg128(ee.lo)) + ",\n";
    text += "  \"sa\": " + quoted(hexDigits(ee.sa, 16)) + ",\n";
    text += "  \"cop0\": " + wordArray(cop0.r) + ",\n";
    text += "  \"fpr\": " + wordArray(fpr) + ",\n";
    text += "  \"fpuAcc\": " + quoted(hexDigits(fpu.fpuAcc.u, 8)) + ",\n";
    text += "  \"fcr0\": " + quoted(hexDigits(fpu.fcr[0], 8)) + ",\n";
    text += "  \"fcr31\": " + quoted(hexDigits(fpu.fcr[31], 8)) + ",\n";
    text += "  \"vu0\": " + vuJson(vu0) + ",\n";
    text += "  \"vu1\": " + vuJson(vu1) + "\n";
    return text + "}\n";
}
