#include "core/branch.h"

#include "core/cpu.h"
#include "core/ee_state.h"

namespace {

// The target and any link are taken before the delay slot runs: the delay
// slot, and interrupt handlers run after it, overwrite code and registers.
void jumpTo(u32 target) { cpuStepDelaySlot(target); }

void linkTo(unsigned reg) {
    if (reg != 0) ee.gpr[reg].d[0] = ee.pc + 4;
}

s64 rsSigned() { return static_cast<s64>(rsReg().d[0]); }
bool rsEqualsRt() { return rsReg().d[0] == rtReg().d[0]; }

// The REGIMM link branches write ra only when taken.
void branchAndLinkIf(bool taken) {
    if (!taken) return;
    linkTo(kGprRa);
    jumpTo(branchTarget());
}

void branchAndLinkLikelyIf(bool taken) {
    if (!taken) {
        ee.pc += 4;
        return;
    }
    linkTo(kGprRa);
    jumpTo(branchTarget());
}

}  // namespace

void opBeq() { branchIf(rsEqualsRt()); }
void opBne() { branchIf(!rsEqualsRt()); }
void opBlez() { branchIf(rsSigned() <= 0); }
void opBgtz() { branchIf(rsSigned() > 0); }
void opBeql() { branchLikelyIf(rsEqualsRt()); }
void opBnel() { branchLikelyIf(!rsEqualsRt()); }
void opBlezl() { branchLikelyIf(rsSigned() <= 0); }
void opBgtzl() { branchLikelyIf(rsSigned() > 0); }

void opBltz() { branchIf(rsSigned() < 0); }
void opBgez() { branchIf(rsSigned() >= 0); }
void opBltzl() { branchLikelyIf(rsSigned() < 0); }
void opBgezl() { branchLikelyIf(rsSigned() >= 0); }
void opBltzal() { branchAndLinkIf(rsSigned() < 0); }
void opBgezal() { branchAndLinkIf(rsSigned() >= 0); }
void opBltzall() { branchAndLinkLikelyIf(rsSigned() < 0); }
void opBgezall() { branchAndLinkLikelyIf(rsSigned() >= 0); }

// The jump target is the index shifted left by two; the PC's upper bits are
// not merged in, which equals the architectural target below 0x10000000.
void opJ() { jumpTo(fieldJumpIndex() << 2); }

void opJal() {
    linkTo(kGprRa);
    jumpTo(fieldJumpIndex() << 2);
}

void opJr() { jumpTo(rsReg().w[0]); }

// rs is read before rd is written, so rd = rs jumps to the old value.
void opJalr() {
    const u32 target = rsReg().w[0];
    linkTo(fieldRd());
    jumpTo(target);
}
