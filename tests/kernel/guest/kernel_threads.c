/* Thread bookkeeping without running threads: ids (the program is thread
   1), the parameter block read and the whole status block written back,
   priorities checked, table full, deletion and reuse, ids that name no
   thread. */
#include "kernel.h"

unsigned results[24];
struct ThreadParam param = {0x55, (void (*)(void *))0x00123450, (void *)0x00200000, 0x1000,
                            (void *)0x00300000, 10, 11, 0x77, 0x1234};
struct ThreadParam aliasParam;
struct ThreadParam badPriority = {0, (void (*)(void *))0x00123450, (void *)0x00200000, 0x1000, 0, 128, 0, 0, 0};
struct ThreadStatus status;

static void fillStatus(void) {
    unsigned *words = (unsigned *)&status;
    for (int i = 0; i < 12; ++i) words[i] = 0xEEEEEEEE;
}

int main(void) {
    results[0] = GetThreadId();
    results[1] = CreateThread(&param);
    results[2] = CreateThread(&badPriority);

    fillStatus();
    results[3] = ReferThreadStatus(2, &status);
    ChangeThreadPriority(2, 42);
    results[4] = ReferThreadStatus(2, 0);

    /* The block may be given through any alias of RAM. */
    aliasParam = param;
    aliasParam.initPriority = 12;
    results[5] = CreateThread((struct ThreadParam *)((unsigned)&aliasParam | 0xA0000000));

    unsigned expectedIds = 0;
    for (int id = 4; id < 256; ++id) expectedIds += CreateThread(&param) == id;
    results[6] = expectedIds;
    results[7] = CreateThread(&param);
    results[8] = DeleteThread(5);
    results[9] = CreateThread(&param);

    results[10] = ChangeThreadPriority(2, 128);
    results[11] = ReferThreadStatus(256, 0);
    results[12] = ReferThreadStatus(0, 0);
    results[13] = StartThread(1, 0);
    results[14] = DeleteThread(0);
    results[15] = ChangeThreadPriority(0, 30);
    return 0;
}
