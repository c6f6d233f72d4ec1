/* What a program built with the open-source SDK asks of the IOP while it
   starts: module loads that must answer a positive id, a module-list walk
   through remote data reads of IOP memory, and a plain data transfer that
   the kernel must not take for a command. */
#include "kernel.h"
#include "sif.h"

unsigned results[16];
unsigned char moduleEntry[40];
unsigned char readBack[32];

int main(void) {
    int modres = -1;
    results[0] = sifLoadModule("rom0:SIO2MAN", "", &modres);
    results[1] = modres;
    results[2] = sifLoadModule("rom0:PADMAN", "", 0);
    results[3] = sifLoadModule("host:SJDATA.IRX", "", 0);
    sifResetIop("rom0:UDNL");
    results[4] = sifLoadModule("rom0:PADMAN", "", 0);

    /* The head of the IOP's module list: no module is found there. */
    struct SifRpcClient reader;
    if (sifInitClient(&reader) != 0) return -1;
    for (unsigned i = 0; i < sizeof moduleEntry; ++i) moduleEntry[i] = 0xA5;
    results[5] = sifReadRemoteData(&reader, 0x800, moduleEntry, sizeof moduleEntry);
    results[6] = moduleEntry[0] | moduleEntry[12] | moduleEntry[39];

    /* A block of IOP memory reads back what the program left in it. */
    const unsigned block = iopAlloc(256);
    for (unsigned i = 0; i < sizeof readBack; ++i) ((volatile unsigned char *)block)[i] = (unsigned char)(i * 7 + 1);
    results[7] = sifReadRemoteData(&reader, block, readBack, sizeof readBack);
    results[8] = readBack[0] | readBack[5] << 8 | readBack[31] << 16;

    /* Plain data whose word 8 looks like a bind: nothing is bound. */
    struct SifRpcClient bystander;
    if (sifInitClient(&bystander) != 0) return -1;
    static unsigned data[16];
    data[2] = SIF_CMD_RPC_BIND;
    data[7] = (unsigned)&bystander;
    data[8] = 0x80000100u;
    struct SifDmaTransfer transfer = {data, block, sizeof data, SIF_DMA_DATA};
    results[9] = sceSifSetDma(&transfer, 1);
    results[10] = bystander.server;
    results[11] = PollSema(bystander.sema);
    return 0;
}
