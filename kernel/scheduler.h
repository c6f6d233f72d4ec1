// The thread scheduler: one ready queue per priority, and the switch of the
// EE registers from one thread to another.
//
// Calls never switch threads themselves: they change the queues and mark a
// switch pending. The switch happens when the system call returns, or, for
// calls made by interrupt handlers and alarm callbacks, when interrupt
// delivery has returned to the interrupted thread. A running thread keeps
// the processor until it blocks or ends, or until a thread of a more urgent
// priority becomes ready; a thread preempted that way goes back to the head
// of its ready queue, so it runs first among its equals.
//
// When no thread can run, the machine idles: time jumps to the next
// scheduled event (vertical blank, timer, alarm), the event is delivered,
// and so on until some thread is ready, the run is stopped, or nothing
// could ever wake a thread again (deadlock).
#pragma once

#include "core/types.h"
#include "kernel/objects.h"

ThreadRecord& threadRecord(u32 id);

// The id a thread call names: 0 stands for the calling thread. Returns
// kNoThread when the id names no thread that exists.
u32 existingThreadId(u32 id);

void queuePushBack(ThreadQueue& queue, u32 id);
void queueRemove(ThreadQueue& queue, u32 id);

// Makes a thread ready: at the back of its priority's queue.
void makeThreadReady(u32 id);
// Takes a ready thread out of its queue (suspend, terminate, priority change).
void removeFromReadyQueue(u32 id);

// The calling thread waits; the switch follows when its call returns.
void blockCurrentThread(u32 waitType, u32 waitId);

// Ends a thread's wait: it becomes ready (or, if suspended, only suspended)
// and its call returns `result`.
void endThreadWait(u32 id, u64 result);

// Whether an interrupt handler or alarm callback is running: calls made
// there must not block, and their switches wait for delivery to return.
// The machine's interrupt delivery, which runs them, answers.
bool inInterruptContext();

// Whether the caller of a waiting call may block: not from an interrupt
// handler, and not while dispatching is disabled, since the thread has
// promised to keep the processor (the call then answers -1 at once).
bool currentThreadMayWait();

// Switches to the most urgent ready thread if it should run instead of the
// current one; idles when none can run. Called when a system call returns
// with a switch pending.
void reschedule();

// After interrupt delivery has returned to the interrupted thread, with the
// PC already at the instruction it resumes at.
inline void rescheduleAfterInterrupts() {
    if (kernel.switchPending) reschedule();
}

// Ends the run: Exit, or the scheduler finding that no thread could ever
// run again. The run loop reports it and stops.
void endRun(KernelEnd end, s32 exitCode);

// The cycle at which the run must get control back, when it has a cycle
// limit: idling stops there, with the machine still idle.
void setIdleCycleLimit(bool limited, u32 endCycle);

// Goes on idling if the machine is idle (a run that begins or goes on after
// stopping in the middle of an idle stretch).
void resumeIdle();

// The most urgent ready thread, or kNoThread.
u32 mostUrgentReadyThread();
