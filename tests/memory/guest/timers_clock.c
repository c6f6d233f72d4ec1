/* A clock the way the SDK's C library keeps one: timer 1 counts at the bus
   clock / 256 with its overflow interrupt on, a cause-10 handler counts the
   overflows, and clock() joins that count with the live count. A wrap that
   the handler has not yet counted shows as the overflow flag. The program
   waits 200 ms of this clock in a time-out loop, as a controller library
   does while it waits for a controller, and checks that the clock never
   went backwards. */
#include "kernel.h"

#define T1_COUNT (*(volatile unsigned *)0x10000800)
#define T1_MODE (*(volatile unsigned *)0x10000810)

#define CLOCK_BUS_256 2
#define CUE 0x80
#define OVFE 0x200
#define OVFF 0x800
#define FLAGS 0xC00
#define TIMER1_CAUSE 10
#define CLOCKS_PER_SEC 576000u
#define TIMEOUT (CLOCKS_PER_SEC / 5)

volatile unsigned overflows;
unsigned results[4];

int onTimer1(int cause) {
    const unsigned mode = T1_MODE;
    (void)cause;
    if (mode & OVFF) overflows = overflows + 1;
    T1_MODE = mode;
    return 0;
}

static unsigned clockTicks(void) {
    for (;;) {
        unsigned high = overflows;
        const unsigned low = T1_COUNT;
        const unsigned mode = T1_MODE;
        if (high != overflows) continue;
        if ((mode & OVFF) && low < 0x8000) high += 1;
        return (high << 16) | low;
    }
}

int main(void) {
    T1_MODE = 0;
    T1_COUNT = 0;
    AddIntcHandler(TIMER1_CAUSE, onTimer1, 0);
    _EnableIntc(TIMER1_CAUSE);
    T1_MODE = CLOCK_BUS_256 | CUE | OVFE | FLAGS;
    __asm__ volatile("ei");

    const unsigned start = clockTicks();
    unsigned last = start;
    unsigned backwards = 0;
    for (;;) {
        const unsigned now = clockTicks();
        if (now < last) backwards += 1;
        last = now;
        if (now - start >= TIMEOUT) break;
    }
    __asm__ volatile("di");
    results[0] = overflows;
    results[1] = last - start;
    results[2] = backwards;
    results[3] = start;
    return 0;
}
