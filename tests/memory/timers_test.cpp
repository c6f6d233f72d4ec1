// Timers and the vertical blank: live counts read by guest code, the
// schedule that register writes set, the 153600-cycle frame, vertical
// blanks given on demand to a guest polling CSR and the stretch of the
// timed frame that follows, the max-vblanks stop, and what the vertical
// blank asks of the GS and PAD plugins.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/ee_state.h"
#include "core/emulation.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "memory/hw_registers.h"
#include "memory/timers.h"
#include "iop/pad_service.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

namespace {

constexpr u32 kTimerRegisters = 0x10000000;
constexpr u32 kStretchedFrame = 3072000;

StopReason runUntil(u32 address) {
    RunLimits limits;
    limits.maxCycles = 10'000'000;
    limits.hasUntil = true;
    limits.until = address;
    return emuRunWithLimits(limits);
}

StopReason runVblanks(u64 count) {
    RunLimits limits;
    limits.maxCycles = 50'000'000;
    limits.maxVblanks = count;
    return emuRunWithLimits(limits);
}

u32 intcStat() { return hostLoad<u32>(memory.hw + kHwIntcStat); }
void clearIntcStat() { hostStore<u32>(memory.hw + kHwIntcStat, 0); }

// Each read sits at a label; the count it sees comes from the cycle counter
// at that instruction.
struct CountRead {
    const char* label;
    u32 storedCount;
    u32 cyclesPerStep;
};

constexpr CountRead kCountReads[] = {
    {"readTimer0", 0, 32},       // clock select 1, count written as 0: not read back as 0
    {"readTimer1", 0x1234, 600}, // clock select 3: a horizontal line
    {"readTimer2", 0, 512},      // clock select 2; the HOLD write after it kept the rate
    {"readTimer3", 0xFFF0, 1},   // mode never written; the sum wraps at 16 bits
};

TEST(TimerCounts, AReadAddsTheCyclesSinceResetInStepsOfTheRateToTheStoredCount) {
    ASSERT_TRUE(loadGuestProgram("timers_counts"));
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
    // A 64-bit read has no side effect: the stored register never advances.
    EXPECT_EQ(guestWord(results + 16), 0u);
    EXPECT_EQ(guestWord(results + 20), 0x1234u);
}

// Register writes at cycle 6000, after the scheduler ran at 5000: the
// interval runs from the stored count up to 0xFFFF, the start stays, and
// the next scheduler run is brought forward without moving eventBase.
struct TimerWrite {
    u32 offset;
    u32 value;
    u32 rate;
    u32 interval;
};

constexpr TimerWrite kTimerWrites[] = {
    {0x0810, 2, 512, (0xFFFF * 512) >> 2},  // MODE: clock select 2
    {0x0800, 0xFFF0, 512, (0xF * 512) >> 2},  // COUNT: close to the top
    {0x0830, 0x3, 512, (0xF * 512) >> 2},   // HOLD: the rate stays
    {0x0820, 0x7, 512, (0xF * 512) >> 2},   // COMP: likewise
    {0x0810, 0x83, 600, (0xF * 600) >> 2},  // MODE: only bits 0-1 choose the rate
};

TEST(TimerSchedule, AWriteSetsTheIntervalAndBringsTheNextSchedulerRunForward) {
    resetMachine();
    ee.cycle = 5000;
    schedulerRun();
    ASSERT_EQ(eventBase, 5000u);
    ASSERT_EQ(eventDelta, 0xFFFFu >> 2) << "timers start at one cycle a step";
    ee.cycle = 6000;
    for (const TimerWrite& write : kTimerWrites) {
        memWrite32(write.value, kTimerRegisters + write.offset);
        EXPECT_EQ(timers[1].rate, write.rate) << std::hex << write.offset;
        EXPECT_EQ(timers[1].interval, write.interval) << std::hex << write.offset;
        EXPECT_EQ(timers[1].start, 5000u);
    }
    EXPECT_EQ(eventBase, 5000u);
    EXPECT_EQ(eventDelta, 5000 + (0xF * 512 >> 2) - 6000) << "a write lowers the delta, never raises it";

    // Falling due only starts the next interval: no count, mode or INTC bit changes.
    ee.cycle = 5000 + (0xF * 600 >> 2);
    schedulerRun();
    EXPECT_EQ(timers[1].start, ee.cycle);
    EXPECT_EQ(timers[1].interval, (0xF * 600u) >> 2);
    EXPECT_EQ(hostLoad<u32>(memory.hw + 0x0800), 0xFFF0u);
    EXPECT_EQ(hostLoad<u32>(memory.hw + 0x0810), 0x83u);
    EXPECT_EQ(intcStat(), 0u);
}

TEST(VerticalBlank, TimedOnesComeEveryFrameAtTheFirstTakenBranchAfterIt) {
    ASSERT_TRUE(loadGuestProgram("timers_spin"));
    // The spin loop takes a branch every third cycle.
    ASSERT_EQ(runGuest(kFrameCycles - 3), StopReason::MaxCycles);
    EXPECT_EQ(vblankCount, 0u);
    EXPECT_EQ(intcStat(), 0u);
    u32 previous = 0;
    for (u64 frame = 1; frame <= 3; ++frame) {
        ASSERT_EQ(runVblanks(1), StopReason::MaxVblanks);
        const u32 at = timers[kVblankRecord].start;
        EXPECT_EQ(vblankCount, frame);
        EXPECT_EQ(ee.cycle - at, 1u) << "in the delay slot of the branch that ended the run";
        EXPECT_GE(at - previous, kFrameCycles);
        EXPECT_LT(at - previous, kFrameCycles + 3);
        EXPECT_EQ(intcStat(), kIntcVblankBits) << "start and end of the vertical blank together";
        EXPECT_EQ(timers[kVblankRecord].flag, 1u);
        previous = at;
        clearIntcStat();
    }
}

TEST(VerticalBlank, AMaxVblanksStopCountsTheBlanksOfThisRunOnly) {
    ASSERT_TRUE(loadGuestProgram("timers_spin"));
    ASSERT_EQ(runVblanks(2), StopReason::MaxVblanks);
    ASSERT_EQ(vblankCount, 2u);
    const u32 cycle = ee.cycle;
    EXPECT_EQ(runVblanks(0), StopReason::MaxVblanks);
    EXPECT_EQ(ee.cycle, cycle) << "a limit of 0 runs nothing";
    EXPECT_EQ(runVblanks(3), StopReason::MaxVblanks);
    EXPECT_EQ(vblankCount, 5u);
    EXPECT_EQ(runGuest(kFrameCycles * 5 / 2), StopReason::MaxCycles) << "the limit ends with its run";
    EXPECT_EQ(vblankCount, 7u);
    EXPECT_STREQ(stopReasonName(StopReason::MaxVblanks), "max-vblanks");
}

// CSR reads from the host between guest steps; the guest spins with a
// taken branch every third cycle.
TEST(VerticalBlank, EveryCsrReadRunsOneTheEleventhStretchesTheFrameAndATimedOneRestoresIt) {
    ASSERT_TRUE(loadGuestProgram("timers_spin"));
    for (u32 read = 1; read <= 12; ++read) {
        ASSERT_EQ(runGuest(10), StopReason::MaxCycles);
        EXPECT_EQ(memRead32(kGsCsr) & 0x8, 0x8u) << "read " << read;
        EXPECT_EQ(vblankCount, read);
        EXPECT_EQ(timers[kVblankRecord].start, ee.cycle);
        EXPECT_EQ(timers[kVblankRecord].interval, read <= 10 ? kFrameCycles : kStretchedFrame) << "read " << read;
    }
    u32 previous = timers[kVblankRecord].start;
    for (u32 frame : {kStretchedFrame, kFrameCycles}) {
        ASSERT_EQ(runVblanks(1), StopReason::MaxVblanks);
        const u32 at = timers[kVblankRecord].start;
        EXPECT_GE(at - previous, frame);
        EXPECT_LT(at - previous, frame + 3);
        EXPECT_EQ(timers[kVblankRecord].interval, kFrameCycles);
        previous = at;
    }
}

// With the test plugins: the recording GS and two scripted PAD libraries,
// "pad" in PAD1 and "pad_b" in PAD2.
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

