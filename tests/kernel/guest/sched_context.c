/* The registers a thread switch keeps: two threads of one priority hand
   the processor to each other with RotateThreadReadyQueue, each with its
   own values in HI, LO, HI1, an FPU register and the upper half of a GPR
   across the call. */
#include "thread_log.h"

#define PRIORITY 30

/* Sets the registers from `seed`, rotates, and reports whether every one
   came back. */
static int rotateKeeping(unsigned seed) {
    unsigned hi, lo, fpr, hi1, upper;
    __asm__ volatile(
        "mthi %5\n\t"
        "mtlo %6\n\t"
        "mtc1 %7, $f20\n\t"
        "mthi1 %8\n\t"
        "pcpyld $s7, %9, $zero\n\t"
        "li $v1, 43\n\t"
        "li $a0, %10\n\t"
        "syscall\n\t"
        "mfhi %0\n\t"
        "mflo %1\n\t"
        "mfc1 %2, $f20\n\t"
        "mfhi1 %3\n\t"
        "pcpyud %4, $s7, $zero\n\t"
        : "=&r"(hi), "=&r"(lo), "=&r"(fpr), "=&r"(hi1), "=&r"(upper)
        : "r"(seed), "r"(seed + 1), "r"(seed + 2), "r"(seed + 3), "r"(seed + 4), "i"(PRIORITY)
        : "v0", "v1", "a0", "s7", "$f20", "hi", "lo", "memory");
    return hi == seed && lo == seed + 1 && fpr == seed + 2 && hi1 == seed + 3 && upper == seed + 4;
}

static void other(void *arg) {
    (void)arg;
    for (unsigned round = 0; round < 3; ++round) note(rotateKeeping(0x2000 + round * 16) ? 0x20 + round : 0xBAD);
}

int main(void) {
    ChangeThreadPriority(0, PRIORITY);
    StartThread(makeThread(other, PRIORITY, 0), 0);
    for (unsigned round = 0; round < 3; ++round) note(rotateKeeping(0x1000 + round * 16) ? 0x10 + round : 0xBAD);
    return 0;
}
