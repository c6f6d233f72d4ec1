/* Handlers for vertical-blank causes 2 and 3 and DMA channels 0 and 1, each
   call logged as 0x10 + cause (cause 2's handler), 0x20 + cause (cause 3's)
   or 0x40 + channel. This program unmasks cause 2 only; interrupts_stop.c
   builds it again unmasking both, with a first handler call that returns
   -1. */
#include "kernel.h"

#define CALLS 6

volatile unsigned calls;
unsigned log[CALLS];

static int record(unsigned entry) {
    if (calls < CALLS) log[calls] = entry;
    calls = calls + 1;
#ifdef STOP_AT_FIRST_CALL
    if (calls == 1) return -1;
#endif
    return 0;
}

int onVblankStart(int cause) { return record(0x10 + cause); }
int onVblankEnd(int cause) { return record(0x20 + cause); }
int onDmac(int channel) { return record(0x40 + channel); }

int main(void) {
    AddIntcHandler(2, onVblankStart, 0);
    AddIntcHandler(3, onVblankEnd, 0);
    AddDmacHandler(0, onDmac, 0);
    AddDmacHandler(1, onDmac, 0);
    _EnableIntc(2);
#ifdef STOP_AT_FIRST_CALL
    _EnableIntc(3);
#endif
    __asm__ volatile("ei");
    while (calls < CALLS) {
    }
    __asm__ volatile("di");
    return 0;
}
