/* Semaphores: creation order and table full, the never-blocking wait,
   polling, signalling with a negative word 3, reuse after deletion, and
   ids outside 0-31. */
#include "kernel.h"

unsigned results[64];
struct SemaParam empty = {0, 5, 0, 0, 0xA, 0xB};
struct SemaParam closed = {3, 3, 3, -1, 0, 0};
struct SemaParam nine = {9, 9, 9, 0, 0, 0};
struct SemaParam negative = {-1, 1, 0, 0, 0, 0};

int main(void) {
    results[0] = CreateSema(&empty);
    results[1] = PollSema(0);
    results[2] = ReferThreadStatus(0, 0);
    results[3] = WaitSema(0);
    results[4] = ReferThreadStatus(0, 0);
    results[5] = SignalSema(0);
    results[6] = SignalSema(0);
    results[7] = PollSema(0);
    results[8] = WaitSema(0);
    results[9] = PollSema(0);

    results[10] = CreateSema(&closed);
    results[11] = SignalSema(1);
    results[12] = PollSema(1);

    /* The count is compared signed: a negative count cannot be taken. */
    results[21] = CreateSema(&negative);
    results[22] = PollSema(2);

    unsigned expectedIds = 0;
    for (int id = 3; id < 32; ++id) expectedIds += CreateSema(&empty) == id;
    results[13] = expectedIds;
    results[14] = CreateSema(&empty);
    results[15] = DeleteSema(5);
    results[16] = CreateSema(&nine);

    results[17] = PollSema(32);
    results[18] = SignalSema(32);
    results[19] = WaitSema(-1);
    results[20] = DeleteSema(40);
    return 0;
}
