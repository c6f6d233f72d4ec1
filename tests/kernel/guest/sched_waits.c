/* Waiting: several threads on one semaphore, released in the order they
   began to wait and by deletion; wakeups counted ahead of sleeps and
   cancelled; a wait released by ReleaseWaitThread; a thread suspended
   while it waits, whose wait ends while it is suspended. The program runs
   at priority 50. */
#include "thread_log.h"

static int sema;
static int waiterA, waiterB, waiterC, sleeper, suspended, released;

static void waiter(void *arg) {
    const unsigned tag = (unsigned)arg;
    note(tag);
    const int answer = WaitSema(sema);
    note(tag + (answer == sema ? 1 : answer == -1 ? 2 : 0xBAD));
}

static void sleepTwiceThenWait(void *arg) {
    (void)arg;
    noteIf(SleepThread(), sleeper, 0x41);
    noteIf(SleepThread(), sleeper, 0x42);
    note(0x43);
    noteIf(SleepThread(), sleeper, 0x44); /* this one waits */
}

static void sleepUntilReleased(void *arg) {
    (void)arg;
    noteIf(SleepThread(), -1, 0x51);
}

int main(void) {
    struct SemaParam empty = {0, 4, 0, 0, 0, 0};
    struct SemaParam status;
    ChangeThreadPriority(0, 50);
    sema = CreateSema(&empty);

    /* A and C wait at priority 10, B at 5: the signal still goes to A. */
    waiterA = makeThread(waiter, 10, 0);
    waiterB = makeThread(waiter, 5, 1);
    waiterC = makeThread(waiter, 10, 2);
    StartThread(waiterA, (void *)0x10);
    StartThread(waiterB, (void *)0x20);
    StartThread(waiterC, (void *)0x30);
    ReferSemaStatus(sema, &status);
    noteIf(status.waitThreads, 3, 0x01);
    SignalSema(sema);
    noteIf(DeleteSema(sema), sema, 0x02);
    noteIf(WaitSema(sema), -1, 0x03);

    /* Wakeups before the sleeps are kept, and CancelWakeupThread drops them. */
    sleeper = makeThread(sleepTwiceThenWait, 60, 3);
    noteIf(WakeupThread(sleeper), -1, 0x04); /* dormant */
    StartThread(sleeper, 0);
    WakeupThread(sleeper);
    WakeupThread(sleeper);
    WakeupThread(sleeper);
    noteIf(CancelWakeupThread(sleeper), 3, 0x05);
    WakeupThread(sleeper);
    WakeupThread(sleeper);
    struct ThreadStatus info;
    ReferThreadStatus(sleeper, &info);
    noteIf(info.wakeupCount, 2, 0x06);
    ChangeThreadPriority(0, 70);
    note(0x07);
    ReferThreadStatus(sleeper, &info);
    noteIf(info.status * 16 + info.waitType, THS_WAIT * 16 + 1, 0x08);
    noteIf(WakeupThread(sleeper), sleeper, 0x09);
    ChangeThreadPriority(0, 50);

    released = makeThread(sleepUntilReleased, 60, 4);
    StartThread(released, 0);
    ChangeThreadPriority(0, 70);
    noteIf(ReleaseWaitThread(released), released, 0x0A);
    noteIf(ReleaseWaitThread(released), -1, 0x0B);

    /* Suspended while waiting: the signal ends the wait but not the suspension. */
    ChangeThreadPriority(0, 50);
    sema = CreateSema(&empty);
    suspended = makeThread(waiter, 10, 5);
    StartThread(suspended, (void *)0x60);
    noteIf(SuspendThread(suspended), suspended, 0x0C);
    noteIf(threadStatus(suspended), THS_WAITSUSPEND, 0x0D);
    SignalSema(sema);
    noteIf(threadStatus(suspended), THS_SUSPEND, 0x0E);
    noteIf(PollSema(sema), -1, 0x0F);
    noteIf(ResumeThread(suspended), suspended, 0x10);
    noteIf(ResumeThread(suspended), -1, 0x11);
    return 0;
}
