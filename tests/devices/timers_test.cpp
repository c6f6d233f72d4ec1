// Timers and the vertical blank: live counts, timed and CSR-triggered
// vertical blanks, the max-vblanks stop, and what a vertical blank asks of
// the GS and PAD plugins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ee_state.h"
#include "devices/hw_registers.h"
#include "devices/timers.h"
#include "iop/pad_service.h"
#include "machine/emulation.h"
#include "machine/vblank.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/golden.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

constexpr u32 kStretchedFrame = 20 * 153600;

StopReason runUntil(u32 address) {
    return emuRunWithLimits({.maxCycles = 10'000'000, .hasUntil = true, .until = address});
}
StopReason runVblanks(u64 count) { return emuRunWithLimits({.maxCycles = 50'000'000, .maxVblanks = count}); }

// Runs one timed vertical blank, which must come `frame` cycles after the
// last one, at the first taken branch: the spin loops take one every third
// cycle, and the run stops in that branch's delay slot.
void expectNextVblankAfter(u32 frame) {
    const u32 previous = timers[kVblankRecord].start;
    ASSERT_EQ(runVblanks(1), StopReason::MaxVblanks);
    const u32 at = timers[kVblankRecord].start;
    EXPECT_GE(at - previous, frame);
    EXPECT_LT(at - previous, frame + 3);
    EXPECT_EQ(ee.cycle - at, 1u);
}

constexpr u32 kModeNotWritten = ~0u;

u32 timerAddress(unsigned n, TimerRegister reg) { return kHwStart + timerRegisterOffset(n, reg); }

struct CountRead {
    const char* label;
    unsigned timer;
    u32 mode;
    u32 storedCount;
    u32 cyclesPerStep;
};

constexpr CountRead kCountReads[] = {
    {"readTimer0", 0, 1, 0, 32},
    {"readTimer1", 1, 3, 0x1234, 600},  // a horizontal line
    {"readTimer2", 2, 2, 0, 512},
    {"readTimer3", 3, kModeNotWritten, 0xFFF0, 1},  // the sum wraps at 16 bits
};

TEST(TimerCounts, AReadAddsTheCyclesSinceResetInStepsOfTheRateToTheStoredCount) {
    ASSERT_TRUE(loadGuestProgram("timers_counts"));
    for (const CountRead& read : kCountReads) {
        if (read.mode != kModeNotWritten) memWrite32(read.mode, timerAddress(read.timer, TimerRegister::Mode));
        memWrite32(read.storedCount, timerAddress(read.timer, TimerRegister::Count));
    }
    memWrite32(5, timerAddress(2, TimerRegister::Hold));  // its low bits must not select 32 cycles
    const u32 results = guestSymbol("results");
    u32 expected[std::size(kCountReads)];
    for (std::size_t i = 0; i < std::size(kCountReads); ++i) {
        const CountRead& read = kCountReads[i];
        ASSERT_EQ(runUntil(guestSymbol(read.label)), StopReason::Until) << read.label;
        expected[i] = (read.storedCount + (ee.cycle / read.cyclesPerStep) * 4) & 0xFFFF;
    }
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    for (std::size_t i = 0; i < std::size(kCountReads); ++i) {
        EXPECT_EQ(guestWord(results + 4 * i), expected[i]) << kCountReads[i].label;
    }
    EXPECT_EQ(guestWord(results + 16), 0u) << "a 64-bit read sees the stored count";
    EXPECT_EQ(guestWord(results + 20), 0x1234u);
}

TEST(VerticalBlank, TimedOnesComeEveryFrameAndAMaxVblanksStopCountsThoseOfItsRun) {
    ASSERT_TRUE(loadGuestProgram("timers_spin"));
    for (u64 frame = 1; frame <= 3; ++frame) {
        expectNextVblankAfter(kFrameCycles);
        EXPECT_EQ(vblankCount, frame);
        EXPECT_EQ(hostLoad<u32>(memory.hw + kHwIntcStat), kIntcVblankBits) << "start and end together";
        hostStore<u32>(memory.hw + kHwIntcStat, 0);
    }
    const u32 cycle = ee.cycle;
    EXPECT_EQ(runVblanks(0), StopReason::MaxVblanks);
    EXPECT_EQ(ee.cycle, cycle) << "a limit of 0 runs nothing";
    EXPECT_EQ(runVblanks(2), StopReason::MaxVblanks);
    EXPECT_EQ(vblankCount, 5u);
    EXPECT_EQ(runGuest(kFrameCycles * 5 / 2), StopReason::MaxCycles) << "the limit ends with its run";
    EXPECT_EQ(vblankCount, 7u);
}

// With the recording GS and two scripted PAD libraries, "pad" in PAD1 and
// "pad_b" in PAD2.
class VblankWithPlugins : public ::testing::Test {
protected:
    void TearDown() override { useNoPlugins(); }

    static void load(const char* program) {
        useTestPlugins();
        ASSERT_TRUE(loadGuestProgram(program));
        ASSERT_EQ(loadPad2Plugin(testPluginDir() + "test_pad_b.so"), 1u);
        initPlugins();
        clearRecording();
    }

    // The calls vertical blanks made to the GS (but for opening and closing
    // it) and for key events, a line each, with a key event's arguments and a
    // snapshot's directory.
    static std::string vblankCalls() {
        std::string calls;
        for (const RecordedCall& call : recordedCalls()) {
            if (call.library != "gs" && call.entry != "PADkeyEvent") continue;
            if (call.entry == "GSopen" || call.entry == "GSclose") continue;
            // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on
            // chained operator+ forms once they are inlined here.
            calls.append(call.library).append(":").append(call.entry);
            if (call.entry == "GSkeyEvent")
                calls.append(" ").append(std::to_string(call.args[0])).append("/").append(std::to_string(call.args[1]));
            if (call.entry == "GSmakeSnapshot") calls.append(" ").append(call.text);
            calls.append("\n");
        }
        return calls;
    }
};

