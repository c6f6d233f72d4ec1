#include <gtest/gtest.h>

#include "kernel/objects.h"
#include "kernel/syscalls.h"
#include "kernel_guest.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

void runProgram(const char* name) {
    ASSERT_TRUE(loadGuestProgram(name));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
}

}  // namespace

TEST(KernelReset, LeavesOnlyThreadZeroRunning) {
    runProgram("kernel_threads");
    ASSERT_EQ(kernel.threads[0].word[0], u32{kThreadWaiting});
    resetMachine();
    EXPECT_EQ(kernel.threads[0].word[0], u32{kThreadRunning});
    for (u32 id = 1; id < kThreadCount; ++id) EXPECT_EQ(kernel.threads[id].word[0], u32{kThreadFree});
    for (const SemaRecord& sema : kernel.semaphores) EXPECT_EQ(sema.inUse, 0);
    for (const IntcHandlerSlot& slot : kernel.intcHandlers) EXPECT_EQ(slot.enabled, 0);
    EXPECT_EQ(kernel.currentThreadId, 0u);
}

TEST(KernelThreads, CreationQueriesAndSleep) {
    // ReferThreadStatus with a1 = 0 must write nothing, not even at guest
    // address 0.
    ASSERT_TRUE(loadGuestProgram("kernel_threads"));
    for (u32 word = 0; word < 12; ++word) hostStore<u32>(memory.ram + 4 * word, 0xCAFE0000 + word);
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    for (u32 word = 0; word < 12; ++word) EXPECT_EQ(hostLoad<u32>(memory.ram + 4 * word), 0xCAFE0000 + word);

    EXPECT_EQ(resultWord(0), 0u);   // GetThreadId
    EXPECT_EQ(resultWord(1), 1u);   // thread 0 runs after a reset
    EXPECT_EQ(resultWord(2), 1u);   // first CreateThread
    EXPECT_EQ(resultWord(3), 16u);  // created
    EXPECT_EQ(resultWord(4), 16u);
    EXPECT_EQ(resultWord(5), 11u);  // current priority from the block
    EXPECT_EQ(resultWord(6), 0x1234u);
    EXPECT_EQ(resultWord(7), 0xEEEEEEEEu);  // only words 0, 6 and 8 are written
    EXPECT_EQ(resultWord(8), 42u);
    EXPECT_EQ(resultWord(9), 42u);
    EXPECT_EQ(resultWord(10), 2u);   // block given through KSEG1
    EXPECT_EQ(resultWord(11), 29u);  // ids 3..31 in order
    EXPECT_EQ(resultWord(12), kMinusOne32);
    EXPECT_EQ(resultWord(13), kMinusOne32);  // id 32 does not exist
    EXPECT_EQ(resultWord(14), 0xEEEEEEEEu);  // and its block is untouched
    EXPECT_EQ(resultWord(15), kMinusOne32);
    EXPECT_EQ(resultWord(16), 9u);  // ChangeThreadPriority(40, 9) still answers a1
    EXPECT_EQ(resultWord(17), 0u);  // SleepThread answers the current id
    EXPECT_EQ(resultWord(18), 4u);  // and leaves thread 0 waiting
    EXPECT_EQ(resultWord(19), 5u);  // StartThread answers its a0

    const ThreadRecord& first = kernel.threads[1];
    const u32 expected[12] = {16, 0x00123450, 0x00200000, 0x1000, 0x00300000, 10, 42, 0x77, 0x1234, 5, 6, 7};
    for (u32 word = 0; word < 12; ++word) EXPECT_EQ(first.word[word], expected[word]) << "word " << word;
    EXPECT_EQ(kernel.threads[2].word[6], 12u);
    for (u32 id = 3; id < kThreadCount; ++id) {
        EXPECT_EQ(kernel.threads[id].word[0], 16u) << "thread " << id;
        EXPECT_EQ(kernel.threads[id].word[6], 11u) << "thread " << id;
    }
    EXPECT_EQ(kernel.threads[0].word[0], 4u);
}

