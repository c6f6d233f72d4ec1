#include "core/work_budget.h"

#include <time.h>

#include "core/ee_state.h"
#include "core/emulation.h"

namespace {

struct WorkBudget {
    u64 budget = kWorkBudgetUnits;  // units each guest instruction starts with
    u64 left = kWorkBudgetUnits;
    u32 depth = 0;
    bool stopWasRaised = false;  // the run's stop flag was up when the work began
    bool cut = false;
    bool hasCycleLimit = false;
    u32 cycleLimitStart = 0;
    u32 cycleLimitLength = 0;
    bool pollClockStarted = false;  // the scope's first workPollStop has read the clock
    u64 lastPollNanoseconds = 0;
};

WorkBudget work;
StopPoll stopPoll = nullptr;

// A stop raised before the work began (the vertical blank that reached the
// run's limit) does not cut it, or that blank's handlers would never run.
bool runMustStop() {
    if (stopFlag == 1 && !work.stopWasRaised) return true;
    return work.hasCycleLimit && ee.cycle - work.cycleLimitStart >= work.cycleLimitLength;
}

void reportCut(LogCategory category, const char* what) {
    if (work.left == 0) {
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
    work.stopWasRaised = stopFlag == 1;
    work.pollClockStarted = false;
}

WorkScope::~WorkScope() { --work.depth; }

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

// The coarse clock (a few milliseconds of resolution) costs a few
// nanoseconds, so it can be read between slices of a few quadwords.
void workPollStop() {
    if (stopPoll == nullptr || work.depth == 0) return;
    timespec clock;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &clock);
    const u64 now = static_cast<u64>(clock.tv_sec) * 1'000'000'000 + static_cast<u64>(clock.tv_nsec);
    if (!work.pollClockStarted) {
        work.pollClockStarted = true;
        work.lastPollNanoseconds = now;
        return;
    }
    if (now - work.lastPollNanoseconds < u64{kStopPollMilliseconds} * 1'000'000) return;
    work.lastPollNanoseconds = now;
    stopPoll();
}

void workSetBudget(u64 units) { work.budget = units == 0 ? kWorkBudgetUnits : units; }
