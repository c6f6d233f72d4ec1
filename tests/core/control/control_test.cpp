// Emulation control: what a reset puts back and what it keeps, and how the
// run loop ends (nothing loaded, cycle limit, --until address, idle loop,
// stop flag).
#include <gtest/gtest.h>

#include <sys/time.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <cstring>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "disc/elf_loader.h"
#include "memory/bus.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

namespace {

constexpr unsigned kT0 = 8;
constexpr unsigned kT1 = 9;
constexpr u32 kCodeAt = 0x00100000;

constexpr u32 addiu(unsigned rt, unsigned rs, s16 imm) {
    return (9u << 26) | (rs << 21) | (rt << 16) | static_cast<u16>(imm);
}
constexpr u32 lw(unsigned rt, unsigned base, s16 imm) {
    return (35u << 26) | (base << 21) | (rt << 16) | static_cast<u16>(imm);
}
// The offset counts words from the delay slot.
constexpr u32 beq(unsigned rs, unsigned rt, s16 offset) {
    return (4u << 26) | (rs << 21) | (rt << 16) | static_cast<u16>(offset);
}
constexpr u32 bne(unsigned rs, unsigned rt, s16 offset) {
    return (5u << 26) | (rs << 21) | (rt << 16) | static_cast<u16>(offset);
}
constexpr u32 j(u32 target) { return (2u << 26) | ((target >> 2) & 0x03FFFFFF); }
constexpr u32 kNop = 0;

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
    placeProgram({
        addiu(kT0, kT0, 1),  // 0x00100000
        beq(0, 0, -2),       // 0x00100004, back to 0x00100000
        addiu(kT1, kT1, 1),  // 0x00100008, delay slot
    });
}

StopReason runFor(u64 maxCycles) {
    RunLimits limits;
    limits.maxCycles = maxCycles;
    return emuRunWithLimits(limits);
}

TEST(Control, StartWithNothingLoadedRunsNothing) {
    resetMachine();
    memWrite32(addiu(kT0, 0, 1), 0);  // what would run at the reset PC of 0
    const u32 pcBefore = ee.pc;
    emuRun();
    EXPECT_EQ(runFor(100), StopReason::NotLoaded);
    EXPECT_EQ(ee.cycle, 0u);
    EXPECT_EQ(ee.pc, pcBefore);
    EXPECT_EQ(ee.gpr[kT0].d[0], 0u);
    EXPECT_EQ(pluginsOpened, 0u);
    EXPECT_EQ(stopFlag, 0u) << "an ignored Start does not touch the stop flag";
}

TEST(Control, StopRaisesTheFlagAndClosesOpenPluginsOnce) {
    resetMachine();
    pluginsOpened = 1;
    emuStop();
    EXPECT_EQ(stopFlag, 1u);
    EXPECT_EQ(pluginsOpened, 0u);
    emuStop();
    EXPECT_EQ(stopFlag, 1u);
    EXPECT_EQ(pluginsOpened, 0u);
}

