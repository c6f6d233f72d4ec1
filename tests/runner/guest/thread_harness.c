/* A test harness written the way SDK programs write one: the program starts
   a more urgent thread for the test body and waits on a semaphore that the
   body signals when it is done, then reports and exits with the body's
   verdict. The body sleeps on an alarm half-way (a DelayThread-style
   helper), so the program really waits and the machine idles until the
   alarm wakes the body. */
#include "fileio.h"
#include "kernel.h"

static unsigned char bodyStack[4096] __attribute__((aligned(16)));
static int done;
static int verdict = -1;

static void wakeBody(int id, unsigned short time, void *thread) {
    (void)id;
    (void)time;
    iWakeupThread((int)thread);
}

static void delayHsyncs(unsigned short hsyncs) {
    SetAlarm(hsyncs, wakeBody, (void *)GetThreadId());
    SleepThread();
}

static void testBody(void *arg) {
    fioPuts((const char *)arg);
    delayHsyncs(20);
    fioPuts(6 * 7 == 42 ? "body: 6 * 7 = 42\n" : "body: wrong\n");
    verdict = 3;
    SignalSema(done); /* the program is less urgent: the body goes on */
    fioPuts("body: done\n");
}

int main(void) {
    struct SemaParam empty = {0, 1, 0, 0, 0, 0};
    struct ThreadParam body = {0, testBody, bodyStack, sizeof bodyStack, 0, 32, 0, 0, 0};
    __asm__ volatile("ei");
    ChangeThreadPriority(0, 64);
    done = CreateSema(&empty);
    StartThread(CreateThread(&body), "body: start\n");
    fioPuts("main: waiting for the body\n");
    WaitSema(done);
    fioPuts("main: body finished\n");
    Exit(verdict);
    fioPuts("main: still running after Exit\n");
    return 0;
}
