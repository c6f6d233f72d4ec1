/* A cause-2 handler that masks and unmasks its own cause, while that cause
   is still pending, and then sets IE and takes branches: neither may start a
   second delivery inside the first. Each vertical blank runs the handler
   once; the program ends after three. */
#include "kernel.h"

volatile unsigned calls;
volatile unsigned depth;
volatile unsigned deepest;
volatile unsigned enableResult;

int reenter(int cause) {
    unsigned status;
    depth = depth + 1;
    if (depth > deepest) deepest = depth;
    calls = calls + 1;
    _DisableIntc(cause);
    enableResult = _EnableIntc(cause);
    __asm__ volatile("mfc0 %0, $12" : "=r"(status));
    status |= 1;
    __asm__ volatile("mtc0 %0, $12\n\tsync.p" : : "r"(status));
    for (volatile int i = 0; i < 8; i = i + 1) {
    }
    depth = depth - 1;
    return 0;
}

int main(void) {
    AddIntcHandler(2, reenter, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");
    while (calls < 3) {
    }
    __asm__ volatile("di");
    return 0;
}
