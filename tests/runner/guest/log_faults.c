/* Guest mistakes and requests the emulator does not serve, each of a
   different part of the machine, for the runner's --log option:
   - a system call number that is not assigned, made 1000 times in a loop;
   - FlushCache, a call the kernel names but does nothing for;
   - an interrupt handler for a cause that does not exist;
   - a start of the IPU channel, which moves nothing here;
   - a GIF tag chain whose NEXT tag points at itself, cut at the tag limit;
   - a remote call to a server that no IOP module provides. */
#include "kernel.h"
#include "sif.h"

#define GIF_CHCR (*(volatile unsigned *)0x1000A000)
#define GIF_TADR (*(volatile unsigned *)0x1000A030)
#define IPU_TO_CHCR (*(volatile unsigned *)0x1000B400)
#define NO_SUCH_SERVER 0x0000ABCDu

static volatile unsigned loopingTag[4] __attribute__((aligned(16)));

static int onNothing(int cause) { return cause; }

static void systemCall(int number) {
    __asm__ volatile("move $v1, %0\n\tsyscall" : : "r"(number) : "v0", "v1", "memory");
}

int main(void) {
    for (int i = 0; i < 1000; ++i) systemCall(90);
    systemCall(100);
    AddIntcHandler(20, onNothing, 0);

    IPU_TO_CHCR = 0x101;

    loopingTag[0] = 0x20000000; /* NEXT, no data */
    loopingTag[1] = (unsigned)loopingTag;
    GIF_TADR = (unsigned)loopingTag;
    GIF_CHCR = 0x104;

    struct SifRpcClient client;
    unsigned answer = 0;
    if (sifInitClient(&client) == 0 && sifBindRpc(&client, NO_SUCH_SERVER) == 0) {
        sifCallRpc(&client, 1, &answer, sizeof answer, &answer);
    }
    return 0;
}
