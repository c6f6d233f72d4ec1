/* Semaphore bookkeeping without blocking: the starting count, the maximum,
   polling, the status block, table full, deletion and reuse, and ids that
   name no semaphore. */
#include "kernel.h"

unsigned results[32];
struct SemaParam twoAtMost = {7, 2, 0, 3, 0xA, 0xB};
struct SemaParam one = {0, 1, 1, 0, 0, 0};
struct SemaParam negative = {0, 1, -1, 0, 0, 0};
struct SemaParam status;

int main(void) {
    results[0] = CreateSema(&twoAtMost);
    results[1] = PollSema(0);
    results[2] = SignalSema(0);
    results[3] = SignalSema(0);
    results[4] = SignalSema(0);
    results[5] = ReferSemaStatus(0, &status);
    results[6] = PollSema(0);
    results[7] = WaitSema(0);
    results[8] = PollSema(0);

    results[9] = CreateSema(&negative);
    unsigned expectedIds = 0;
    for (int id = 1; id < 256; ++id) expectedIds += CreateSema(&one) == id;
    results[10] = expectedIds;
    results[11] = CreateSema(&one);
    results[12] = DeleteSema(5);
    results[13] = WaitSema(5);
    results[14] = CreateSema(&twoAtMost);

    results[15] = SignalSema(256);
    results[16] = WaitSema(-1);
    results[17] = DeleteSema(300);
    results[18] = PollSema(1);
    return 0;
}
