// Short sequences of guest/cpu_entries.S, started at their own label with
// registers set from the host: the cost of each kind of step, branches in
// delay slots, unassigned encodings, writes to GPR 0, the traps and SYSCALL.

#include <gtest/gtest.h>

#include <cstring>

#include "cop/cop0.h"
#include "core/ee_state.h"
#include "devices/hw_registers.h"
#include "memory/bus.h"
#include "support/guest_machine.h"

namespace {

constexpr unsigned kGprT9 = 25;

u32 runFromTo(const char* start, const char* end) {
    ee.pc = guestSymbol(start);
    ee.cycle = 0;
    RunLimits limits;
    limits.maxCycles = 1000;
    limits.hasUntil = true;
    limits.until = guestSymbol(end);
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::Until) << start;
    return ee.cycle;
}

void runFromToIdle(const char* start) {
    ee.pc = guestSymbol(start);
    EXPECT_EQ(runGuest(1000), StopReason::IdleLoop) << start;
}

bool sameReg(const Reg128& a, const Reg128& b) { return std::memcmp(&a, &b, sizeof(Reg128)) == 0; }

class EntryPoints : public testing::Test {
protected:
    // Every GPR but $0 gets a distinct 128-bit value; SA one that MTSAB
    // would change.
    void SetUp() override {
        ASSERT_TRUE(loadGuestProgram("cpu_entries"));
        for (unsigned i = 1; i < 32; ++i) {
            for (unsigned w = 0; w < 4; ++w) ee.gpr[i].w[w] = 0x01010101u * i + 0x10000000u * w;
        }
        ee.gpr[kGprT9].d[0] = 0;
        ee.sa = 0x55;
    }
};

struct Sequence {
    const char* start;
    const char* end;
    u32 cycles;
    u64 t9;          // one per delay slot that ran
    u32 raOffset;    // GPR 31 = start + raOffset; 0 when it must be kept
};

constexpr Sequence kSequences[] = {
    {"cycTakenStart", "cycTakenEnd", 2, 1, 0},
    {"cycNotTakenStart", "cycNotTakenEnd", 2, 1, 0},            // the delay slot runs as the next step
    {"cycLikelyNotTakenStart", "cycLikelyNotTakenEnd", 1, 0, 0},  // neither run nor counted
    {"cycLikelyTakenStart", "cycLikelyTakenEnd", 2, 1, 0},
    {"cycJalStart", "cycJalEnd", 2, 1, 8},
    {"cycZeroWordsStart", "cycZeroWordsEnd", 3, 0, 0},
    // The BGEZAL, JALR, BC1F, BC1T and J sit in delay slots of taken
    // branches: they neither link nor jump, and each costs one cycle with
    // its branch.
    {"cycBranchInDelayStart", "cycBranchInDelayEnd", 10, 0, 0},
    // The BGEZAL in the delay slot of a not-taken BNE at A sees pc = A + 8.
    {"notTakenDelayStart", "notTakenDelayEnd", 3, 1, 12},
    // BREAK, SYNC, CACHE, PREF, ERET, the REGIMM trap-immediates,
    // MTSAB/MTSAH and empty slots of the primary and SPECIAL tables.
    {"unassignedStart", "unassignedEnd", 17, 0, 0},
};

// Besides t9 and the link, no GPR, nor HI, LO, SA or COP0 may change.
TEST_F(EntryPoints, CyclesAndEffectsOfEachKindOfStep) {
    for (const Sequence& s : kSequences) {
        SCOPED_TRACE(s.start);
        ee.gpr[kGprT9].d[0] = 0;
        const EeCpuState before = ee;
        const Cop0State cop0Before = cop0;
        EXPECT_EQ(runFromTo(s.start, s.end), s.cycles);
        EXPECT_EQ(ee.gpr[kGprT9].d[0], s.t9);
        for (unsigned i = 0; i < 31; ++i) {
            EXPECT_TRUE(i == kGprT9 || sameReg(ee.gpr[i], before.gpr[i])) << "GPR " << i;
        }
        Reg128 ra = before.gpr[kGprRa];
        if (s.raOffset) ra.d[0] = guestSymbol(s.start) + s.raOffset;
        EXPECT_TRUE(sameReg(ee.gpr[kGprRa], ra)) << "GPR 31";
        EXPECT_TRUE(sameReg(ee.hi, before.hi) && sameReg(ee.lo, before.lo) && ee.sa == before.sa);
        EXPECT_EQ(std::memcmp(&cop0, &cop0Before, sizeof cop0), 0) << "COP0 changed";
    }
}

