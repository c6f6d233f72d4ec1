/* Thread bookkeeping: creation order and table full, the copied parameter
   block, status and priority queries, sleeping, and ids outside 0-31. */
#include "kernel.h"

unsigned results[64];
struct ThreadParam param;
struct ThreadParam aliasParam;
struct ThreadParam status;

static void fillStatus(void) {
    unsigned *words = (unsigned *)&status;
    for (int i = 0; i < 12; ++i) words[i] = 0xEEEEEEEE;
}

int main(void) {
    param.status = 0x55;
    param.entry = (void (*)(void *))0x00123450;
    param.stack = (void *)0x00200000;
    param.stackSize = 0x1000;
    param.gp = (void *)0x00300000;
    param.initPriority = 10;
    param.currentPriority = 11;
    param.attr = 0x77;
    param.option = 0x1234;
    param.waitType = 5;
    param.waitId = 6;
    param.wakeupCount = 7;

    results[0] = GetThreadId();
    results[1] = ReferThreadStatus(0, 0);
    results[2] = CreateThread(&param);

    fillStatus();
    results[3] = ReferThreadStatus(1, &status);
    results[4] = status.status;
    results[5] = status.currentPriority;
    results[6] = status.option;
    results[7] = (unsigned)status.entry; /* not written by the kernel */

    results[8] = ChangeThreadPriority(1, 42);
    fillStatus();
    ReferThreadStatus(1, &status);
    results[9] = status.currentPriority;

    /* The block may be given through any alias of RAM. */
    aliasParam = param;
    aliasParam.currentPriority = 12;
    results[10] = CreateThread((struct ThreadParam *)((unsigned)&aliasParam | 0xA0000000));

    unsigned expectedIds = 0;
    for (int id = 3; id < 32; ++id) expectedIds += CreateThread(&param) == id;
    results[11] = expectedIds;
    results[12] = CreateThread(&param);

    fillStatus();
    results[13] = ReferThreadStatus(32, &status);
    results[14] = status.status;
    results[15] = ReferThreadStatus(-1, 0);
    results[16] = ChangeThreadPriority(40, 9);

    results[17] = SleepThread();
    results[18] = ReferThreadStatus(0, 0);
    results[19] = StartThread(5, 0);
    return 0;
}
