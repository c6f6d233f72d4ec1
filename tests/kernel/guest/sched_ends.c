/* How a program with threads ends, chosen by `mode` (set before the run):
   1: the program waits on a semaphore that nothing can signal (deadlock);
   2: the program exits its thread while a worker waits for a vertical
      blank; the worker runs at the next one, and the run ends with it. */
#include "thread_log.h"

unsigned mode = 2; /* in .data: the start-up code clears .bss */
static int sema;

static int onVblank(int cause) {
    (void)cause;
    iSignalSema(sema);
    return 0;
}

static void waitForVblank(void *arg) {
    (void)arg;
    noteIf(WaitSema(sema), sema, 0x02);
}

int main(void) {
    struct SemaParam empty = {0, 1, 0, 0, 0, 0};
    sema = CreateSema(&empty);
    if (mode == 1) {
        note(0x01);
        WaitSema(sema);
        note(0xEE);
        return 0;
    }
    AddIntcHandler(2, onVblank, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");
    StartThread(makeThread(waitForVblank, 60, 0), 0);
    note(0x01);
    ExitThread();
    note(0xEE);
    return 0;
}
