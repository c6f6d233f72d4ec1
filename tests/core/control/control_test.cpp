// Emulation control: what a reset puts back and what it keeps, and how the
// run loop ends (nothing loaded, cycle limit, --until address, idle loop, a
// stop raised inside an instruction).
// The Escape stop is seen through the vertical blank's key events.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "core/work_budget.h"
#include "devices/timers.h"
#include "disc/elf_loader.h"
#include "memory/bus.h"
#include "plugins/plugin_host.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

namespace {

constexpr unsigned kV1 = 3, kA0 = 4, kT0 = 8, kT1 = 9;
constexpr u32 kCodeAt = 0x00100000;

// An I-type word; a branch offset counts words from the delay slot.
constexpr u32 iType(u32 opcode, unsigned rs, unsigned rt, s16 imm) {
    return (opcode << 26) | (rs << 21) | (rt << 16) | static_cast<u16>(imm);
}
constexpr u32 kAddiu = 9, kBeq = 4, kBne = 5;
constexpr u32 kSyscall = 0x0000000C;
constexpr u32 jump(u32 target) { return (2u << 26) | ((target >> 2) & 0x03FFFFFF); }

// A fresh machine with `words` at kCodeAt, the PC there and the program
// counted as loaded, as after an ELF load.
void placeProgram(std::initializer_list<u32> words) {
    resetMachine();
    u32 at = kCodeAt;
    for (u32 word : words) {
        memWrite32(word, at);
        at += 4;
    }
    ee.pc = kCodeAt;
    programLoaded = 1;
}

// Three instructions per round, counted as 1 + 2 since the branch step
// runs its delay slot: t0 counts the rounds, t1 the delay slots.
void placeCountingLoop() {
    placeProgram({iType(kAddiu, kT0, kT0, 1), iType(kBeq, 0, 0, -2), iType(kAddiu, kT1, kT1, 1)});
}

StopReason runFor(u64 maxCycles, bool stopAtIdleLoop = true) {
    RunLimits limits;
    limits.maxCycles = maxCycles;
    limits.stopAtIdleLoop = stopAtIdleLoop;
    return emuRunWithLimits(limits);
}

TEST(Control, StartWithNothingLoadedRunsNothingAndStopClosesOnce) {
    resetMachine();
    memWrite32(iType(kAddiu, 0, kT0, 1), 0);  // what would run at the reset PC of 0
    emuRun();
    EXPECT_EQ(runFor(100), StopReason::NotLoaded);
    EXPECT_EQ(ee.cycle, 0u);
    EXPECT_EQ(ee.gpr[kT0].d[0], 0u);
    EXPECT_EQ(pluginsOpened, 0u);
    EXPECT_EQ(stopFlag, 0u) << "an ignored Start does not touch the stop flag";

    pluginsOpened = 1;
    for (int stop = 0; stop < 2; ++stop) {
        emuStop();
        EXPECT_EQ(stopFlag, 1u);
        EXPECT_EQ(pluginsOpened, 0u);
    }
}

TEST(Control, ResetPutsTheRegistersBackButKeepsHiLoSaAndCode) {
    resetMachine();
    for (Reg128& reg : ee.gpr) reg.d[0] = reg.d[1] = 0xFEEDFACECAFEBEEFull;
    const Reg128 hi = {.d = {0x1111111111111111ull, 0x2222222222222222ull}};
    const Reg128 lo = {.d = {0x3333333333333333ull, 0x4444444444444444ull}};
    ee.hi = hi;
    ee.lo = lo;
    ee.sa = 0x5555555555555555ull;
    ee.code = 0x66666666;
    ee.cycle = 123456;
    std::memset(&cop0, 0xA5, sizeof cop0);
    std::memset(&fpu, 0x5A, sizeof fpu);
    std::memset(&vu0, 0x3C, offsetof(VuState, microMem));
    vu1.vf[0].f[3] = 5.0f;
    vu1.vf[7].u[1] = 0x3C3C3C3C;

    emuReset();

    for (unsigned r = 0; r < 32; ++r) {
        const u64 low = r == kGprGp ? 0x81F80000 : r == kGprSp ? 0x81F00000 : 0;
        EXPECT_TRUE(ee.gpr[r].d[0] == low && ee.gpr[r].d[1] == 0) << "GPR " << r;
        const u32 cop0Value = r == kCop0Status ? 0x10900001 : r == kCop0PRId ? 0x2E20 : 0;
        EXPECT_EQ(cop0.r[r], cop0Value) << "COP0 " << r;
        EXPECT_EQ(fpu.fpr[r].u, 0u) << "FPR " << r;
        EXPECT_EQ(fpu.fcr[r], r == 0 ? 0x2E00u : r == 31 ? 0x01000001u : 0u) << "FCR " << r;
    }
    EXPECT_EQ(std::memcmp(&ee.hi, &hi, sizeof hi), 0);
    EXPECT_EQ(std::memcmp(&ee.lo, &lo, sizeof lo), 0);
    EXPECT_EQ(ee.sa, 0x5555555555555555ull);
    EXPECT_EQ(ee.code, 0x66666666u);
    EXPECT_EQ(ee.cycle, 0u);
    EXPECT_EQ(fpu.fpuAcc.u, 0u);
    // VU0 is cleared whole; VU1 only gets VF0 = (0, 0, 0, 1) back.
    for (const VuState* unit : {&vu0, &vu1}) {
        for (unsigned lane = 0; lane < 4; ++lane) EXPECT_EQ(unit->vf[0].f[lane], lane == 3 ? 1.0f : 0.0f);
    }
    EXPECT_EQ(vu0.vf[7].u[1], 0u);
    EXPECT_EQ(vu0.vi[1], 0u);
    EXPECT_EQ(vu1.vf[7].u[1], 0x3C3C3C3Cu);
}

TEST(Control, ResetRestartsAtTheLastEntryOrZeroWithRamCleared) {
    resetMachine();
    ee.pc = 0x1234;
    emuReset();
    EXPECT_EQ(ee.pc, 0u);

    ASSERT_TRUE(loadGuestProgram("demo"));
    const u32 entry = guestSymbol("_start");
    EXPECT_EQ(runGuest(), StopReason::IdleLoop);
    emuReset();
    EXPECT_EQ(ee.pc, entry);
    EXPECT_EQ(programLoaded, 1u);
    // Start then runs the cleared RAM: all-zero words are no-operations.
    EXPECT_EQ(runFor(100), StopReason::MaxCycles);
    EXPECT_EQ(ee.pc, entry + 400);
}

struct LimitCase {
    u32 cycleBefore;
    u64 maxCycles;
    u32 cycleAfter, rounds, delaySlots, pc;
};

constexpr LimitCase kLimitCases[] = {
    {0, 0, 0, 0, 0, kCodeAt},
    {0, 1, 1, 1, 0, kCodeAt + 4},
    {0, 2, 3, 1, 1, kCodeAt},  // the taken branch overshoots by its delay slot
    {0, 3000, 3000, 1000, 1000, kCodeAt},
    {0xFFFFFFF0, 30, 0xE, 10, 10, kCodeAt},  // counted across the wrap
};

TEST(Control, CycleLimitStopsAfterThatManyInstructions) {
    for (const LimitCase& c : kLimitCases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.maxCycles << " from " << c.cycleBefore);
        placeCountingLoop();
        ee.cycle = c.cycleBefore;
        EXPECT_EQ(runFor(c.maxCycles), StopReason::MaxCycles);
        EXPECT_EQ(ee.cycle, c.cycleAfter);
        EXPECT_EQ(ee.gpr[kT0].d[0], c.rounds);
        EXPECT_EQ(ee.gpr[kT1].d[0], c.delaySlots);
        EXPECT_EQ(ee.pc, c.pc);
        EXPECT_EQ(pluginsOpened, 0u) << "the end of a run closes the plugins";
    }
}

