/* DisableDispatchThread: the program keeps the processor while a more
   urgent thread is started or readied by an interrupt handler, and while it
   steps aside for its equals; its waits answer -1 at once instead of
   blocking. EnableDispatchThread hands the processor to the most urgent
   ready thread. The program runs at priority 50. */
#include "thread_log.h"

static int sema;
volatile unsigned vblanks;
volatile unsigned urgentRan;

static int onVblank(int cause) {
    (void)cause;
    vblanks = vblanks + 1;
    if (vblanks == 1) iSignalSema(sema);
    return 0;
}

static void urgent(void *arg) {
    (void)arg;
    urgentRan = 1;
    note(0x10);
    noteIf(WaitSema(sema), sema, 0x11);
}

static void equal(void *arg) {
    (void)arg;
    note(0x20);
}

int main(void) {
    struct SemaParam empty = {0, 1, 0, 0, 0, 0};
    ChangeThreadPriority(0, 50);
    sema = CreateSema(&empty);
    const int urgentThread = makeThread(urgent, 10, 0);
    const int equalThread = makeThread(equal, 50, 1);

    DisableDispatchThread();
    StartThread(urgentThread, 0);
    note(urgentRan ? 0xBAD00001 : 0x01);
    StartThread(equalThread, 0);
    RotateThreadReadyQueue(50);
    note(0x02);
    noteIf(WaitSema(sema), -1, 0x03);
    noteIf(SleepThread(), -1, 0x04);
    noteIf(threadStatus(0), THS_RUN, 0x05);
    EnableDispatchThread(); /* the urgent thread runs, then waits */
    note(0x06);

    AddIntcHandler(2, onVblank, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");
    DisableDispatchThread();
    while (vblanks < 2) {
    }
    noteIf(threadStatus(urgentThread), THS_READY, 0x07);
    EnableDispatchThread();
    note(0x08);
    RotateThreadReadyQueue(50);
    note(0x09);
    return 0;
}
