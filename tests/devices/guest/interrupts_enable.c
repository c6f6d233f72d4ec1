/* _EnableIntc delivers at once a cause that is already pending, with EIE
   still clear; a pending DMA channel without a handler waits for that
   delivery and is cleared by it, while the INTC bit without a handler stays. */
#include "kernel.h"

#define INTC_STAT (*(volatile unsigned *)0x1000F000)
#define D_STAT (*(volatile unsigned *)0x1000E010)

volatile unsigned calls;
unsigned results[6];

int onVblankStart(int cause) {
    calls = calls + 1;
    return cause;
}

int main(void) {
    AddIntcHandler(2, onVblankStart, 0);
    while ((INTC_STAT & 0x4) == 0) {
    }
    results[0] = calls;          /* no delivery without the mask bit */
    results[1] = D_STAT & 0x3FF; /* the test's pending channel, untouched */
    results[2] = _EnableIntc(2); /* the call's result survives the delivery */
    results[3] = calls;
    results[4] = D_STAT & 0x3FF;
    results[5] = INTC_STAT & 0xC; /* cause 3 has no handler: still pending */
    return 0;
}
