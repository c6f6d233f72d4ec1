#include "kernel/objects.h"

#include "kernel/call_registers.h"
#include "kernel/syscalls.h"
#include "memory/bus.h"

KernelObjects kernel;

// Ids come from the guest: each call checks its id against the table size
// before it touches a record. A call that already has a failure answer
// (-1) gives it for a bad id; the others change nothing and set v0 as they
// would for a good id.

namespace {

bool isIntcSlot(u32 cause) { return cause < kIntcHandlerSlotCount; }
bool isDmacSlot(u32 channel) { return channel < kDmacHandlerSlotCount; }
bool isThreadId(u32 id) { return id < kThreadCount; }
bool isSemaId(u32 id) { return id < kSemaCount; }

ThreadRecord& currentThread() { return kernel.threads[kernel.currentThreadId % kThreadCount]; }

// Parameter blocks are read from guest RAM, each word's address masked to
// the 32 MB the way the bus masks data addresses.
void copyFromGuestRam(u32* destination, u32 address, u32 words) {
    for (u32 i = 0; i < words; ++i) destination[i] = memRead32((address + 4 * i) & kRamMask);
}

}  // namespace

void kernelReset() {
    kernel = KernelObjects{};
    kernel.threads[0].word[ThreadRecord::kStatusWord] = kThreadRunning;
    kernel.currentThreadId = 0;
    kernelCalls.sifToggle = 0;
}

void semaIncrementCount(u32 id) {
    if (isSemaId(id)) kernel.semaphores[id].word[SemaRecord::kCountWord] += 1;
}

void SYSCALL_AddIntcHandler() {
    const u32 cause = argA0();
    if (isIntcSlot(cause)) kernel.intcHandlers[cause] = IntcHandlerSlot{1, argA1()};
    returnSigned32(cause);
}

// Removing keeps the address; only the enabled flag drops.
void SYSCALL_RemoveIntcHandler() {
    const u32 cause = argA0();
    if (isIntcSlot(cause)) kernel.intcHandlers[cause].enabled = 0;
    returnValue64(1);
}

void SYSCALL_AddDmacHandler() {
    const u32 channel = argA0();
    if (isDmacSlot(channel)) kernel.dmacHandlers[channel] = DmacHandlerSlot{1, argA1()};
    returnSigned32(channel);
}

void SYSCALL_RemoveDmacHandler() {
    const u32 channel = argA0();
    if (isDmacSlot(channel)) kernel.dmacHandlers[channel].enabled = 0;
    returnValue64(1);
}

// Thread 0 is the guest's main flow, so new threads take ids 1-31.
void SYSCALL_CreateThread() {
    for (u32 id = 1; id < kThreadCount; ++id) {
        ThreadRecord& thread = kernel.threads[id];
        if (thread.word[ThreadRecord::kStatusWord] != kThreadFree) continue;
        copyFromGuestRam(thread.word, argA0(), kThreadRecordWords);
        thread.word[ThreadRecord::kStatusWord] = kThreadCreated;
        returnUnsigned32(id);
        return;
    }
    returnFailure();
}

// Threads are never scheduled, so starting one only answers its id.
void SYSCALL_StartThread() { returnValue64(argA0Full()); }

void SYSCALL_ChangeThreadPriority() {
    const u32 id = argA0();
    if (isThreadId(id)) kernel.threads[id].word[ThreadRecord::kPriorityWord] = argA1();
    returnValue64(argA1Full());
}

void SYSCALL_GetThreadId() { returnUnsigned32(kernel.currentThreadId); }

// A bad id answers -1 and leaves the guest's status block alone.
void SYSCALL_ReferThreadStatus() {
    const u32 id = argA0();
    if (!isThreadId(id)) {
        returnFailure();
        return;
    }
    const ThreadRecord& thread = kernel.threads[id];
    const u32 status = thread.word[ThreadRecord::kStatusWord];
    if (argA1Full() != 0) {
        const u32 block = argA1();
        memWrite32(status, block + 4 * ThreadRecord::kStatusWord);
        memWrite32(thread.word[ThreadRecord::kOptionWord], block + 4 * ThreadRecord::kOptionWord);
        memWrite32(thread.word[ThreadRecord::kPriorityWord], block + 4 * ThreadRecord::kPriorityWord);
    }
    returnSigned32(status);
}

void SYSCALL_SleepThread() {
    currentThread().word[ThreadRecord::kStatusWord] = kThreadWaiting;
    returnUnsigned32(kernel.currentThreadId);
}

void SYSCALL_CreateSema() {
    for (u32 id = 0; id < kSemaCount; ++id) {
        SemaRecord& sema = kernel.semaphores[id];
        if (sema.inUse) continue;
        copyFromGuestRam(sema.word, argA0(), kSemaRecordWords);
        sema.inUse = 1;
        returnUnsigned32(id);
        return;
    }
    returnFailure();
}

void SYSCALL_DeleteSema() {
    const u32 id = argA0();
    if (isSemaId(id)) kernel.semaphores[id].inUse = 0;
    returnValue64(argA0Full());
}

void SYSCALL_SignalSema() {
    const u32 id = argA0();
    if (isSemaId(id)) {
        SemaRecord& sema = kernel.semaphores[id];
        if (static_cast<s32>(sema.word[SemaRecord::kWaitThreadsWord]) >= 0) sema.word[SemaRecord::kCountWord] += 1;
    }
    returnValue64(argA0Full());
}

// Nothing can signal the semaphore while the caller waits, so a wait on a
// zero count marks the caller waiting and returns at once all the same.
void SYSCALL_WaitSema() {
    const u32 id = argA0();
    if (isSemaId(id)) {
        u32& count = kernel.semaphores[id].word[SemaRecord::kCountWord];
        if (count == 0) {
            currentThread().word[ThreadRecord::kStatusWord] = kThreadWaiting;
        } else {
            count -= 1;
        }
    }
    returnSigned32(id);
}

void SYSCALL_PollSema() {
    const u32 id = argA0();
    if (!isSemaId(id)) {
        returnFailure();
        return;
    }
    u32& count = kernel.semaphores[id].word[SemaRecord::kCountWord];
    if (static_cast<s32>(count) < 1) {
        returnFailure();
        return;
    }
    count -= 1;
    returnValue64(argA0Full());
}
