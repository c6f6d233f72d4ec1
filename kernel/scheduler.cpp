#include "kernel/scheduler.h"

#include <cstring>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "core/machine_calls.h"
#include "core/run_control.h"
#include "devices/hw_registers.h"
#include "devices/timers.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

constexpr u32 kVblankCauses = 0xC;          // INTC causes 2 and 3 come every frame
constexpr u32 kFirstTimerCause = 9;         // timers 0-3 raise INTC causes 9-12
constexpr u32 kTimerBlockStride = 0x800;
constexpr u32 kTimerModeOffset = 0x10;
constexpr u32 kTimerInterruptEnables = 0x300;  // Tn_MODE compare (bit 8) and overflow (bit 9)

bool idleLimited;
u32 idleEndCycle;

u32 hwWord(u32 offset) { return hostLoad<u32>(memory.hw + offset); }

void saveContext(ThreadContext& context) {
    std::memcpy(context.gpr, ee.gpr, sizeof ee.gpr);
    context.hi = ee.hi;
    context.lo = ee.lo;
    context.sa = ee.sa;
    context.pc = ee.pc;
    std::memcpy(context.fpr, fpu.fpr, sizeof fpu.fpr);
    context.fpuAcc = fpu.fpuAcc;
    context.fcr31 = fpu.fcr[31];
}

void loadContext(const ThreadContext& context) {
    std::memcpy(ee.gpr, context.gpr, sizeof ee.gpr);
    ee.hi = context.hi;
    ee.lo = context.lo;
    ee.sa = context.sa;
    ee.pc = context.pc;
    std::memcpy(fpu.fpr, context.fpr, sizeof fpu.fpr);
    fpu.fpuAcc = context.fpuAcc;
    fpu.fcr[31] = context.fcr31;
}

void queuePushFront(ThreadQueue& queue, u32 id) {
    ThreadRecord& thread = threadRecord(id);
    thread.previous = kNoThread;
    thread.next = queue.head;
    if (queue.head != kNoThread) {
        threadRecord(queue.head).previous = static_cast<u16>(id);
    } else {
        queue.tail = static_cast<u16>(id);
    }
    queue.head = static_cast<u16>(id);
}

// Loads a ready thread's registers and lets it run.
void runThread(u32 id) {
    ThreadRecord& thread = threadRecord(id);
    removeFromReadyQueue(id);
    thread.status = kThreadRunning;
    loadContext(thread.context);
    kernel.currentThreadId = id;
    kernel.idle = false;
}

// With dispatching disabled the running thread stays on the processor even
// when it stepped aside for its equals (RotateThreadReadyQueue) or lowered
// its priority: it leaves the ready queue again, and the turn it gave away
// is lost. A thread that was readied meanwhile runs if it is more urgent
// once dispatching is enabled again. A thread that ended cannot stay.
bool keepsProcessorWhileDispatchIsDisabled(ThreadRecord& current) {
    if (current.status == kThreadReady) {
        removeFromReadyQueue(kernel.currentThreadId);
        current.status = kThreadRunning;
    }
    return current.status == kThreadRunning;
}

// Nothing could ever run again: every thread is dormant or gone.
bool noThreadLeftToRun() {
    for (const ThreadRecord& thread : kernel.threads) {
        if (thread.status != kThreadFree && thread.status != kThreadDormant) return false;
    }
    return true;
}

bool interruptsDeliverable() {
    return (cop0.r[kCop0Status] & (kStatusIE | kStatusEIE)) == (kStatusIE | kStatusEIE);
}

// INTC causes that come while no instruction runs: the vertical blank, and
// each timer whose compare or overflow interrupt is enabled.
u32 causesThatArriveByThemselves() {
    u32 causes = kVblankCauses;
    for (u32 timer = 0; timer < kTimerCount; ++timer) {
        if ((hwWord(kTimerBlockStride * timer + kTimerModeOffset) & kTimerInterruptEnables) != 0) {
            causes |= 1u << (kFirstTimerCause + timer);
        }
    }
    return causes;
}

// Whether anything could still wake a waiting thread: an alarm, or an
// interrupt that will start a delivery and find a handler to run.
bool wakeSourceExists() {
    if (!interruptsDeliverable()) return false;
    for (const AlarmRecord& alarm : kernel.alarms) {
        if (alarm.inUse) return true;
    }
    const u32 causes = causesThatArriveByThemselves() | hwWord(kHwIntcStat);
    if ((causes & hwWord(kHwIntcMask)) == 0) return false;
    for (u32 cause = 0; cause < kIntcHandlerSlotCount; ++cause) {
        if (kernel.intcHandlers[cause].enabled && (causes & (1u << cause)) != 0) return true;
    }
    return false;
}

void skipCycles(u32 cycles) {
    ee.cycle += cycles;
    kernel.idleCycles += cycles;
}

// Cycles until the event scheduler must run; 0 when it is already due (the
// scheduler runs only after taken branches, so a call can come after that).
u32 cyclesUntilNextEvent() {
    const u32 sinceBase = ee.cycle - eventBase;
    return sinceBase >= eventDelta ? 0 : eventDelta - sinceBase;
}