// Only a taken branch or jump to itself is an idle loop, and only when the
// limits ask for the stop.
TEST(Control, IdleLoopIsATakenBranchOrJumpToItself) {
    placeProgram({iType(kBne, 0, 0, -1), 0, iType(kBeq, 0, 0, -1), 0});
    EXPECT_EQ(runFor(1000), StopReason::IdleLoop);
    EXPECT_EQ(ee.pc, kCodeAt + 8);
    EXPECT_EQ(ee.cycle, 4u);

    placeProgram({0, jump(kCodeAt + 4), 0});
    EXPECT_EQ(runFor(1000), StopReason::IdleLoop);
    EXPECT_EQ(ee.pc, kCodeAt + 4);
    placeProgram({0, jump(kCodeAt + 4), 0});
    EXPECT_EQ(runFor(101, false), StopReason::MaxCycles);
    EXPECT_EQ(ee.pc, kCodeAt + 4);

    // The delay slot runs once before the stop; an idle loop reached on the
    // run's last cycle is still reported as one.
    placeProgram({iType(kBeq, 0, 0, -1), iType(kAddiu, kT0, kT0, 1)});
    EXPECT_EQ(runFor(2), StopReason::IdleLoop);
    EXPECT_EQ(ee.gpr[kT0].d[0], 1u);
    EXPECT_EQ(ee.cycle, 2u);

    // A loop of two instructions is not idle.
    placeProgram({iType(kAddiu, kT0, kT0, 1), iType(kBeq, 0, 0, -2), 0});
    EXPECT_EQ(runFor(300), StopReason::MaxCycles);
}