TEST(Control, ResetPutsTheRegistersBackButKeepsHiLoSaAndCode) {
    resetMachine();
    for (Reg128& reg : ee.gpr) reg.d[0] = reg.d[1] = 0xFEEDFACECAFEBEEFull;
    ee.hi.d[0] = 0x1111111111111111ull;
    ee.hi.d[1] = 0x2222222222222222ull;
    ee.lo.d[0] = 0x3333333333333333ull;
    ee.lo.d[1] = 0x4444444444444444ull;
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
        u64 low = 0;
        if (r == kGprGp) low = 0x81F80000;
        if (r == kGprSp) low = 0x81F00000;
        EXPECT_EQ(ee.gpr[r].d[0], low) << "GPR " << r;
        EXPECT_EQ(ee.gpr[r].d[1], 0u) << "GPR " << r;
    }
    EXPECT_EQ(ee.hi.d[0], 0x1111111111111111ull);
    EXPECT_EQ(ee.hi.d[1], 0x2222222222222222ull);
    EXPECT_EQ(ee.lo.d[0], 0x3333333333333333ull);
    EXPECT_EQ(ee.lo.d[1], 0x4444444444444444ull);
    EXPECT_EQ(ee.sa, 0x5555555555555555ull);
    EXPECT_EQ(ee.code, 0x66666666u);
    EXPECT_EQ(ee.cycle, 0u);

    for (unsigned r = 0; r < 32; ++r) {
        u32 expected = 0;
        if (r == kCop0Status) expected = 0x10900001;
        if (r == kCop0PRId) expected = 0x2E20;
        EXPECT_EQ(cop0.r[r], expected) << "COP0 " << r;
    }
    for (unsigned r = 0; r < 32; ++r) EXPECT_EQ(fpu.fpr[r].u, 0u) << "FPR " << r;
    EXPECT_EQ(fpu.fpuAcc.u, 0u);
    for (unsigned r = 0; r < 32; ++r) {
        u32 expected = 0;
        if (r == 0) expected = 0x2E00;
        if (r == 31) expected = 0x01000001;
        EXPECT_EQ(fpu.fcr[r], expected) << "FCR " << r;
    }
    // VU0 is cleared whole; VU1 only gets VF0.w back and keeps the rest.
    for (const VuState* unit : {&vu0, &vu1}) {
        EXPECT_EQ(unit->vf[0].f[0], 0.0f);
        EXPECT_EQ(unit->vf[0].f[1], 0.0f);
        EXPECT_EQ(unit->vf[0].f[2], 0.0f);
        EXPECT_EQ(unit->vf[0].f[3], 1.0f);
    }
    EXPECT_EQ(vu0.vf[7].u[1], 0u);
    EXPECT_EQ(vu0.vi[1], 0u);
    EXPECT_EQ(vu1.vf[7].u[1], 0x3C3C3C3Cu);
}

TEST(Control, ResetBeforeAnyLoadStartsThePcAtZero) {
    // The loader's header record lives for the whole process; a program that
    // has loaded nothing yet has it all zero, which is what this restores
    // (other cases in this executable may have loaded a program before).
    elfHeader = ElfHeader{};
    resetMachine();
    ee.pc = 0x1234;
    emuReset();
    EXPECT_EQ(ee.pc, 0u);
}

TEST(Control, ResetAfterALoadRestartsAtTheEntryWithRamCleared) {
    ASSERT_TRUE(loadGuestProgram("demo"));
    const u32 entry = guestSymbol("_start");
    EXPECT_EQ(ee.pc, entry);
    EXPECT_NE(memRead32(entry), 0u);
    EXPECT_EQ(runGuest(), StopReason::IdleLoop);

    emuReset();
    EXPECT_EQ(ee.pc, entry);
    EXPECT_EQ(programLoaded, 1u);
    for (u32 at = entry; at < entry + 0x100; at += 4) ASSERT_EQ(memRead32(at), 0u) << std::hex << at;

    // Start after the reset executes the cleared RAM: all-zero words are
    // no-operations.
    EXPECT_EQ(runFor(100), StopReason::MaxCycles);
    EXPECT_EQ(ee.pc, entry + 400);
    EXPECT_EQ(ee.cycle, 100u);
}

TEST(Control, InstructionsWritingGprZeroLeaveItZero) {
    placeProgram({addiu(0, 0, 5), lw(0, 0, 0), addiu(kT0, 0, 0)});
    memWrite32(0xFFFFFFFF, 0);
    ee.gpr[kT0].d[0] = 7;
    EXPECT_EQ(runFor(3), StopReason::MaxCycles);
    EXPECT_EQ(ee.gpr[0].d[0], 0u);
    EXPECT_EQ(ee.gpr[0].d[1], 0u);
    EXPECT_EQ(ee.gpr[kT0].d[0], 0u);
}

TEST(Control, CycleLimitStopsAfterThatManyInstructions) {
    placeCountingLoop();
    EXPECT_EQ(runFor(0), StopReason::MaxCycles);
    EXPECT_EQ(ee.cycle, 0u);

    EXPECT_EQ(runFor(1), StopReason::MaxCycles);
    EXPECT_EQ(ee.cycle, 1u);
    EXPECT_EQ(ee.pc, kCodeAt + 4);

    placeCountingLoop();
    EXPECT_EQ(runFor(3000), StopReason::MaxCycles);
    EXPECT_EQ(ee.cycle, 3000u);
    EXPECT_EQ(ee.gpr[kT0].d[0], 1000u);
    EXPECT_EQ(ee.gpr[kT1].d[0], 1000u);
    EXPECT_EQ(pluginsOpened, 0u) << "the end of a run closes the plugins";
}

