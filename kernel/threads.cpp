#include "kernel/threads.h"

#include "cop/fpu.h"
#include "core/ee_state.h"
#include "kernel/call_registers.h"
#include "kernel/objects.h"
#include "kernel/scheduler.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"

namespace {

// The parameter block of CreateThread (36 bytes), by word.
constexpr u32 kParamWords = 9;
constexpr u32 kParamEntry = 1;
constexpr u32 kParamStack = 2;
constexpr u32 kParamStackSize = 3;
constexpr u32 kParamGp = 4;
constexpr u32 kParamInitPriority = 5;
constexpr u32 kParamAttr = 7;
constexpr u32 kParamOption = 8;

// The status block of ReferThreadStatus (48 bytes).
constexpr u32 kStatusBlockWords = 12;

// The callee may store its four register arguments just above its stack
// pointer, so a thread starts that far below the top of its stack.
constexpr u32 kArgumentSaveArea = 16;

// ExitThread's stub: addiu v1, zero, 35; syscall; b back to the addiu; nop.
constexpr u32 kExitStub[] = {0x24030023, 0x0000000C, 0x1000FFFD, 0x00000000};

bool isPriority(u32 priority) { return priority < kPriorityCount; }

ThreadRecord& current() { return threadRecord(kernel.currentThreadId); }

// The running thread itself (not the thread that an interrupt handler or an
// idle stretch happens to find in the registers).
bool isRunningThread(u32 id) { return id == kernel.currentThreadId && threadRecord(id).status == kThreadRunning; }

bool isWaiting(const ThreadRecord& thread) {
    return thread.status == kThreadWaiting || thread.status == kThreadWaitSuspended;
}

void answerThread(u32 id) { returnUnsigned32(id); }

// Takes a waiting thread off the wait queue of its semaphore.
void leaveWaitQueue(u32 id) {
    ThreadRecord& thread = threadRecord(id);
    if (thread.waitType != kWaitSema || thread.waitId >= kSemaCount) return;
    SemaRecord& sema = kernel.semaphores[thread.waitId];
    queueRemove(sema.waiters, id);
    sema.waiterCount -= 1;
}

// Stops a thread that is not the running one, wherever it is.
void makeDormant(u32 id) {
    ThreadRecord& thread = threadRecord(id);
    if (thread.status == kThreadReady) removeFromReadyQueue(id);
    if (isWaiting(thread)) leaveWaitQueue(id);
    thread.status = kThreadDormant;
    thread.waitType = kWaitNone;
    thread.waitId = 0;
    thread.wakeupCount = 0;
}

// A started thread begins at its entry with its argument in a0, its stack
// and gp, and a return address that ends it.
void prepareStart(ThreadRecord& thread, u64 argument) {
    for (u32 i = 0; i < std::size(kExitStub); ++i) memWrite32(kExitStub[i], kThreadExitStubAddress + 4 * i);
    thread.context = ThreadContext{};
    thread.context.pc = thread.entry;
    thread.context.gpr[kGprA0].d[0] = argument;
    thread.context.gpr[kGprSp].d[0] = thread.stack + thread.stackSize - kArgumentSaveArea;
    thread.context.gpr[kGprGp].d[0] = thread.gp;
    thread.context.gpr[kGprRa].d[0] = kThreadExitStubAddress;
    thread.context.fcr31 = kFcr31AtReset;
    thread.priority = thread.initPriority;
    thread.wakeupCount = 0;
}

// The ending thread is the running one; an interrupt handler cannot end it.
// A thread that disabled dispatching and ends gives the processor up all
// the same, and dispatching is enabled again for the threads after it.
bool endCurrentThread(u32 status) {
    if (inInterruptContext() || current().status != kThreadRunning) return false;
    current().status = status;
    kernel.dispatchDisabled = false;
    kernel.switchPending = true;
    return true;
}

}  // namespace

// Thread 1 is the program's main thread, so new threads begin at 2; an id
// freed by deletion is taken again.
void SYSCALL_CreateThread() {
    u32 param[kParamWords];
    for (u32 i = 0; i < kParamWords; ++i) param[i] = ramWord(argA0() + 4 * i);
    if (!isPriority(param[kParamInitPriority])) {
        returnFailure();
        return;
    }
    for (u32 id = kMainThreadId; id < kThreadCount; ++id) {
        ThreadRecord& thread = kernel.threads[id];
        if (thread.status != kThreadFree) continue;
        thread = ThreadRecord{};
        thread.status = kThreadDormant;
        thread.entry = param[kParamEntry];
        thread.stack = param[kParamStack];
        thread.stackSize = param[kParamStackSize];
        thread.gp = param[kParamGp];
        thread.initPriority = param[kParamInitPriority];
        thread.priority = param[kParamInitPriority];
        thread.attr = param[kParamAttr];
        thread.option = param[kParamOption];
        answerThread(id);
        return;
    }
    returnFailure();
}

void SYSCALL_DeleteThread() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread || threadRecord(id).status != kThreadDormant) {
        returnFailure();
        return;
    }
    threadRecord(id) = ThreadRecord{};
    answerThread(id);
}

void SYSCALL_StartThread() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread || threadRecord(id).status != kThreadDormant) {
        returnFailure();
        return;
    }
    prepareStart(threadRecord(id), argA1Full());
    makeThreadReady(id);
    answerThread(id);
}

void SYSCALL_ExitThread() {
    if (!endCurrentThread(kThreadDormant)) returnFailure();
}

void SYSCALL_ExitDeleteThread() {
    if (!endCurrentThread(kThreadFree)) returnFailure();
}

