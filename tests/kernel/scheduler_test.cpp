// Threads scheduled by the kernel, run as guest programs: each program
// appends events to a log in guest RAM as its threads and handlers run,
// and the test compares the log with the order the scheduler must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ee_state.h"
#include "debugger/debug_log.h"
#include "devices/timers.h"
#include "kernel/objects.h"
#include "kernel/threads.h"
#include "kernel_guest.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

std::vector<u32> eventLog() {
    std::vector<u32> log;
    const u32 count = guestWord(guestSymbol("eventCount"));
    for (u32 i = 0; i < count && i < 64; ++i) log.push_back(guestWord(guestSymbol("events") + 4 * i));
    return log;
}

StopReason runWithMode(const char* program, u32 mode) {
    EXPECT_TRUE(loadGuestProgram(program));
    hostStore<u32>(memory.ram + guestSymbol("mode"), mode);
    return runGuest(10'000'000);
}

}  // namespace

TEST(KernelScheduler, PriorityPreemptionRoundRobinAndThreadEnds) {
    ASSERT_TRUE(loadGuestProgram("sched_order"));
    ASSERT_EQ(runGuest(), StopReason::Exit);
    EXPECT_EQ(eventLog(), (std::vector<u32>{
        0x01,              // A is less urgent: started, not run
        0x21, 0x02,        // B preempts at its start, then waits
        0x31, 0x32, 0x22,  // C signals B (equal priority: no switch) and exits; then B
        0x03, 0x11, 0x04,  // the program waits; A runs and signals it, and is preempted
        0x05, 0x06, 0x07, 0x08, 0x09, 0x0A,
        0x0B, 0x40, 0x50, 0x60, 0x41, 0x51, 0x61, 0x42, 0x52, 0x62, 0x0C, 0x0D, 0x0E,
        0x21, 0x0F,        // B restarted from its entry
    }));
    EXPECT_EQ(programExitCode(), 7);
    EXPECT_EQ(kernel.currentThreadId, kMainThreadId);
}

TEST(KernelScheduler, ASwitchKeepsEachThreadsRegisters) {
    runProgram("sched_context");
    // Each note follows the rotate that handed over; the program ends before
    // the other thread notes its last round.
    EXPECT_EQ(eventLog(), (std::vector<u32>{0x10, 0x20, 0x11, 0x21, 0x12}));
}

TEST(KernelScheduler, SemaphoreWaitersSleepWakeupReleaseAndSuspension) {
    runProgram("sched_waits");
    EXPECT_EQ(eventLog(), (std::vector<u32>{
        0x10, 0x20, 0x30, 0x01,
        0x11,              // the signal goes to the first waiter, not the most urgent
        0x22, 0x32, 0x02,  // deletion releases the others with -1, most urgent first
        0x03, 0x04, 0x05, 0x06,
        0x41, 0x42, 0x43,  // two kept wakeups, then the sleep waits
        0x07, 0x08, 0x44, 0x09,
        0x51, 0x0A, 0x0B,
        0x60, 0x0C, 0x0D, 0x0E, 0x0F, 0x61, 0x10, 0x11,
    }));
}

TEST(KernelScheduler, HandlersReadyThreadsAndTheMachineIdlesToAlarmsAndVerticalBlanks) {
    runProgram("sched_interrupts");
    EXPECT_EQ(eventLog(), (std::vector<u32>{0x01, 0x02, 0x03, 0x04, 0x06, 0x05, 0x07, 0x08}));
    const u32 spins = guestWord(guestSymbol("spins"));
    const u32 spinsWhenWorkerRan = guestWord(guestSymbol("spinsWhenWorkerRan"));
    EXPECT_GT(spinsWhenWorkerRan, 1000u) << "the worker ran from the vertical blank, not before";
    EXPECT_LE(spins - spinsWhenWorkerRan, 1u) << "the program's loop went on where it was interrupted";

    const u32 mainThread = guestSymbol("mainThread");
    const u32 arguments = guestSymbol("alarmArguments");
    EXPECT_EQ(guestWord(arguments), 0u) << "alarm id";
    EXPECT_EQ(guestWord(arguments + 4), 100u) << "time";
    EXPECT_EQ(guestWord(arguments + 8), mainThread) << "common argument";
    // Timer 0 counts 4 per 512 cycles: 100 horizontal syncs of 600 cycles.
    const u32 counts = guestSymbol("alarmCounts");
    const u32 elapsed = ((guestWord(counts + 4) - guestWord(counts)) & 0xFFFF) / 4 * 512;
    EXPECT_GE(elapsed, 60000u - 512);
    EXPECT_LT(elapsed, 60000u + 1024);

    // The second vertical blank woke the program; the time between was
    // skipped, not executed.
    EXPECT_EQ(vblankCount, 2u);
    EXPECT_GE(ee.cycle, 2 * kFrameCycles);
    EXPECT_LT(ee.cycle - kernel.idleCycles, kFrameCycles + 20000) << "instructions executed";
    EXPECT_GT(kernel.idleCycles, kFrameCycles / 2);
}

