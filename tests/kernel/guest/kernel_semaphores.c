/* Semaphores: creation order and table full, the never-blocking wait,
   polling, signalling with a negative word 3, reuse after deletion, and
   ids outside 0-31. */
#include "kernel.h"

unsigned results[32];
struct SemaParam empty = {0, 5, 0, 0, 0xA, 0xB};
struct SemaParam closed = {3, 3, 3, -1, 0, 0};
struct SemaParam nine = {9, 9, 9, 0, 0, 0};
struct SemaParam negative = {-1, 1, 0, 0, 0, 0};

int main(void) {
    results[0] = CreateSema(&empty);
    results[1] = PollSema(0);
    results[2] = WaitSema(0);
    results[3] = ReferThreadStatus(0, 0);
    SignalSema(0);
    SignalSema(0);
    results[4] = PollSema(0);
    results[5] = WaitSema(0);
    results[6] = PollSema(0);

    results[7] = CreateSema(&closed);
    SignalSema(1);
    results[8] = PollSema(1);
    results[9] = CreateSema(&negative);
    results[10] = PollSema(2);

    unsigned expectedIds = 0;
    for (int id = 3; id < 32; ++id) expectedIds += CreateSema(&empty) == id;
    results[11] = expectedIds;
    results[12] = CreateSema(&empty);
    DeleteSema(5);
    results[13] = CreateSema(&nine);

    results[14] = SignalSema(32);
    results[15] = WaitSema(-1);
    results[16] = DeleteSema(40);
    return 0;
}
