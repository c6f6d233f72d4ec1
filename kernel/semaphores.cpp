#include "kernel/semaphores.h"

#include "kernel/call_registers.h"
#include "kernel/objects.h"
#include "kernel/scheduler.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"

namespace {

// The semaphore parameter block (24 bytes), by word. The count a semaphore
// starts with is the block's initial count; its first word is ignored, and
// so is the waiting-thread count.
constexpr u32 kParamWords = 6;
constexpr u32 kParamMaxCount = 1;
constexpr u32 kParamInitCount = 2;
constexpr u32 kParamAttr = 4;
constexpr u32 kParamOption = 5;

SemaRecord* semaInUse(u32 id) {
    if (id >= kSemaCount || !kernel.semaphores[id].inUse) return nullptr;
    return &kernel.semaphores[id];
}

void answerSema(u32 id) { returnUnsigned32(id); }

u32 takeFirstWaiter(SemaRecord& sema) {
    const u32 id = sema.waiters.head;
    queueRemove(sema.waiters, id);
    sema.waiterCount -= 1;
    return id;
}

// A maximum of 0 or less sets no limit.
bool atMaximum(const SemaRecord& sema) { return sema.maxCount > 0 && sema.count >= sema.maxCount; }

}  // namespace

// Waiters are released in the order they began to wait; the released
// thread's WaitSema answers the semaphore id.
bool signalSema(u32 id) {
    SemaRecord* sema = semaInUse(id);
    if (sema == nullptr) return false;
    if (sema->waiters.head != kNoThread) {
        endThreadWait(takeFirstWaiter(*sema), id);
        return true;
    }
    if (atMaximum(*sema)) return false;
    sema->count += 1;
    return true;
}

void semaIncrementCount(u32 id) { signalSema(id); }

void SYSCALL_CreateSema() {
    u32 param[kParamWords];
    for (u32 i = 0; i < kParamWords; ++i) param[i] = ramWord(argA0() + 4 * i);
    const s32 initCount = static_cast<s32>(param[kParamInitCount]);
    if (initCount < 0) {
        returnFailure();
        return;
    }
    for (u32 id = 0; id < kSemaCount; ++id) {
        SemaRecord& sema = kernel.semaphores[id];
        if (sema.inUse) continue;
        sema = SemaRecord{};
        sema.inUse = 1;
        sema.count = initCount;
        sema.initCount = initCount;
        sema.maxCount = static_cast<s32>(param[kParamMaxCount]);
        sema.attr = param[kParamAttr];
        sema.option = param[kParamOption];
        answerSema(id);
        return;
    }
    returnFailure();
}

// The threads still waiting are released, their WaitSema answering -1.
void SYSCALL_DeleteSema() {
    const u32 id = argA0();
    SemaRecord* sema = semaInUse(id);
    if (sema == nullptr) {
        returnFailure();
        return;
    }
    while (sema->waiters.head != kNoThread) endThreadWait(takeFirstWaiter(*sema), ~u64{0});
    *sema = SemaRecord{};
    answerSema(id);
}

void SYSCALL_SignalSema() {
    if (signalSema(argA0())) {
        answerSema(argA0());
    } else {
        returnFailure();
    }
}

// An interrupt handler, or a thread that disabled dispatching, cannot wait:
// on a zero count it gets -1 at once.
void SYSCALL_WaitSema() {
    const u32 id = argA0();
    SemaRecord* sema = semaInUse(id);
    if (sema == nullptr || (sema->count <= 0 && !currentThreadMayWait())) {
        returnFailure();
        return;
    }
    answerSema(id);
    if (sema->count > 0) {
        sema->count -= 1;
        return;
    }
    queuePushBack(sema->waiters, kernel.currentThreadId);
    sema->waiterCount += 1;
    blockCurrentThread(kWaitSema, id);
}

void SYSCALL_PollSema() {
    const u32 id = argA0();
    SemaRecord* sema = semaInUse(id);
    if (sema == nullptr || sema->count <= 0) {
        returnFailure();
        return;
    }
    sema->count -= 1;
    answerSema(id);
}

// Fills the guest's parameter block: count, maximum, initial count, the
// number of waiting threads, attributes and option.
void SYSCALL_ReferSemaStatus() {
    const u32 id = argA0();
    const SemaRecord* sema = semaInUse(id);
    if (sema == nullptr) {
        returnFailure();
        return;
    }
    const u32 words[kParamWords] = {static_cast<u32>(sema->count), static_cast<u32>(sema->maxCount),
                                    static_cast<u32>(sema->initCount), sema->waiterCount,
                                    sema->attr, sema->option};
    for (u32 i = 0; i < kParamWords; ++i) memWrite32(words[i], argA1() + 4 * i);
    answerSema(id);
}