void SYSCALL_TerminateThread() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread || isRunningThread(id) || threadRecord(id).status == kThreadDormant) {
        returnFailure();
        return;
    }
    makeDormant(id);
    answerThread(id);
}

// A ready thread moves to the back of its new priority's queue; so does
// the running thread when its priority becomes less urgent, which lets the
// threads of that priority that were ready before it run first.
void SYSCALL_ChangeThreadPriority() {
    const u32 id = existingThreadId(argA0());
    const u32 priority = argA1();
    if (id == kNoThread || !isPriority(priority)) {
        returnFailure();
        return;
    }
    ThreadRecord& thread = threadRecord(id);
    if (thread.status == kThreadReady) {
        removeFromReadyQueue(id);
        thread.priority = priority;
        makeThreadReady(id);
    } else if (isRunningThread(id) && priority > thread.priority) {
        thread.priority = priority;
        makeThreadReady(id);
    } else {
        thread.priority = priority;
    }
    returnValue64(argA1Full());
}

// The running thread, when it has that priority, goes to the back of the
// queue; otherwise the queue's head does. Interrupt handlers use this for
// round-robin time slicing.
void SYSCALL_RotateThreadReadyQueue() {
    const u32 priority = argA0();
    if (!isPriority(priority)) {
        returnFailure();
        return;
    }
    ThreadQueue& queue = kernel.readyQueues[priority];
    if (isRunningThread(kernel.currentThreadId) && current().priority == priority) {
        makeThreadReady(kernel.currentThreadId);
    } else if (queue.head != queue.tail) {
        const u32 head = queue.head;
        queueRemove(queue, head);
        queuePushBack(queue, head);
        kernel.switchPending = true;
    }
    returnUnsigned32(priority);
}

// The released thread's wait call answers -1.
void SYSCALL_ReleaseWaitThread() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread || !isWaiting(threadRecord(id))) {
        returnFailure();
        return;
    }
    leaveWaitQueue(id);
    endThreadWait(id, ~u64{0});
    answerThread(id);
}

void SYSCALL_GetThreadId() { returnUnsigned32(kernel.currentThreadId); }

void SYSCALL_ReferThreadStatus() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread) {
        returnFailure();
        return;
    }
    const ThreadRecord& thread = threadRecord(id);
    if (argA1Full() != 0) {
        const u32 words[kStatusBlockWords] = {thread.status,       thread.entry,    thread.stack,  thread.stackSize,
                                               thread.gp,           thread.initPriority, thread.priority, thread.attr,
                                               thread.option,       thread.waitType, thread.waitId, thread.wakeupCount};
        for (u32 i = 0; i < kStatusBlockWords; ++i) memWrite32(words[i], argA1() + 4 * i);
    }
    returnSigned32(thread.status);
}

// A wakeup that came before the sleep is used up at once. The sleeping
// call answers the thread's id when woken.
void SYSCALL_SleepThread() {
    ThreadRecord& thread = current();
    if (inInterruptContext()) {
        returnFailure();
        return;
    }
    if (thread.wakeupCount > 0) {
        thread.wakeupCount -= 1;
        returnUnsigned32(kernel.currentThreadId);
        return;
    }
    if (!currentThreadMayWait()) {
        returnFailure();
        return;
    }
    returnUnsigned32(kernel.currentThreadId);
    blockCurrentThread(kWaitSleep, 0);
}

// A thread that is not asleep keeps the wakeup for its next sleep.
void SYSCALL_WakeupThread() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread || threadRecord(id).status == kThreadDormant) {
        returnFailure();
        return;
    }
    ThreadRecord& thread = threadRecord(id);
    if (isWaiting(thread) && thread.waitType == kWaitSleep) {
        endThreadWait(id, id);
    } else {
        thread.wakeupCount += 1;
    }
    answerThread(id);
}

// Answers the wakeups that were kept, and forgets them.
void SYSCALL_CancelWakeupThread() {
    const u32 id = existingThreadId(argA0());
    if (id == kNoThread) {
        returnFailure();
        return;
    }
    returnUnsigned32(threadRecord(id).wakeupCount);
    threadRecord(id).wakeupCount = 0;
}

// A thread cannot suspend itself; a waiting thread stays in its wait and
// is only suspended once the wait ends.
void SYSCALL_SuspendThread() {
    const u32 id = existingThreadId(argA0());
    ThreadRecord& thread = threadRecord(id);
    if (id == kNoThread || (thread.status != kThreadReady && thread.status != kThreadWaiting)) {
        returnFailure();
        return;
    }
    if (thread.status == kThreadReady) {
        removeFromReadyQueue(id);
        thread.status = kThreadSuspended;
    } else {
        thread.status = kThreadWaitSuspended;
    }
    answerThread(id);
}

void SYSCALL_ResumeThread() {
    const u32 id = existingThreadId(argA0());
    ThreadRecord& thread = threadRecord(id);
    if (id == kNoThread || (thread.status != kThreadSuspended && thread.status != kThreadWaitSuspended)) {
        returnFailure();
        return;
    }
    if (thread.status == kThreadSuspended) {
        makeThreadReady(id);
    } else {
        thread.status = kThreadWaiting;
    }
    answerThread(id);
}

// Both answer nothing (v0 is left as it was). Disabling twice needs one
// enable; a switch that came due meanwhile happens as EnableDispatchThread
// returns.
void SYSCALL_DisableDispatchThread() { kernel.dispatchDisabled = true; }

void SYSCALL_EnableDispatchThread() {
    if (!kernel.dispatchDisabled) return;
    kernel.dispatchDisabled = false;
    kernel.switchPending = true;
}