// The guest polls CSR ten times, then once more at eleventhRead.
TEST_F(VblankWithPlugins, EveryCsrReadRunsOneAndTheEleventhStretchesTheNextTimedFrame) {
    load("timers_csr");
    scriptGsRead(kGsCsr, 0x100);
    ASSERT_EQ(runUntil(guestSymbol("eleventhRead")), StopReason::Until);
    EXPECT_EQ(vblankCount, 10u);
    EXPECT_EQ(timers[kVblankRecord].interval, kFrameCycles);
    ASSERT_EQ(runUntil(guestSymbol("csrPolled")), StopReason::Until);
    EXPECT_EQ(vblankCount, 11u);
    EXPECT_EQ(timers[kVblankRecord].interval, kStretchedFrame);
    EXPECT_LE(ee.cycle - timers[kVblankRecord].start, 2u) << "the frame restarts at the read";
    for (u32 read = 0; read < 11; ++read) {
        EXPECT_EQ(guestWord(guestSymbol("results") + 4 * read), 0x108u) << "the GS value with VSINT, read " << read;
    }
    EXPECT_TRUE(matchesGolden(goldenFile("vblank_csr_reads.log"), vblankCalls()));

    expectNextVblankAfter(kStretchedFrame);
    expectNextVblankAfter(kFrameCycles);
}

// A key and its event (KEYPRESS, KEYRELEASE or another number) for each
// vertical blank; the Escape press ends the run.
const std::vector<std::pair<u32, u32>> kKeyEvents = {
    {0x41, KEYPRESS},         {kKeyF8, KEYPRESS}, {kKeyF8, KEYRELEASE},
    {kKeyEscape, KEYRELEASE}, {0x41, 3},          {kKeyEscape, KEYPRESS},
};

// One key event a vertical blank, from PAD2 while no controller service is
// open and from PAD1 once one is.
TEST_F(VblankWithPlugins, KeyEventsGoToTheGsExceptF8AndAnEscapePressWhichStopsTheRun) {
    load("timers_spin");
    scriptKeyEvents("pad_b", kKeyEvents);
    ASSERT_EQ(runGuest(50'000'000), StopReason::Escape);
    EXPECT_EQ(vblankCount, kKeyEvents.size());
    EXPECT_EQ(ee.cycle - timers[kVblankRecord].start, 1u) << "stopped right after the step of the last vertical blank";
    EXPECT_TRUE(matchesGolden(goldenFile("vblank_key_events.log"), vblankCalls()));

    clearRecording();
    padServiceOpened = 1;
    scriptKeyEvents("pad", {{kKeyEscape, KEYPRESS}});
    scriptKeyEvents("pad_b", {{kKeyEscape, KEYPRESS}});
    ASSERT_EQ(runGuest(50'000'000), StopReason::Escape);
    EXPECT_EQ(vblankCalls(), "gs:GSvsync\npad:PADkeyEvent\n");
}

// The timers with the machine's handler and the alarms taken out: they keep
// time and raise the interrupt on their own, call what is installed in its
// place around the interrupt, and run as often as an event source asks.
struct SeenAtVblank {
    u32 intcBits;
    u64 count;
};
std::vector<SeenAtVblank> seenBefore;
std::vector<SeenAtVblank> seenAfter;
unsigned sourceRuns = 0;

SeenAtVblank seenNow() { return {hostLoad<u32>(memory.hw + kHwIntcStat) & kIntcVblankBits, vblankCount}; }
void recordBefore() { seenBefore.push_back(seenNow()); }
void recordAfter() {
    seenAfter.push_back(seenNow());
    hostStore<u32>(memory.hw + kHwIntcStat, 0);
}
void countSourceRun() { ++sourceRuns; }
u32 everyThousandCycles() { return 1000; }

TEST_F(VblankWithPlugins, WithoutTheMachinesHandlerTheTimersAloneKeepTimeAndRaiseTheInterrupt) {
    load("timers_spin");
    timersSetVblankHandler({});
    timersSetEventSource({});
    EXPECT_EQ(runGuest(3 * kFrameCycles + 10), StopReason::MaxCycles);
    EXPECT_EQ(vblankCount, 3u);
    EXPECT_EQ(hostLoad<u32>(memory.hw + kHwIntcStat), kIntcVblankBits);
    EXPECT_EQ(vblankCalls(), "") << "no vsync and no key event without the machine's handler";

    seenBefore.clear();
    seenAfter.clear();
    sourceRuns = 0;
    hostStore<u32>(memory.hw + kHwIntcStat, 0);
    timersSetVblankHandler({recordBefore, recordAfter});
    timersSetEventSource({countSourceRun, everyThousandCycles});
    EXPECT_EQ(runGuest(2 * kFrameCycles), StopReason::MaxCycles);
    ASSERT_EQ(seenBefore.size(), 2u);
    ASSERT_EQ(seenAfter.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(seenBefore[i].intcBits, 0u) << "before the interrupt, vertical blank " << i;
        EXPECT_EQ(seenBefore[i].count, 3 + i);
        EXPECT_EQ(seenAfter[i].intcBits, kIntcVblankBits) << "after it";
        EXPECT_EQ(seenAfter[i].count, 4 + i);
    }
    // Each run comes at the first taken branch 1000 cycles after the last.
    EXPECT_GE(sourceRuns, 2 * kFrameCycles / 1010) << "the scheduler ran as often as the source asked";
    resetMachine();
}

}  // namespace
