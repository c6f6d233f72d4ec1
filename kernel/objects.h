// The kernel objects that the system calls record: interrupt and DMA
// handler slots, threads and semaphores. Threads are bookkeeping only (the
// guest's main flow is the only one that runs) and semaphore waits never
// block; the handler slots are real, interrupt delivery calls the guest
// handlers registered in them.
#pragma once

#include <array>

#include "core/types.h"

inline constexpr u32 kIntcHandlerSlotCount = 15;  // INTC causes 0-14
inline constexpr u32 kDmacHandlerSlotCount = 10;  // DMA channels 0-9
inline constexpr u32 kThreadCount = 32;        // thread ids 0-31
inline constexpr u32 kThreadRecordWords = 12;  // the 48-byte thread parameter block
inline constexpr u32 kSemaCount = 32;          // semaphore ids 0-31
inline constexpr u32 kSemaRecordWords = 6;     // the 24-byte semaphore parameter block

// One handler per INTC cause; adding a second replaces the first.
struct IntcHandlerSlot {
    u8 enabled;
    u32 address;
};

// One handler per DMA channel.
struct DmacHandlerSlot {
    u8 enabled;
    u32 address;
};

enum ThreadStatus : u32 {
    kThreadFree = 0,
    kThreadRunning = 1,   // thread 0 after a reset
    kThreadWaiting = 4,   // SleepThread, or WaitSema on a zero count
    kThreadCreated = 16,  // CreateThread
};

// A copy of the guest's thread parameter block, with word 0 replaced by the
// status code.
struct ThreadRecord {
    static constexpr u32 kStatusWord = 0;
    static constexpr u32 kPriorityWord = 6;  // current priority
    static constexpr u32 kOptionWord = 8;    // copied out by ReferThreadStatus
    u32 word[kThreadRecordWords];
};

// A copy of the guest's semaphore parameter block and an in-use flag.
struct SemaRecord {
    static constexpr u32 kCountWord = 0;
    static constexpr u32 kWaitThreadsWord = 3;  // a negative value stops SignalSema
    u32 word[kSemaRecordWords];
    u8 inUse;
};

struct KernelObjects {
    std::array<IntcHandlerSlot, kIntcHandlerSlotCount> intcHandlers;
    std::array<DmacHandlerSlot, kDmacHandlerSlotCount> dmacHandlers;
    std::array<ThreadRecord, kThreadCount> threads;
    std::array<SemaRecord, kSemaCount> semaphores;
    u32 currentThreadId;  // 0 after a reset; nothing changes it
};

extern KernelObjects kernel;

// Clears every table, marks thread 0 running and clears the SIF toggle bit.
// Runs at the end of every EE reset.
void kernelReset();

// The semaphore signal that the SIF command path gives a guest client when
// its request has been answered: count += 1. An id outside 0-31 is ignored.
void semaIncrementCount(u32 id);

// The kernel calls that work on these objects.
void SYSCALL_AddIntcHandler();
void SYSCALL_RemoveIntcHandler();
void SYSCALL_AddDmacHandler();
void SYSCALL_RemoveDmacHandler();
void SYSCALL_CreateThread();
void SYSCALL_StartThread();
void SYSCALL_ChangeThreadPriority();
void SYSCALL_GetThreadId();
void SYSCALL_ReferThreadStatus();
void SYSCALL_SleepThread();
void SYSCALL_CreateSema();
void SYSCALL_DeleteSema();
void SYSCALL_SignalSema();
void SYSCALL_WaitSema();
void SYSCALL_PollSema();
