/* A cause-2 handler that never returns to the interrupted code. Once the
   delivery has given it up, the interrupted loop goes on and ends. */
#include "kernel.h"

volatile unsigned entered;

int runaway(int cause) {
    entered = cause;
    for (;;) {
    }
}

int main(void) {
    AddIntcHandler(2, runaway, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");
    while (entered == 0) {
    }
    __asm__ volatile("di");
    return 0;
}