    // The recorded GS calls named in `entries`, in order.
    static std::vector<RecordedCall> gsCalls(std::initializer_list<std::string_view> entries) {
        std::vector<RecordedCall> calls;
        for (const RecordedCall& call : recordedCalls()) {
            if (call.library != "gs") continue;
            for (std::string_view entry : entries) {
                if (call.entry == entry) calls.push_back(call);
            }
        }
        return calls;
    }

    static std::size_t keyEventRequests(const std::string& library) {
        std::size_t requests = 0;
        for (const std::string& entry : recordedEntries(library)) requests += entry == library + ":PADkeyEvent";
        return requests;
    }
};

// One key event a vertical blank, from PAD2 while no controller port is
// open; what each does is seen in the GS calls after that blank's GSvsync.
struct KeyCase {
    keyEvent event;
    const char* gsEntry;  // null: the GS hears nothing
};

const KeyCase kKeyCases[] = {
    {{0x41, KEYPRESS}, "GSkeyEvent"},
    {{0x41, KEYRELEASE}, "GSkeyEvent"},
    {{kKeyF8, KEYPRESS}, "GSmakeSnapshot"},
    {{kKeyF8, KEYRELEASE}, "GSkeyEvent"},
    {{kKeyEscape, KEYRELEASE}, "GSkeyEvent"},
    {{0x41, 3}, nullptr},
    {{kKeyEscape, KEYPRESS}, nullptr},  // ends the run
};

