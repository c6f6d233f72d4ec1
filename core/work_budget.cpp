#include "core/work_budget.h"

#include <time.h>

#include "core/ee_state.h"
#include "core/run_control.h"

namespace {

struct WorkBudget {
    u64 budget = kWorkBudgetUnits;  // units each guest instruction starts with
    u64 left = kWorkBudgetUnits;
    u32 depth = 0;
    bool stopWasRaised = false;  // the run's stop flag was up when the work began
    bool cut = false;
    bool hostTimeSpent = false;  // the polls found kHostTimeLimitMilliseconds spent
    bool hasCycleLimit = false;
    u32 cycleLimitStart = 0;
    u32 cycleLimitLength = 0;
    // workPollStop's clocks in the current scope: wall time, read at every
    // call, and the thread's processor time, read once the wall time says
    // it may be due.
    bool wallClockStarted = false;
    u64 lastPollWall = 0;
    bool processorClockStarted = false;
    u64 firstPollProcessor = 0;
    u64 lastPollProcessor = 0;
    bool stopWhenDone = false;  // workStopWhenDone during the work
};

u64 hostClockNanoseconds(bool processorTime) {
    timespec now;
    clock_gettime(processorTime ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<u64>(now.tv_sec) * 1'000'000'000 + static_cast<u64>(now.tv_nsec);
}

WorkBudget work;
StopPoll stopPoll = nullptr;
HostClock hostClock = hostClockNanoseconds;

// A stop raised before the work began (the vertical blank that reached the
// run's limit) does not cut it, or that blank's handlers would never run.
bool runMustStop() {
    if (stopFlag == 1 && !work.stopWasRaised) return true;
    return work.hasCycleLimit && ee.cycle - work.cycleLimitStart >= work.cycleLimitLength;
}

void reportCut(LogCategory category, const char* what) {
    if (work.hostTimeSpent) {
        logReport(category, LogLevel::GuestError, "work cut: %s (it held the host for %u ms)", what,
                  kHostTimeLimitMilliseconds);
    } else if (work.left == 0) {
        logReport(category, LogLevel::GuestError, "work cut: %s (host work budget spent)", what);
    } else {
        logReport(category, LogLevel::Info, "work cut: %s (the run is stopping)", what);
    }
}

}  // namespace

WorkScope::WorkScope() {
    if (work.depth++ != 0) return;
    work.left = work.budget;
    work.cut = false;
    work.hostTimeSpent = false;
    work.stopWasRaised = stopFlag == 1;
    work.wallClockStarted = false;
    work.processorClockStarted = false;
}

WorkScope::~WorkScope() {
    if (--work.depth != 0 || !work.stopWhenDone) return;
    work.stopWhenDone = false;
    raiseStopFlag();
}

void workStopWhenDone() {
    if (work.depth == 0) {
        raiseStopFlag();
    } else {
        work.stopWhenDone = true;
    }
}

bool workCharge(u64 units, LogCategory category, const char* what) {
    if (work.depth == 0) return true;  // no guest instruction is being measured
    if (work.cut) return false;
    if (units <= work.left && !runMustStop()) {
        work.left -= units;
        return true;
    }
    if (units > work.left) work.left = 0;
    work.cut = true;
    reportCut(category, what);
    return false;
}

bool workCut() { return work.depth != 0 && work.cut; }

void workSetCycleLimit(u32 start, u32 length) {
    work.hasCycleLimit = true;
    work.cycleLimitStart = start;
    work.cycleLimitLength = length;
}

void workClearCycleLimit() { work.hasCycleLimit = false; }

void workSetStopPoll(StopPoll poll) { stopPoll = poll; }

// A poll is due once the work has spent kStopPollMilliseconds of the
// thread's processor time since the last, so a run descheduled on a busy
// host does not read keys early. The coarse wall clock costs a few
// nanoseconds and is read at every call; the processor clock, dearer, only
// when the wall clock says a poll may be due. The host time limit counts
// from the first processor reading, at most one interval into the work.
void workPollStop() {
    if (work.depth == 0 || work.cut) return;
    constexpr u64 kInterval = u64{kStopPollMilliseconds} * 1'000'000;
    constexpr u64 kLimit = u64{kHostTimeLimitMilliseconds} * 1'000'000;
    const u64 wall = hostClock(false);
    if (!work.wallClockStarted) {
        work.wallClockStarted = true;
        work.lastPollWall = wall;
        return;
    }
    if (wall - work.lastPollWall < kInterval) return;
    work.lastPollWall = wall;
    const u64 processor = hostClock(true);
    if (!work.processorClockStarted) {
        work.processorClockStarted = true;
        work.firstPollProcessor = work.lastPollProcessor = processor;
        return;
    }
    if (processor - work.firstPollProcessor >= kLimit) {
        work.left = 0;  // the next charge cuts the work
        work.hostTimeSpent = true;
        return;
    }
    if (processor - work.lastPollProcessor < kInterval) return;
    work.lastPollProcessor = processor;
    if (stopPoll != nullptr) stopPoll();
}

void workSetHostClock(HostClock clock) { hostClock = clock != nullptr ? clock : hostClockNanoseconds; }

void workSetBudget(u64 units) { work.budget = units == 0 ? kWorkBudgetUnits : units; }
