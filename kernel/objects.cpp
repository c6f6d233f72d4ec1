#include "kernel/objects.h"

#include "core/diagnostics.h"
#include "kernel/call_registers.h"
#include "kernel/syscalls.h"

KernelObjects kernel;

namespace {

bool isIntcSlot(u32 cause) { return cause < kIntcHandlerSlotCount; }
bool isDmacSlot(u32 channel) { return channel < kDmacHandlerSlotCount; }

// A handler for a cause or channel that does not exist would never run.
void reportNoSuchSlot(const char* call, u32 index) {
    logReport(LogCategory::Kernel, LogLevel::GuestError, "%s for %u, which does not exist; ignored", call, index);
}

}  // namespace

// The program's flow is the main thread from the start: running, its
// registers live in the EE.
void kernelReset() {
    kernel = KernelObjects{};
    ThreadRecord& main = kernel.threads[kMainThreadId];
    main.status = kThreadRunning;
    main.initPriority = kMainThreadPriority;
    main.priority = kMainThreadPriority;
    kernel.currentThreadId = kMainThreadId;
    kernelCalls.sifToggle = 0;
}

void SYSCALL_AddIntcHandler() {
    const u32 cause = argA0();
    if (isIntcSlot(cause)) {
        kernel.intcHandlers[cause] = IntcHandlerSlot{1, argA1()};
    } else {
        reportNoSuchSlot("AddIntcHandler", cause);
    }
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
    if (isDmacSlot(channel)) {
        kernel.dmacHandlers[channel] = DmacHandlerSlot{1, argA1()};
    } else {
        reportNoSuchSlot("AddDmacHandler", channel);
    }
    returnSigned32(channel);
}

void SYSCALL_RemoveDmacHandler() {
    const u32 channel = argA0();
    if (isDmacSlot(channel)) kernel.dmacHandlers[channel].enabled = 0;
    returnValue64(1);
}
