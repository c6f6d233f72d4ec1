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
    resetMachine();
    for (u32 id = 0; id < kThreadCount; ++id) {
        EXPECT_EQ(kernel.threads[id].word[0], id == 0 ? kThreadRunning : kThreadFree) << "thread " << id;
    }
    for (const SemaRecord& sema : kernel.semaphores) EXPECT_EQ(sema.inUse, 0);
    for (const IntcHandlerSlot& slot : kernel.intcHandlers) EXPECT_EQ(slot.enabled, 0);
    for (const DmacHandlerSlot& slot : kernel.dmacHandlers) EXPECT_EQ(slot.enabled, 0);
    EXPECT_EQ(kernel.currentThreadId, 0u);
    EXPECT_EQ(kernelCalls.sifToggle, 0u);
    EXPECT_EQ(kernelCalls.sifReg4, 0x1234u);
}

TEST(KernelThreads, CreationQueriesAndSleep) {
    runProgram("kernel_threads");
    expectResults({
        {1, "first CreateThread"},
        {16, "ReferThreadStatus: created"}, {16, "status written to the block"},
        {11, "current priority written"}, {0x1234, "option written"}, {0xEEEEEEEE, "only words 0, 6, 8 written"},
        {42, "ChangeThreadPriority"}, {2, "block given through KSEG1"},
        {29, "ids 3..31 in order"}, {kMinusOne32, "the 32nd CreateThread"},
        {kMinusOne32, "ReferThreadStatus(-1)"}, {0xEEEEEEEE, "and its block untouched"},
        {0, "SleepThread answers the current id"}, {kThreadWaiting, "and leaves thread 0 waiting"},
    });

    const u32 expected[kThreadRecordWords] = {16, 0x00123450, 0x00200000, 0x1000, 0x00300000, 10, 42, 0x77, 0x1234, 5, 6, 7};
    for (u32 word = 0; word < kThreadRecordWords; ++word) {
        EXPECT_EQ(kernel.threads[1].word[word], expected[word]) << "word " << word;
    }
    EXPECT_EQ(kernel.threads[2].word[ThreadRecord::kPriorityWord], 12u);
    // ChangeThreadPriority(40, 9) would land in the semaphore table, which
    // this program leaves empty.
    for (const SemaRecord& sema : kernel.semaphores) {
        for (u32 word : sema.word) EXPECT_EQ(word, 0u);
    }
}

TEST(KernelSemaphores, CountsWaitsAndTableFull) {
    runProgram("kernel_semaphores");
    expectResults({
        {0, "first CreateSema"}, {kMinusOne32, "PollSema on count 0"},
        {0, "WaitSema on count 0 returns at once"}, {kThreadWaiting, "with the caller marked waiting"},
        {0, "PollSema on count 2"}, {0, "WaitSema on count 1"}, {kMinusOne32, "count back at 0"},
        {1, "CreateSema with word 3 negative"}, {1, "SignalSema left count 3, PollSema takes one"},
        {2, "CreateSema with count -1"}, {kMinusOne32, "a count of -1 is below 1"},
        {29, "ids 3..31 in order"}, {kMinusOne32, "the 33rd CreateSema"}, {5, "the freed id is taken again"},
        {32, "SignalSema(32) only answers a0"}, {kMinusOne32, "WaitSema(-1) too"}, {40, "DeleteSema(40) too"},
    });

    // The signal of the SIF command path counts up and ignores bad ids.
    for (u32 id : {5u, 32u, 0xFFFFFFFFu}) semaIncrementCount(id);
    EXPECT_EQ(kernel.semaphores[5].word[SemaRecord::kCountWord], 10u);
    EXPECT_EQ(kernel.semaphores[31].word[SemaRecord::kCountWord], 0u);
    const u32 expected[kSemaRecordWords] = {0, 5, 0, 0, 0xA, 0xB};
    for (u32 word = 0; word < kSemaRecordWords; ++word) {
        EXPECT_EQ(kernel.semaphores[0].word[word], expected[word]) << "word " << word;
    }
    EXPECT_EQ(kernel.semaphores[1].word[SemaRecord::kCountWord], 2u);
    EXPECT_EQ(kernel.semaphores[2].word[SemaRecord::kCountWord], kMinusOne32);
    for (const SemaRecord& sema : kernel.semaphores) EXPECT_EQ(sema.inUse, 1);
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
