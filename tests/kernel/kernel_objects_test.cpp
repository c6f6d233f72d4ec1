#include <gtest/gtest.h>

#include <cstring>

#include "kernel/objects.h"
#include "kernel/syscalls.h"
#include "kernel_guest.h"

TEST(KernelReset, ClearsTheTablesAndTheSifToggleButKeepsSifRegister4) {
    resetMachine();
    std::memset(&kernel, 0xA5, sizeof kernel);
    kernelCalls.sifReg4 = 0x1234;
    kernelCalls.sifToggle = 0x40000;
    emuReset();
    for (u32 id = 0; id < kThreadCount; ++id) {
        EXPECT_EQ(kernel.threads[id].status, id == kMainThreadId ? kThreadRunning : kThreadFree) << "thread " << id;
    }
    EXPECT_EQ(kernel.threads[kMainThreadId].priority, kMainThreadPriority);
    for (const SemaRecord& sema : kernel.semaphores) EXPECT_EQ(sema.inUse, 0);
    for (const AlarmRecord& alarm : kernel.alarms) EXPECT_EQ(alarm.inUse, 0);
    for (const ThreadQueue& queue : kernel.readyQueues) EXPECT_EQ(queue.head, kNoThread);
    for (const IntcHandlerSlot& slot : kernel.intcHandlers) EXPECT_EQ(slot.enabled, 0);
    for (const DmacHandlerSlot& slot : kernel.dmacHandlers) EXPECT_EQ(slot.enabled, 0);
    EXPECT_EQ(kernel.currentThreadId, kMainThreadId);
    EXPECT_FALSE(kernel.idle);
    EXPECT_EQ(kernel.end, KernelEnd::None);
    EXPECT_EQ(kernelCalls.sifToggle, 0u);
    EXPECT_EQ(kernelCalls.sifReg4, 0x1234u);
}

TEST(KernelThreads, CreationQueriesAndIds) {
    runProgram("kernel_threads");
    expectResults({
        {1, "GetThreadId: the program is thread 1"}, {2, "first CreateThread"}, {kMinusOne32, "priority 128"},
        {kThreadDormant, "ReferThreadStatus: created, not started"}, {kThreadDormant, "without a block"},
        {3, "block given through KSEG1"}, {252, "ids 4..255 in order"}, {kMinusOne32, "table full"},
        {5, "DeleteThread of a dormant thread"}, {5, "its id is taken again"},
        {kMinusOne32, "ChangeThreadPriority to 128"}, {kMinusOne32, "ReferThreadStatus(256)"},
        {kThreadRunning, "ReferThreadStatus(0): the caller"}, {kMinusOne32, "StartThread of the running thread"},
        {kMinusOne32, "DeleteThread of the running thread"}, {30, "ChangeThreadPriority(0, 30)"},
    });
    // The whole status block: the parameter block's fields, the current
    // priority starting at the initial one, no wait.
    const u32 expected[12] = {kThreadDormant, 0x00123450, 0x00200000, 0x1000, 0x00300000, 10, 10, 0x77, 0x1234, 0, 0, 0};
    for (u32 word = 0; word < 12; ++word) {
        EXPECT_EQ(guestWord(guestSymbol("status") + 4 * word), expected[word]) << "status word " << word;
    }
    EXPECT_EQ(kernel.threads[2].priority, 42u);
    EXPECT_EQ(kernel.threads[3].initPriority, 12u);
    EXPECT_EQ(kernel.threads[kMainThreadId].priority, 30u);
}

TEST(KernelSemaphores, CountsMaximumStatusAndTableFull) {
    runProgram("kernel_semaphores");
    expectResults({
        {0, "first CreateSema"}, {kMinusOne32, "starts at the initial count, 0"},
        {0, "SignalSema"}, {0, "SignalSema"}, {kMinusOne32, "a third passes the maximum of 2"},
        {0, "ReferSemaStatus"}, {0, "PollSema"}, {0, "WaitSema on a count of 1 returns at once"},
        {kMinusOne32, "count back at 0"},
        {kMinusOne32, "initial count -1"}, {255, "ids 1..255 in order"}, {kMinusOne32, "table full"},
        {5, "DeleteSema"}, {kMinusOne32, "WaitSema on the deleted one"}, {5, "its id is taken again"},
        {kMinusOne32, "SignalSema(256)"}, {kMinusOne32, "WaitSema(-1)"}, {kMinusOne32, "DeleteSema(300)"},
        {1, "PollSema of a semaphore created with 1"},
    });
    const u32 expected[6] = {2, 2, 0, 0, 0xA, 0xB};
    for (u32 word = 0; word < 6; ++word) {
        EXPECT_EQ(guestWord(guestSymbol("status") + 4 * word), expected[word]) << "status word " << word;
    }

    // The signal of the IOP services counts up to the maximum and ignores
    // ids that name no semaphore.
    for (u32 id : {1u, 1u, 256u, 0xFFFFFFFFu}) semaIncrementCount(id);
    EXPECT_EQ(kernel.semaphores[1].count, 1);
    EXPECT_EQ(kernel.semaphores[2].count, 1);
}

TEST(KernelHandlers, SlotsRecordTheLatestHandlerAndKeepTheAddressOnRemoval) {
    runProgram("kernel_interrupts");
    expectResults({{1, "RemoveIntcHandler"}, {1, "RemoveDmacHandler"}});
    const u32 handlerA = guestSymbol("handlerA");
    const u32 handlerB = guestSymbol("handlerB");
    const IntcHandlerSlot intc[kIntcHandlerSlotCount] = {{}, {}, {1, handlerB}, {}, {}, {0, handlerA}, {}, {},
                                                          {}, {}, {}, {}, {}, {}, {1, handlerA}};
    const DmacHandlerSlot dmac[kDmacHandlerSlotCount] = {{}, {}, {}, {0, handlerA}, {}, {}, {}, {}, {}, {1, handlerB}};
    for (u32 slot = 0; slot < kIntcHandlerSlotCount; ++slot) {
        EXPECT_EQ(kernel.intcHandlers[slot].enabled, intc[slot].enabled) << "INTC slot " << slot;
        EXPECT_EQ(kernel.intcHandlers[slot].address, intc[slot].address) << "INTC slot " << slot;
    }
    for (u32 slot = 0; slot < kDmacHandlerSlotCount; ++slot) {
        EXPECT_EQ(kernel.dmacHandlers[slot].enabled, dmac[slot].enabled) << "DMAC slot " << slot;
        EXPECT_EQ(kernel.dmacHandlers[slot].address, dmac[slot].address) << "DMAC slot " << slot;
    }
}
