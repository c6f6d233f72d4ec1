/* Priority order and preemption: a more urgent thread runs as soon as it is
   started or signalled, a less urgent one only when the more urgent ones
   wait; equal priorities take turns through RotateThreadReadyQueue; threads
   end by returning, ExitThread, ExitDeleteThread or TerminateThread. The
   program runs at priority 50; it ends with Exit(7). */
#include "thread_log.h"

static int sema;
static int mainWake;
static int threadA, threadB, threadC, threadD, threadE, threadF;

static void slowA(void *arg) {
    noteIf((int)arg, 1, 0x11);
    SignalSema(mainWake); /* main is more urgent: it takes over here */
    note(0x12);           /* never: main terminates this thread first */
}

static void waitingB(void *arg) {
    noteIf((int)arg, 2, 0x21);
    noteIf(WaitSema(sema), sema, 0x22);
}

static void signallingC(void *arg) {
    noteIf((int)arg, 3, 0x31);
    SignalSema(sema); /* B has the same priority: no switch */
    note(0x32);
    ExitThread();
    note(0x33);
}

/* Three rounds each, handing over after every round. */
static void roundRobin(void *arg) {
    const unsigned tag = (unsigned)arg;
    for (unsigned round = 0; round < 3; ++round) {
        note(tag + round);
        RotateThreadReadyQueue(30);
    }
    if (tag == 0x60) ExitDeleteThread();
}

int main(void) {
    ChangeThreadPriority(0, 50);
    struct SemaParam empty = {0, 4, 0, 0, 0, 0};
    sema = CreateSema(&empty);
    mainWake = CreateSema(&empty);
    threadA = makeThread(slowA, 60, 0);
    threadB = makeThread(waitingB, 40, 1);
    threadC = makeThread(signallingC, 40, 2);

    StartThread(threadA, (void *)1);
    note(0x01);
    StartThread(threadB, (void *)2);
    note(0x02);
    StartThread(threadC, (void *)3);
    note(0x03);
    noteIf(WaitSema(mainWake), mainWake, 0x04);
    noteIf(threadStatus(threadA), THS_READY, 0x05);
    noteIf(TerminateThread(threadA), threadA, 0x06);
    noteIf(threadStatus(threadA), THS_DORMANT, 0x07);
    noteIf(threadStatus(threadB), THS_DORMANT, 0x08);
    noteIf(TerminateThread(threadA), -1, 0x09);
    noteIf(TerminateThread(0), -1, 0x0A);

    /* Started while the program is more urgent, they run once it is not. */
    ChangeThreadPriority(0, 20);
    threadD = makeThread(roundRobin, 30, 3);
    threadE = makeThread(roundRobin, 30, 4);
    threadF = makeThread(roundRobin, 30, 5);
    StartThread(threadD, (void *)0x40);
    StartThread(threadE, (void *)0x50);
    StartThread(threadF, (void *)0x60);
    note(0x0B);
    ChangeThreadPriority(0, 50);
    note(0x0C);
    noteIf(threadStatus(threadE), THS_DORMANT, 0x0D);
    noteIf(threadStatus(threadF), -1, 0x0E);

    /* A dormant thread starts again from its entry. */
    StartThread(threadB, (void *)2);
    noteIf(threadStatus(threadB), THS_WAIT, 0x0F);
    Exit(7);
    note(0xEE);
    return 0;
}