TEST(KernelScheduler, AWaitNothingCanEndIsADeadlock) {
    ASSERT_EQ(runWithMode("sched_ends", 1), StopReason::Deadlock);
    EXPECT_EQ(eventLog(), (std::vector<u32>{0x01}));
    EXPECT_EQ(kernel.threads[kMainThreadId].status, kThreadWaiting);
    EXPECT_EQ(runGuest(), StopReason::Deadlock) << "a later run stops at once";
}

TEST(KernelScheduler, TheRunEndsWhenTheLastThreadThatCouldRunHasEnded) {
    ASSERT_EQ(runWithMode("sched_ends", 2), StopReason::Exit);
    EXPECT_EQ(eventLog(), (std::vector<u32>{0x01, 0x02}));
    EXPECT_EQ(programExitCode(), 0);
    EXPECT_EQ(vblankCount, 1u);
    EXPECT_EQ(kernel.threads[kMainThreadId].status, kThreadDormant);
    EXPECT_EQ(guestWord(kThreadExitStubAddress + 4), 0x0000000Cu) << "the worker returned through the exit stub";
}

TEST(KernelScheduler, NoSwitchWhileDispatchingIsDisabled) {
    runProgram("sched_dispatch");
    EXPECT_EQ(eventLog(), (std::vector<u32>{
        0x01, 0x02,        // neither a more urgent start nor a rotation hands over
        0x03, 0x04, 0x05,  // waits answer -1; the program still runs
        0x10, 0x06,        // enabled: the urgent thread runs until it waits
        0x07, 0x11, 0x08,  // readied by a handler, it runs only once enabled
        0x20, 0x09,        // the rotation turn given away while disabled was lost
    }));
}

// The debugger steps as a run would: while every thread waits, a step
// first lets time pass to the event that readies one, instead of running
// the waiting thread's code.
TEST(KernelScheduler, DebuggerStepsWaitForAThreadWhileTheMachineIdles) {
    ASSERT_EQ(runWithMode("sched_ends", 2), StopReason::Exit);
    const u32 cyclesToEnd = ee.cycle;

    // The same program, stopped while the worker waits for the vertical blank.
    ASSERT_TRUE(loadGuestProgram("sched_ends"));
    ASSERT_EQ(runGuest(100'000), StopReason::MaxCycles);
    ASSERT_TRUE(kernel.idle);
    const u32 worker = kernel.currentThreadId;
    ASSERT_NE(worker, kMainThreadId);
    ASSERT_EQ(vblankCount, 0u);

    std::vector<std::string> messages;
    setDebugLogHook([&](const std::string& line) { messages.push_back(line); });
    EXPECT_EQ(emuStepForDebugger(1), 1u);
    setDebugLogHook(nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{"thread " + std::to_string(worker) + " runs"});
    EXPECT_EQ(vblankCount, 1u) << "time went on to the vertical blank that readied the worker";
    EXPECT_FALSE(kernel.idle);
    EXPECT_EQ(kernel.currentThreadId, worker);
    EXPECT_EQ(eventLog(), (std::vector<u32>{0x01}));

    EXPECT_LT(emuStepForDebugger(1'000'000), 1'000'000u) << "the steps end with the program";
    EXPECT_EQ(eventLog(), (std::vector<u32>{0x01, 0x02}));
    EXPECT_EQ(programEndText(), "exit, exit code 0");
    // The waiting call's own instruction is counted after the skipped time,
    // whether or not the run stopped in the middle of it.
    EXPECT_EQ(ee.cycle, cyclesToEnd) << "stepping ran no instruction that the run did not, on the same cycles";
    EXPECT_EQ(emuStepForDebugger(1), 0u);

    ASSERT_EQ(runWithMode("sched_ends", 1), StopReason::Deadlock);
    const u32 pc = ee.pc;
    EXPECT_EQ(emuStepForDebugger(5000), 0u) << "nothing can run after a deadlock";
    EXPECT_EQ(ee.pc, pc);
    EXPECT_EQ(programEndText(), "deadlock");
}
