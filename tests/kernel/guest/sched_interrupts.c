/* Threads and interrupts. A vertical-blank handler's iSignalSema readies a
   more urgent thread, which runs once the handler has returned, while the
   program was busy in a loop. Then the program sleeps with nothing else to
   run: the machine idles to an alarm, whose callback wakes it, and waits
   for a vertical blank the same way. The program runs at priority 50. */
#include "thread_log.h"

static int handlerSema;
static int vblankSema;
static int worker;
static int mainThread;
volatile unsigned spins;
volatile unsigned spinsWhenWorkerRan;
volatile unsigned workerDone;
unsigned alarmArguments[3];
unsigned alarmCounts[2]; /* timer 0 when the alarm was set and when it ran */

#define T0_COUNT ((volatile unsigned *)0x10000000)
#define T0_MODE ((volatile unsigned *)0x10000010)
#define T0_BUS_CLOCK_256 2

static int onVblank(int cause) {
    (void)cause;
    if (!workerDone) {
        note(0x01);
        iSignalSema(handlerSema);
        note(0x02); /* still the handler: the switch waits for its return */
    } else {
        iSignalSema(vblankSema);
    }
    return 0;
}

static void work(void *arg) {
    (void)arg;
    WaitSema(handlerSema);
    note(0x03);
    spinsWhenWorkerRan = spins;
    workerDone = 1;
}

static void onAlarm(int id, unsigned short time, void *common) {
    alarmArguments[0] = id;
    alarmArguments[1] = time;
    alarmArguments[2] = (unsigned)common;
    alarmCounts[1] = *T0_COUNT;
    note(0x05);
    iWakeupThread(*(int *)common);
}

int main(void) {
    struct SemaParam empty = {0, 1, 0, 0, 0, 0};
    ChangeThreadPriority(0, 50);
    mainThread = GetThreadId();
    handlerSema = CreateSema(&empty);
    vblankSema = CreateSema(&empty);
    worker = makeThread(work, 10, 0);
    StartThread(worker, 0);

    AddIntcHandler(2, onVblank, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");
    while (!workerDone) spins = spins + 1;
    note(0x04);

    *T0_MODE = T0_BUS_CLOCK_256;
    alarmCounts[0] = *T0_COUNT;
    noteIf(SetAlarm(100, onAlarm, &mainThread), 0, 0x06);
    noteIf(SleepThread(), mainThread, 0x07);
    noteIf(WaitSema(vblankSema), vblankSema, 0x08);
    return 0;
}
