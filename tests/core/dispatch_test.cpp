// Fetch, dispatch and the cost of each kind of step, from the sequences of
// guest/entry_points.S: cycle counts of taken and not-taken branches, the
// branch-in-delay-slot rule, unassigned encodings, and writes to GPR 0.

#include <gtest/gtest.h>

#include "entry_runner.h"
#include "memory/bus.h"
#include "memory/hw_registers.h"

namespace {

class Dispatch : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loadGuestProgram("cpu_entries"));
        fillGprs();
        ee.gpr[kGprT9].d[0] = 0;
    }
    u64 t9() const { return ee.gpr[kGprT9].d[0]; }
};

struct CycleCase {
    const char* start;
    const char* end;
    u32 cycles;
    u64 t9;  // one per delay slot that ran
};

constexpr CycleCase kCycleCases[] = {
    {"cycTakenStart", "cycTakenEnd", 2, 1},
    {"cycNotTakenStart", "cycNotTakenEnd", 2, 1},            // the delay slot runs as the next step
    {"cycLikelyNotTakenStart", "cycLikelyNotTakenEnd", 1, 0},  // neither run nor counted
    {"cycLikelyTakenStart", "cycLikelyTakenEnd", 2, 1},
    {"cycJalStart", "cycJalEnd", 2, 1},
    {"cycZeroWordsStart", "cycZeroWordsEnd", 3, 0},
};

TEST_F(Dispatch, CyclesOfEachKindOfStep) {
    for (const CycleCase& c : kCycleCases) {
        SCOPED_TRACE(c.start);
        ee.gpr[kGprT9].d[0] = 0;
        EXPECT_EQ(runFromTo(c.start, c.end), c.cycles);
        EXPECT_EQ(t9(), c.t9);
    }
}

TEST_F(Dispatch, AllZeroWordsChangeNothing) {
    const CpuSnapshot before = takeSnapshot();
    EXPECT_EQ(runFromTo("cycZeroWordsStart", "cycZeroWordsEnd"), 3u);
    expectStateKept(before);
}

// The BGEZAL and the J sit in delay slots of taken branches: they neither
// link nor jump, and each costs one cycle with its branch.
TEST_F(Dispatch, BranchInADelaySlotIsANoOp) {
    const CpuSnapshot before = takeSnapshot();
    EXPECT_EQ(runFromTo("cycBranchInDelayStart", "cycBranchInDelayEnd"), 4u);
    expectStateKept(before);
}

// JAL at A links A + 8 with bits 32..63 zero and bits 64..127 kept.
TEST_F(Dispatch, JalLinksItsAddressPlusEight) {
    const Reg128 raBefore = ee.gpr[kGprRa];
    runFromTo("cycJalStart", "cycJalEnd");
    EXPECT_EQ(ee.gpr[kGprRa].d[0], guestSymbol("cycJalStart") + 8u);
    EXPECT_EQ(ee.gpr[kGprRa].d[1], raBefore.d[1]);
}

// The word after a not-taken BNE at A runs as an ordinary instruction with
// pc = A + 8: a BGEZAL there links A + 12.
TEST_F(Dispatch, NotTakenBranchLeavesItsDelaySlotToTheNextStep) {
    EXPECT_EQ(runFromTo("notTakenDelayStart", "notTakenDelayEnd"), 3u);
    EXPECT_EQ(ee.gpr[kGprRa].d[0], guestSymbol("notTakenDelayStart") + 12u);
    EXPECT_EQ(t9(), 1u);
}

TEST_F(Dispatch, BranchToItselfIsTheIdleLoop) {
    ee.pc = guestSymbol("selfLoop");
    ee.cycle = 0;
    EXPECT_EQ(runGuest(1000), StopReason::IdleLoop);
    EXPECT_EQ(ee.pc, guestSymbol("selfLoop"));
    EXPECT_EQ(ee.cycle, 2u);
}

// BREAK, SYNC, CACHE, PREF, ERET, the REGIMM trap-immediates, MTSAB/MTSAH
// and a few empty slots of the primary and SPECIAL tables: 17 words, each
// one cycle, nothing changed.
TEST_F(Dispatch, UnassignedEncodingsDoNothing) {
    ee.sa = 0x55;
    cop0.r[kCop0Cause] = 0;
    const CpuSnapshot before = takeSnapshot();
    EXPECT_EQ(runFromTo("unassignedStart", "unassignedEnd"), 17u);
    expectStateKept(before);
}

TEST_F(Dispatch, WritesToGprZeroAreDiscarded) {
    const u32 sink = guestSymbol("zeroSink");
    runFromTo("zeroWritesStart", "zeroWritesEnd");
    EXPECT_EQ(ee.gpr[8].d[0], 0u);   // t0 = $0 + $0 after ADDIU $0
    EXPECT_EQ(ee.gpr[10].d[0], 0u);  // t2 = $0 | $0 after LW $0
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(guestWord(sink + 4 * i), 0u) << "SQ $0 after LQ $0, word " << i;
}

// A load into $0 still reads: from the GS CSR it runs a vertical blank,
// which raises INTC_STAT bits 2 and 3.
TEST_F(Dispatch, LoadIntoGprZeroStillReads) {
    const u32 intcStat = kHwStart + kHwIntcStat;
    memWrite32(0xFFFFFFFF, intcStat);  // writing 1s clears INTC_STAT
    memRead32(kGsCsr);
    const bool csrReadVisible = (memRead32(intcStat) & 0xC) == 0xC;
    if (!csrReadVisible) GTEST_SKIP() << "a CSR read raises no vertical-blank bits yet";
    memWrite32(0xFFFFFFFF, intcStat);
    runFromTo("zeroWritesStart", "zeroWritesEnd");
    EXPECT_EQ(memRead32(intcStat) & 0xC, 0xCu);
}

}  // namespace