TEST(Control, ATakenBranchMayOvershootTheLimitByItsDelaySlot) {
    placeCountingLoop();
    EXPECT_EQ(runFor(2), StopReason::MaxCycles);
    EXPECT_EQ(ee.cycle, 3u);
    EXPECT_EQ(ee.gpr[kT1].d[0], 1u) << "the delay slot ran";
    EXPECT_EQ(ee.pc, kCodeAt);
}

TEST(Control, CycleLimitCountsAcrossTheWrapOfTheCycleCounter) {
    placeCountingLoop();
    ee.cycle = 0xFFFFFFF0;
    EXPECT_EQ(runFor(30), StopReason::MaxCycles);
    EXPECT_EQ(ee.cycle, 0xEu);
    EXPECT_EQ(ee.gpr[kT0].d[0], 10u);
}

TEST(Control, UntilStopsWhenThePcReachesTheAddress) {
    placeCountingLoop();
    RunLimits limits;
    limits.maxCycles = 1000;
    limits.hasUntil = true;
    limits.until = kCodeAt + 4;
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::Until);
    EXPECT_EQ(ee.pc, kCodeAt + 4);
    EXPECT_EQ(ee.cycle, 1u);

    // The run is resumed from where the last one stopped.
    limits.until = kCodeAt;
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::Until);
    EXPECT_EQ(ee.cycle, 3u);
}

TEST(Control, IdleLoopIsATakenBranchOrJumpToItself) {
    // A not-taken branch to itself is not an idle loop.
    placeProgram({bne(0, 0, -1), kNop, beq(0, 0, -1), kNop});
    EXPECT_EQ(runFor(1000), StopReason::IdleLoop);
    EXPECT_EQ(ee.pc, kCodeAt + 8);
    EXPECT_EQ(ee.cycle, 4u);

    placeProgram({kNop, j(kCodeAt + 4), kNop});
    EXPECT_EQ(runFor(1000), StopReason::IdleLoop);
    EXPECT_EQ(ee.pc, kCodeAt + 4);

    placeProgram({kNop, j(kCodeAt + 4), kNop});
    RunLimits limits;
    limits.maxCycles = 101;
    limits.stopAtIdleLoop = false;
    EXPECT_EQ(emuRunWithLimits(limits), StopReason::MaxCycles);
    EXPECT_EQ(ee.pc, kCodeAt + 4);
}

// The Escape key raises the stop flag from inside a step; a timer signal
// stands in for it here. Should the loop ignore the flag, the watchdog ends
// the test process instead of letting it hang.
volatile std::sig_atomic_t timerTicks = 0;

void raiseStopFlag(int) {
    stopFlag = 1;
    timerTicks = timerTicks + 1;
    if (timerTicks == 200) {
        static const char message[] = "the run loop ignored the stop flag\n";
        (void)!write(2, message, sizeof message - 1);
        _exit(1);
    }
}

class StopFlagTimer {
public:
    StopFlagTimer() {
        timerTicks = 0;
        std::signal(SIGALRM, raiseStopFlag);
        const itimerval every20ms{{0, 20000}, {0, 20000}};
        setitimer(ITIMER_REAL, &every20ms, nullptr);
    }
    ~StopFlagTimer() {
        const itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        std::signal(SIGALRM, SIG_DFL);
    }
};

TEST(Control, RaisedStopFlagEndsTheRunAndTheNextStartClearsIt) {
    placeCountingLoop();
    {
        StopFlagTimer timer;
        EXPECT_EQ(runFor(4'000'000'000ull), StopReason::Escape);
    }
    EXPECT_EQ(stopFlag, 1u);
    EXPECT_EQ(pluginsOpened, 0u);
    EXPECT_GT(ee.gpr[kT0].d[0], 0u);
    const u32 cycleAtStop = ee.cycle;

    EXPECT_EQ(runFor(9), StopReason::MaxCycles);
    EXPECT_EQ(ee.cycle - cycleAtStop, 9u);

    {
        StopFlagTimer timer;
        emuRun();
    }
    EXPECT_EQ(stopFlag, 1u);
    EXPECT_EQ(pluginsOpened, 0u);
    EXPECT_GT(ee.cycle - cycleAtStop, 9u);
}

}  // namespace