// A stop that must cut nothing (a pause to save the machine) asked for in
// the middle of an instruction's work comes once that work has ended.
TEST(Control, AStopAskedForDuringWorkComesWhenTheWorkHasEnded) {
    stopFlag = 0;
    {
        WorkScope instruction;
        WorkScope transfer;
        workStopWhenDone();
        EXPECT_TRUE(workCharge(1, LogCategory::Gif, "transfer")) << "the work goes on";
    }
    EXPECT_EQ(stopFlag, 1u) << "once the outermost work has ended";
    stopFlag = 0;
    workStopWhenDone();
    EXPECT_EQ(stopFlag, 1u) << "with no work in progress, at once";
}

// A stop raised inside an instruction (the kernel's Exit, the vertical blank
// that reaches the run's limit after a taken branch) ends the run right after
// that instruction: the next one does not run.
TEST(Control, AStopRaisedInsideAnInstructionEndsTheRunAfterIt) {
    constexpr u32 kExit = 4;
    placeProgram({iType(kAddiu, 0, kV1, kExit), iType(kAddiu, 0, kA0, 7), kSyscall, iType(kAddiu, kT0, kT0, 1),
                  iType(kBeq, 0, 0, -1), 0});
    EXPECT_EQ(runFor(1000), StopReason::Exit);
    EXPECT_EQ(programExitCode(), 7);
    EXPECT_EQ(ee.gpr[kT0].d[0], 0u) << "the instruction after Exit ran";
    EXPECT_EQ(ee.cycle, 3u);

    placeCountingLoop();
    RunLimits limits;
    limits.maxVblanks = 2;
    limits.maxCycles = 4 * kFrameCycles;
    const u64 vblanksBefore = vblankCount;
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::MaxVblanks);
    EXPECT_EQ(vblankCount - vblanksBefore, 2u);
    EXPECT_EQ(ee.gpr[kT0].d[0], ee.gpr[kT1].d[0]) << "the loop went on after the delay slot that brought the blank";
    EXPECT_EQ(ee.pc, kCodeAt);
}

}  // namespace
