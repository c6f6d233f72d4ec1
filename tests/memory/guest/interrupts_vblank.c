/* Vertical-blank handlers for causes 2 and 3 with only cause 2 unmasked:
   each vertical blank runs both, in cause order, each given its cause.
   Every call is logged as 0x10 + cause (start) or 0x20 + cause (end). */
#include "kernel.h"

#define CALLS 6

volatile unsigned calls;
unsigned log[CALLS];

static void record(unsigned entry) {
    if (calls < CALLS) log[calls] = entry;
    calls = calls + 1;
}

int onVblankStart(int cause) {
    record(0x10 + cause);
    return 0;
}

int onVblankEnd(int cause) {
    record(0x20 + cause);
    return 0;
}

int main(void) {
    AddIntcHandler(2, onVblankStart, 0);
    AddIntcHandler(3, onVblankEnd, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");
    while (calls < CALLS) {
    }
    __asm__ volatile("di");
    return 0;
}