TEST_F(VblankWithPlugins, KeyEventsGoToTheGsExceptF8AndEscapeWhichStopsTheRun) {
    load("timers_spin");
    std::vector<std::pair<u32, u32>> script;
    for (const KeyCase& c : kKeyCases) script.emplace_back(c.event.key, c.event.event);
    scriptKeyEvents("pad_b", script);

    ASSERT_EQ(runGuest(50'000'000), StopReason::Escape);
    EXPECT_EQ(vblankCount, std::size(kKeyCases));
    EXPECT_EQ(ee.cycle - timers[kVblankRecord].start, 1u) << "stopped right after the step of the last vertical blank";
    EXPECT_EQ(keyEventRequests("pad_b"), std::size(kKeyCases));
    EXPECT_EQ(keyEventRequests("pad"), 0u);

    const std::vector<RecordedCall> calls = gsCalls({"GSvsync", "GSkeyEvent", "GSmakeSnapshot"});
    std::size_t at = 0;
    for (const KeyCase& c : kKeyCases) {
        const std::string label = std::to_string(c.event.key) + "/" + std::to_string(c.event.event);
        ASSERT_LT(at, calls.size()) << label;
        EXPECT_EQ(calls[at++].entry, "GSvsync") << label;
        if (c.gsEntry == nullptr) continue;
        ASSERT_LT(at, calls.size()) << label;
        const RecordedCall& call = calls[at++];
        EXPECT_EQ(call.entry, c.gsEntry) << label;
        if (call.entry == "GSkeyEvent") {
            EXPECT_EQ(call.args, (std::vector<u64>{c.event.key, c.event.event})) << label;
        }
        if (call.entry == "GSmakeSnapshot") {
            EXPECT_EQ(call.text, "Screens/") << label;
        }
    }
    EXPECT_EQ(at, calls.size());
}

TEST_F(VblankWithPlugins, AnOpenControllerServiceTakesKeyEventsFromPad1) {
    load("timers_spin");
    padServiceOpened = 1;
    scriptKeyEvents("pad", {{kKeyEscape, KEYPRESS}});
    scriptKeyEvents("pad_b", {{0x41, KEYPRESS}});
    ASSERT_EQ(runGuest(50'000'000), StopReason::Escape);
    EXPECT_EQ(vblankCount, 1u);
    EXPECT_EQ(keyEventRequests("pad"), 1u);
    EXPECT_EQ(keyEventRequests("pad_b"), 0u);
}

TEST_F(VblankWithPlugins, ACsrReadTakesTheGsValueAddsVsintAndCallsGsVsync) {
    load("timers_csr");
    scriptGsRead(kGsCsr, 0x100);
    ASSERT_EQ(runUntil(guestSymbol("csrPolled")), StopReason::Until);
    const u32 results = guestSymbol("results");
    for (u32 read = 0; read < 11; ++read) EXPECT_EQ(guestWord(results + 4 * read), 0x108u) << "read " << read;
    const std::vector<RecordedCall> calls = gsCalls({"GSread32", "GSvsync"});
    ASSERT_EQ(calls.size(), 22u);
    for (std::size_t i = 0; i < calls.size(); i += 2) {
        EXPECT_EQ(calls[i].entry, "GSread32");
        EXPECT_EQ(calls[i].args, std::vector<u64>{kGsCsr});
        EXPECT_EQ(calls[i + 1].entry, "GSvsync");
    }
}

}  // namespace