// Advances time event by event until a thread is ready to run, the run
// stops or reaches its cycle limit.
void idleUntilStopOrThreadReady(u32 stepStillToCount) {
    while (kernel.idle) {
        if (stopFlag == 1) return;
        if (noThreadLeftToRun()) {
            endRun(KernelEnd::Exit, 0);
            return;
        }
        if (!wakeSourceExists()) {
            endRun(KernelEnd::Deadlock, 0);
            return;
        }
        const u32 untilEvent = cyclesUntilNextEvent();
        const u32 left = idleEndCycle - ee.cycle;
        const u32 allowed = left > stepStillToCount ? left - stepStillToCount : 0;
        if (idleLimited && allowed < untilEvent) {
            skipCycles(allowed);
            return;
        }
        skipCycles(untilEvent);
        schedulerRun();
        if (interruptsDeliverable()) deliverInterrupts();
        kernel.switchPending = false;
        const u32 next = mostUrgentReadyThread();
        if (next != kNoThread) runThread(next);
    }
}

// `stepStillToCount` is 1 inside an instruction (a system call, or the
// branch whose delay slot delivered interrupts), which is counted after it
// returns: the cycle limit must hold with it counted. When a stop cuts
// such a stretch, the instruction is counted before the rest of the
// skipped time; idleStepCounted remembers that, so that going on later
// takes that count back first and the events fall on the cycles of an
// uninterrupted run.
void idleUntilAThreadIsReady(u32 stepStillToCount) {
    idleUntilStopOrThreadReady(stepStillToCount);
    kernel.idleStepCounted = kernel.idle && stepStillToCount == 1;
}

}  // namespace

ThreadRecord& threadRecord(u32 id) { return kernel.threads[id % kThreadCount]; }

u32 existingThreadId(u32 id) {
    if (id == 0) return kernel.currentThreadId;
    if (id >= kThreadCount || kernel.threads[id].status == kThreadFree) return kNoThread;
    return id;
}

void queuePushBack(ThreadQueue& queue, u32 id) {
    ThreadRecord& thread = threadRecord(id);
    thread.next = kNoThread;
    thread.previous = queue.tail;
    if (queue.tail != kNoThread) {
        threadRecord(queue.tail).next = static_cast<u16>(id);
    } else {
        queue.head = static_cast<u16>(id);
    }
    queue.tail = static_cast<u16>(id);
}

void queueRemove(ThreadQueue& queue, u32 id) {
    ThreadRecord& thread = threadRecord(id);
    if (thread.previous != kNoThread) {
        threadRecord(thread.previous).next = thread.next;
    } else if (queue.head == id) {
        queue.head = thread.next;
    }
    if (thread.next != kNoThread) {
        threadRecord(thread.next).previous = thread.previous;
    } else if (queue.tail == id) {
        queue.tail = thread.previous;
    }
    thread.next = kNoThread;
    thread.previous = kNoThread;
}

void makeThreadReady(u32 id) {
    ThreadRecord& thread = threadRecord(id);
    thread.status = kThreadReady;
    queuePushBack(kernel.readyQueues[thread.priority % kPriorityCount], id);
    kernel.switchPending = true;
}

void removeFromReadyQueue(u32 id) {
    queueRemove(kernel.readyQueues[threadRecord(id).priority % kPriorityCount], id);
}

void blockCurrentThread(u32 waitType, u32 waitId) {
    ThreadRecord& thread = threadRecord(kernel.currentThreadId);
    thread.status = kThreadWaiting;
    thread.waitType = waitType;
    thread.waitId = waitId;
    kernel.switchPending = true;
}

void endThreadWait(u32 id, u64 result) {
    ThreadRecord& thread = threadRecord(id);
    thread.waitType = kWaitNone;
    thread.waitId = 0;
    thread.context.gpr[kGprV0].d[0] = result;
    if (thread.status == kThreadWaitSuspended) {
        thread.status = kThreadSuspended;
    } else {
        makeThreadReady(id);
    }
}

bool currentThreadMayWait() { return !inInterruptContext() && !kernel.dispatchDisabled; }

u32 mostUrgentReadyThread() {
    for (const ThreadQueue& queue : kernel.readyQueues) {
        if (queue.head != kNoThread) return queue.head;
    }
    return kNoThread;
}

void reschedule() {
    kernel.switchPending = false;
    ThreadRecord& current = threadRecord(kernel.currentThreadId);
    if (!kernel.idle && kernel.dispatchDisabled && keepsProcessorWhileDispatchIsDisabled(current)) return;
    const u32 next = mostUrgentReadyThread();
    if (!kernel.idle) {
        if (current.status == kThreadRunning) {
            if (next == kNoThread || threadRecord(next).priority >= current.priority) return;
            current.status = kThreadReady;
            queuePushFront(kernel.readyQueues[current.priority % kPriorityCount], kernel.currentThreadId);
        }
        if (current.status != kThreadFree && current.status != kThreadDormant) saveContext(current.context);
    }
    if (next != kNoThread) {
        runThread(next);
        return;
    }
    kernel.idle = true;
    idleUntilAThreadIsReady(1);
}

void endRun(KernelEnd end, s32 exitCode) {
    kernel.end = end;
    kernel.exitCode = exitCode;
    raiseStopFlag();
}

void setIdleCycleLimit(bool limited, u32 endCycle) {
    idleLimited = limited;
    idleEndCycle = endCycle;
}

void resumeIdle() {
    if (!kernel.idle || kernel.end != KernelEnd::None) return;
    if (!kernel.idleStepCounted) {
        idleUntilAThreadIsReady(0);
        return;
    }
    ee.cycle -= 1;
    idleUntilAThreadIsReady(1);
    ee.cycle += 1;
}
