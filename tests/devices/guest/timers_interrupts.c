/* Timer interrupts on all four timers beside the vertical blank. Each
   handler logs its cause, the live count and the mode it finds, then writes
   the mode back as read, which clears the flags it found set.

   A live count is the stored count plus 4 for every step since cycle 0:
   - timers 1 and 2 (a horizontal line a step, stored 0) compare at 1024,
     which they reach together with the first vertical blank, whose
     handler then removes itself;
   - timer 3 (512 cycles a step, stored 0xF000) compares at 0xF800, then
     overflows together with timer 0 (the same clock and stored count,
     overflow only); timer 3's handler turns it off after that. */
#include "kernel.h"

#define T_COUNT(n) (*(volatile unsigned *)(0x10000000 + 0x800 * (n)))
#define T_MODE(n) (*(volatile unsigned *)(0x10000010 + 0x800 * (n)))
#define T_COMP(n) (*(volatile unsigned *)(0x10000020 + 0x800 * (n)))

#define CMPE 0x100
#define OVFE 0x200
#define FLAGS 0xC00
#define TIMER_CAUSE(n) (9 + (n))
#define CALLS 6

struct Entry {
    unsigned cause;
    unsigned count;
    unsigned mode;
};

volatile unsigned calls;
struct Entry log[CALLS];
unsigned timer3Events;

static void record(unsigned cause, unsigned count, unsigned mode) {
    if (calls < CALLS) {
        log[calls].cause = cause;
        log[calls].count = count;
        log[calls].mode = mode;
    }
    calls = calls + 1;
}

int onTimer(int cause) {
    const unsigned n = cause - TIMER_CAUSE(0);
    const unsigned mode = T_MODE(n);
    record(cause, T_COUNT(n), mode);
    T_MODE(n) = mode;
    if (n == 3 && ++timer3Events == 2) T_MODE(3) = 0;
    return 0;
}

int onVblank(int cause) {
    record(cause, 0, 0);
    RemoveIntcHandler(cause, 0);
    return 0;
}

static void startTimer(unsigned n, unsigned mode, unsigned count, unsigned compare) {
    T_MODE(n) = 0;
    T_COUNT(n) = count;
    T_COMP(n) = compare;
    T_MODE(n) = mode | FLAGS;
    AddIntcHandler(TIMER_CAUSE(n), onTimer, 0);
    _EnableIntc(TIMER_CAUSE(n));
}

int main(void) {
    AddIntcHandler(2, onVblank, 0);
    _EnableIntc(2);
    startTimer(0, 2 | OVFE, 0xF000, 0);
    startTimer(1, 3 | CMPE, 0, 1024);
    startTimer(2, 3 | CMPE, 0, 1024);
    startTimer(3, 2 | CMPE | OVFE, 0xF000, 0xF800);
    __asm__ volatile("ei");
    while (calls < CALLS) {
    }
    __asm__ volatile("di");
    return 0;
}
