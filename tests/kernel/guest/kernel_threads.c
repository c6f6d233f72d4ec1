/* Thread bookkeeping: creation order and table full, the copied parameter
   block, status and priority queries, sleeping, and ids outside 0-31. */
#include "kernel.h"

unsigned results[15];
struct ThreadParam param = {0x55, (void (*)(void *))0x00123450, (void *)0x00200000, 0x1000,
                            (void *)0x00300000, 10, 11, 0x77, 0x1234, 5, 6, 7};
struct ThreadParam aliasParam;
struct ThreadParam status;

static void fillStatus(void) {
    unsigned *words = (unsigned *)&status;
    for (int i = 0; i < 12; ++i) words[i] = 0xEEEEEEEE;
}

int main(void) {
    results[0] = CreateThread(&param);

    fillStatus();
    results[1] = ReferThreadStatus(1, &status);
    results[2] = status.status;
    results[3] = status.currentPriority;
    results[4] = status.option;
    results[5] = (unsigned)status.entry;
    ChangeThreadPriority(1, 42);
    ReferThreadStatus(1, &status);
    results[6] = status.currentPriority;

    /* The block may be given through any alias of RAM. */
    aliasParam = param;
    aliasParam.currentPriority = 12;
    results[7] = CreateThread((struct ThreadParam *)((unsigned)&aliasParam | 0xA0000000));

    unsigned expectedIds = 0;
    for (int id = 3; id < 32; ++id) expectedIds += CreateThread(&param) == id;
    results[8] = expectedIds;
    results[9] = CreateThread(&param);

    fillStatus();
    results[10] = ReferThreadStatus(-1, &status);
    results[11] = status.status;
    ChangeThreadPriority(40, 9);

    results[12] = SleepThread();
    results[13] = ReferThreadStatus(0, 0);
    return 0;
}