TEST(KernelSemaphores, CountsWaitsAndTableFull) {
    runProgram("kernel_semaphores");
    EXPECT_EQ(resultWord(0), 0u);            // first CreateSema
    EXPECT_EQ(resultWord(1), kMinusOne32);   // PollSema on count 0
    EXPECT_EQ(resultWord(2), 1u);
    EXPECT_EQ(resultWord(3), 0u);            // WaitSema on count 0 returns at once
    EXPECT_EQ(resultWord(4), 4u);            // with the caller marked waiting
    EXPECT_EQ(resultWord(5), 0u);
    EXPECT_EQ(resultWord(6), 0u);
    EXPECT_EQ(resultWord(7), 0u);            // PollSema on count 2
    EXPECT_EQ(resultWord(8), 0u);            // WaitSema on count 1
    EXPECT_EQ(resultWord(9), kMinusOne32);   // count back at 0
    EXPECT_EQ(resultWord(10), 1u);
    EXPECT_EQ(resultWord(11), 1u);           // SignalSema with word 3 negative
    EXPECT_EQ(resultWord(12), 1u);           // count 3 unchanged, poll takes one
    EXPECT_EQ(resultWord(21), 2u);
    EXPECT_EQ(resultWord(22), kMinusOne32);  // a count of -1 is below 1
    EXPECT_EQ(resultWord(13), 29u);          // ids 3..31 in order
    EXPECT_EQ(resultWord(14), kMinusOne32);  // the 33rd
    EXPECT_EQ(resultWord(15), 5u);
    EXPECT_EQ(resultWord(16), 5u);           // the freed id is taken again
    EXPECT_EQ(resultWord(17), kMinusOne32);  // PollSema(32)
    EXPECT_EQ(resultWord(18), 32u);          // SignalSema(32) only answers its a0
    EXPECT_EQ(resultWord(19), kMinusOne32);  // WaitSema(-1) likewise
    EXPECT_EQ(resultWord(20), 40u);

    const SemaRecord& first = kernel.semaphores[0];
    const u32 expected[6] = {0, 5, 0, 0, 0xA, 0xB};
    for (u32 word = 0; word < 6; ++word) EXPECT_EQ(first.word[word], expected[word]) << "word " << word;
    EXPECT_EQ(kernel.semaphores[1].word[0], 2u);
    EXPECT_EQ(kernel.semaphores[2].word[0], 0xFFFFFFFFu);
    EXPECT_EQ(kernel.semaphores[5].word[0], 9u);
    for (const SemaRecord& sema : kernel.semaphores) EXPECT_EQ(sema.inUse, 1);
}

TEST(KernelSemaphores, SifSignalCountsUpAndIgnoresBadIds) {
    resetMachine();
    semaIncrementCount(3);
    semaIncrementCount(3);
    semaIncrementCount(32);
    semaIncrementCount(0xFFFFFFFF);
    EXPECT_EQ(kernel.semaphores[3].word[0], 2u);
    for (u32 id = 0; id < kSemaCount; ++id) {
        if (id == 3) continue;
        EXPECT_EQ(kernel.semaphores[id].word[0], 0u) << "semaphore " << id;
    }
}

TEST(KernelHandlers, SlotsRecordTheLatestHandlerAndKeepTheAddressOnRemoval) {
    runProgram("kernel_interrupts");
    const u32 handlerA = guestSymbol("handlerA");
    const u32 handlerB = guestSymbol("handlerB");
    EXPECT_EQ(resultWord(0), 2u);
    EXPECT_EQ(resultWord(1), 2u);
    EXPECT_EQ(resultWord(2), 5u);
    EXPECT_EQ(resultWord(3), 1u);
    EXPECT_EQ(resultWord(4), 9u);
    EXPECT_EQ(resultWord(5), 3u);
    EXPECT_EQ(resultWord(6), 1u);
    EXPECT_EQ(resultWord(7), 10u);           // out of range: answered, not recorded
    EXPECT_EQ(resultWord(8), kMinusOne32);
    EXPECT_EQ(resultWord(9), 1u);
    EXPECT_EQ(resultWord(10), 1u);

    for (u32 slot = 0; slot < kHandlerSlotCount; ++slot) {
        const IntcHandlerSlot& intc = kernel.intcHandlers[slot];
        const DmacHandlerSlot& dmac = kernel.dmacHandlers[slot];
        if (slot == 2) {
            EXPECT_EQ(intc.enabled, 1);
            EXPECT_EQ(intc.address, handlerB);
        } else if (slot == 5) {
            EXPECT_EQ(intc.enabled, 0);
            EXPECT_EQ(intc.address, handlerA);
        } else {
            EXPECT_EQ(intc.enabled, 0) << "INTC slot " << slot;
            EXPECT_EQ(intc.address, 0u) << "INTC slot " << slot;
        }
        if (slot == 9) {
            EXPECT_EQ(dmac.enabled, 1);
            EXPECT_EQ(dmac.address, handlerB);
        } else if (slot == 3) {
            EXPECT_EQ(dmac.enabled, 0);
            EXPECT_EQ(dmac.address, handlerA);
        } else {
            EXPECT_EQ(dmac.enabled, 0) << "DMAC slot " << slot;
            EXPECT_EQ(dmac.address, 0u) << "DMAC slot " << slot;
        }
    }
}

// Loading a second program resets the machine, and with it the tables.
TEST(KernelReset, ASecondLoadClearsWhatTheFirstProgramRecorded) {
    runProgram("kernel_interrupts");
    ASSERT_EQ(kernel.intcHandlers[2].enabled, 1);
    ASSERT_TRUE(loadGuestProgram("kernel_semaphores"));
    EXPECT_EQ(kernel.intcHandlers[2].enabled, 0);
    EXPECT_EQ(kernel.intcHandlers[2].address, 0u);
    EXPECT_EQ(kernel.dmacHandlers[9].enabled, 0);
}
