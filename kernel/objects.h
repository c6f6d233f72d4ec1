// The kernel objects that the system calls keep: interrupt and DMA handler
// slots, threads with their saved registers, semaphores and alarms, and the
// scheduler's ready queues. The handler slots are real (interrupt delivery
// calls the guest handlers registered in them), threads are scheduled by
// priority as the console's kernel schedules them, semaphore waits block.
//
// Ids come from the guest: every call checks an id against its table
// before it touches a record.
#pragma once

#include <array>

#include "cop/fpu.h"
#include "core/types.h"

inline constexpr u32 kIntcHandlerSlotCount = 15;  // INTC causes 0-14
inline constexpr u32 kDmacHandlerSlotCount = 10;  // DMA channels 0-9
inline constexpr u32 kThreadCount = 256;      // thread ids 0-255
inline constexpr u32 kSemaCount = 256;        // semaphore ids 0-255
inline constexpr u32 kAlarmCount = 64;        // alarm ids 0-63
inline constexpr u32 kPriorityCount = 128;    // 0 is the most urgent, 127 the least

// Thread 0 is the kernel's own idle thread and is never a program's, so 0
// also ends the thread queues. The program starts as thread 1, at the most
// urgent priority; a call given thread id 0 means the calling thread.
inline constexpr u32 kNoThread = 0;
inline constexpr u32 kMainThreadId = 1;
inline constexpr u32 kMainThreadPriority = 0;

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

// The console's status codes, as ReferThreadStatus reports them.
enum ThreadStatus : u32 {
    kThreadFree = 0,  // no thread has this id
    kThreadRunning = 1,
    kThreadReady = 2,
    kThreadWaiting = 4,
    kThreadSuspended = 8,
    kThreadWaitSuspended = 12,  // waiting and suspended: both must end before it runs
    kThreadDormant = 16,        // created or exited, not started
};

enum WaitType : u32 {
    kWaitNone = 0,
    kWaitSleep = 1,  // SleepThread
    kWaitSema = 2,   // WaitSema; the wait id is the semaphore
};

// What a thread switch saves and restores: the registers of the EE core and
// of the FPU. VU0 belongs to whichever thread uses it and is not switched,
// as on the console.
struct ThreadContext {
    Reg128 gpr[32];
    Reg128 hi;
    Reg128 lo;
    u64 sa;
    u32 pc;
    FpuRegister fpr[32];
    FpuRegister fpuAcc;
    u32 fcr31;
};

// A first-in first-out list of threads, linked through the threads' own
// records: a thread is in at most one queue, a ready queue or the wait
// queue of a semaphore.
struct ThreadQueue {
    u16 head;
    u16 tail;
};

struct ThreadRecord {
    u32 status;
    u32 entry;
    u32 stack;
    u32 stackSize;
    u32 gp;
    u32 initPriority;
    u32 priority;  // current priority
    u32 attr;
    u32 option;
    u32 waitType;
    u32 waitId;
    u32 wakeupCount;  // wakeups that came while the thread was not asleep
    u16 next;         // queue links
    u16 previous;
    ThreadContext context;  // valid while the thread does not run
};

struct SemaRecord {
    u8 inUse;
    s32 count;
    s32 maxCount;
    s32 initCount;
    u32 attr;
    u32 option;
    u32 waiterCount;
    ThreadQueue waiters;
};

// An alarm falls due `interval` cycles after `start`; it then waits for
// interrupt delivery to run its callback.
struct AlarmRecord {
    u8 inUse;
    u8 expired;
    u16 time;  // horizontal syncs asked for, handed to the callback
    u32 start;
    u32 interval;
    u32 handler;
    u32 common;  // the callback's third argument
};

// Why the kernel ended the run.
enum class KernelEnd : u8 {
    None,
    Exit,      // Exit, or the last thread that could ever run has ended
    Deadlock,  // threads wait, but nothing could ever wake them
};

struct KernelObjects {
    std::array<IntcHandlerSlot, kIntcHandlerSlotCount> intcHandlers;
    std::array<DmacHandlerSlot, kDmacHandlerSlotCount> dmacHandlers;
    std::array<ThreadRecord, kThreadCount> threads;
    std::array<SemaRecord, kSemaCount> semaphores;
    std::array<AlarmRecord, kAlarmCount> alarms;
    std::array<ThreadQueue, kPriorityCount> readyQueues;
    u32 currentThreadId;  // the thread that runs, or ran last while the machine idles
    bool switchPending;   // a call changed which thread should run
    bool dispatchDisabled;  // DisableDispatchThread: the running thread keeps the processor
    bool idle;            // no thread can run; the EE registers are the last thread's
    // An idle stretch that began inside an instruction (a waiting system
    // call) and was cut by a stop: that instruction has been counted
    // already, and is counted after the skipped time once idling goes on.
    bool idleStepCounted;
    bool alarmExpired;    // some alarm waits for its callback to run
    u64 idleCycles;       // cycles skipped while no thread could run
    KernelEnd end;
    s32 exitCode;
};

extern KernelObjects kernel;

// Clears every table, makes the program's flow the running main thread and
// clears the SIF toggle bit. Runs at the end of every EE reset.
void kernelReset();

// The semaphore signal that the IOP services give a guest client when its
// request has been answered: a waiting thread is released, or the count
// goes up. An id that names no semaphore is ignored.
void semaIncrementCount(u32 id);

// The handler slot calls.
void SYSCALL_AddIntcHandler();
void SYSCALL_RemoveIntcHandler();
void SYSCALL_AddDmacHandler();
void SYSCALL_RemoveDmacHandler();