TEST_F(EntryPoints, WritesToGprZeroAreDiscarded) {
    runFromTo("zeroWritesStart", "zeroWritesEnd");
    EXPECT_EQ(ee.gpr[8].d[0], 0u);   // t0 = $0 + $0 after ADDIU $0
    EXPECT_EQ(ee.gpr[10].d[0], 0u);  // t2 = $0 | $0 after LW $0
    const u32 sink = guestSymbol("zeroSink");
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(guestWord(sink + 4 * i), 0u) << "SQ $0 after LQ $0, word " << i;
}

// A load into $0 still reads: from the GS CSR it runs a vertical blank,
// which raises INTC_STAT bits 2 and 3.
TEST_F(EntryPoints, LoadIntoGprZeroStillReads) {
    const u32 intcStat = kHwStart + kHwIntcStat;
    memWrite32(0xFFFFFFFF, intcStat);  // writing 1s clears INTC_STAT
    runFromTo("zeroWritesStart", "zeroWritesEnd");
    EXPECT_EQ(memRead32(intcStat) & 0xC, 0xCu);
}

struct TrapCase {
    const char* entry;
    u64 rs, rt;
    bool fires;
};

constexpr TrapCase kTrapCases[] = {
    {"trapTge", 1, 1, true},
    {"trapTge", 0, 0xFFFFFFFFFFFFFFFF, true},
    {"trapTge", 0xFFFFFFFFFFFFFFFF, 0, false},
    {"trapTgeu", 0xFFFFFFFFFFFFFFFF, 0, true},
    {"trapTgeu", 0, 0xFFFFFFFFFFFFFFFF, false},
    {"trapTlt", 0xFFFFFFFFFFFFFFFF, 0, true},
    {"trapTlt", 0x80000000, 0, false},  // positive as a 64-bit number
    {"trapTltu", 0, 0xFFFFFFFFFFFFFFFF, true},
    {"trapTltu", 0xFFFFFFFFFFFFFFFF, 0, false},
    {"trapTeq", 5, 5, true},
    {"trapTeq", 0x100000005, 5, false},  // equal low words, different bits 32..63
    {"trapTne", 0x100000005, 5, true},
    {"trapTne", 7, 7, false},
};

// ExcCode (bits 2..6) holds 18 before, with bits 3 and 6 set, which a trap
// must clear to make it 13; the bits around it must survive.
TEST_F(EntryPoints, TrapsWriteOnlyExcCodeAndExecutionContinues) {
    constexpr u32 kCauseBefore = 0x80007F4B, kCauseAfterTrap = 0x80007F37;
    for (const TrapCase& c : kTrapCases) {
        SCOPED_TRACE(testing::Message() << c.entry << " " << std::hex << c.rs << ", " << c.rt);
        cop0.r[kCop0Cause] = kCauseBefore;
        cop0.r[kCop0Epc] = 0x12345678;
        ee.gpr[kGprA0].d[0] = c.rs;
        ee.gpr[kGprA1].d[0] = c.rt;
        ee.gpr[kGprT9].d[0] = 0;
        const u32 status = cop0.r[kCop0Status];
        runFromToIdle(c.entry);
        EXPECT_EQ(cop0.r[kCop0Cause], c.fires ? kCauseAfterTrap : kCauseBefore);
        EXPECT_EQ(cop0.r[kCop0Epc], 0x12345678u);
        EXPECT_EQ(cop0.r[kCop0Status], status);
        EXPECT_EQ(ee.gpr[kGprT9].d[0], 1u) << "the instruction after the trap did not run";
    }
}

// The kernel table is indexed by the low byte of v1 alone. Number 61
// (RFU061) returns a0 + a1 in all 64 bits of v0; 0xFF and 188 are no-ops.
TEST_F(EntryPoints, SyscallDispatchesOnTheLowByteOfV1) {
    const Reg128 v0Before = ee.gpr[kGprV0];
    for (u32 v1 : {0x3Du, 0x13Du, 0xFFFFFF3Du, 0xFFu, 0x1FFu, 0xFFFFFFBCu /* -68: number 188 */}) {
        SCOPED_TRACE(testing::Message() << "v1 = " << std::hex << v1);
        ee.gpr[kGprV0] = v0Before;
        ee.gpr[kGprV1].d[0] = v1;
        ee.gpr[kGprA0].d[0] = 5;
        ee.gpr[kGprA1].d[0] = 0x100000000;
        ee.gpr[kGprT9].d[0] = 0;
        runFromToIdle("syscallEntry");
        EXPECT_EQ(ee.gpr[kGprT9].d[0], 1u);
        EXPECT_EQ(ee.gpr[kGprV0].d[0], (v1 & 0xFF) == 0x3D ? 0x100000005u : v0Before.d[0]);
        EXPECT_EQ(ee.gpr[kGprV0].d[1], v0Before.d[1]);
    }
}

}  // namespace
