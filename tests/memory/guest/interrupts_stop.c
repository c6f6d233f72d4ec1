/* A handler that returns -1 ends its pass. Causes 2 and 3 are unmasked;
   the test leaves D_STAT bits 0 and 1 pending before the run. The first
   cause-2 call returns -1, so cause 3 and channel 1 wait for the next
   delivery while channel 0 is still handled in the first. Calls are logged
   as 0x10 + cause or 0x40 + channel. */
#include "kernel.h"

#define CALLS 4

volatile unsigned calls;
unsigned log[CALLS];

static void record(unsigned entry) {
    if (calls < CALLS) log[calls] = entry;
    calls = calls + 1;
}

int onIntc(int cause) {
    record(0x10 + cause);
    return calls == 1 ? -1 : 0;
}

int onDmac(int channel) {
    record(0x40 + channel);
    return 0;
}

int main(void) {
    AddIntcHandler(2, onIntc, 0);
    AddIntcHandler(3, onIntc, 0);
    AddDmacHandler(0, onDmac, 0);
    AddDmacHandler(1, onDmac, 0);
    _EnableIntc(2);
    _EnableIntc(3);
    __asm__ volatile("ei");
    while (calls < CALLS) {
    }
    __asm__ volatile("di");
    return 0;
}
