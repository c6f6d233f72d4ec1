// Running the short sequences of guest/entry_points.S: the host sets the PC
// to a sequence's start label (and any registers it needs), runs to its end
// label, and compares the machine state before and after.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "cop/cop0.h"
#include "core/ee_state.h"
#include "support/guest_machine.h"

// Runs from `start` until the PC reaches `end`; returns the instructions
// counted on the way.
inline u32 runFromTo(const char* start, const char* end) {
    ee.pc = guestSymbol(start);
    ee.cycle = 0;
    RunLimits limits;
    limits.maxCycles = 1000;
    limits.hasUntil = true;
    limits.until = guestSymbol(end);
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::Until) << start;
    return ee.cycle;
}

// Runs from `start` to the program's idle loop.
inline void runFromToIdle(const char* start) {
    ee.pc = guestSymbol(start);
    EXPECT_EQ(runGuest(1000), StopReason::IdleLoop) << start;
    EXPECT_EQ(ee.pc, guestSymbol("_idle")) << start;
}

struct CpuSnapshot {
    Reg128 gpr[32];
    Reg128 hi, lo;
    u64 sa;
    Cop0State cop0Regs;

    static CpuSnapshot take() { return {{}, ee.hi, ee.lo, ee.sa, cop0}; }
};

inline CpuSnapshot takeSnapshot() {
    CpuSnapshot snapshot = CpuSnapshot::take();
    std::memcpy(snapshot.gpr, ee.gpr, sizeof(ee.gpr));
    return snapshot;
}

inline bool sameReg(const Reg128& a, const Reg128& b) { return std::memcmp(&a, &b, sizeof(Reg128)) == 0; }

// Every GPR except those in `changedMask` (bit n for GPR n), HI, LO, SA and
// COP0 must be as in `before`.
inline void expectStateKept(const CpuSnapshot& before, u32 changedMask = 0) {
    for (unsigned i = 0; i < 32; ++i) {
        if ((changedMask >> i) & 1) continue;
        EXPECT_TRUE(sameReg(ee.gpr[i], before.gpr[i])) << "GPR " << i << " changed";
    }
    EXPECT_TRUE(sameReg(ee.hi, before.hi)) << "HI changed";
    EXPECT_TRUE(sameReg(ee.lo, before.lo)) << "LO changed";
    EXPECT_EQ(ee.sa, before.sa);
    for (unsigned i = 0; i < 32; ++i) EXPECT_EQ(cop0.r[i], before.cop0Regs.r[i]) << "COP0 register " << i;
}

// Gives every GPR but $0 a distinct 128-bit value.
inline void fillGprs() {
    for (unsigned i = 1; i < 32; ++i) {
        for (unsigned w = 0; w < 4; ++w) ee.gpr[i].w[w] = 0x01010101u * i + 0x10000000u * w;
    }
}

inline constexpr unsigned kGprT9 = 25;
