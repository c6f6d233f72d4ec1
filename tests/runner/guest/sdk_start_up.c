/* The start-up of a program built with the open-source SDK, in the order
   it meets the IOP and the hardware, then its frame loop:
   1. loads the controller modules and takes an id of 0 or less for failure;
   2. walks the IOP's module list by remote data reads to see whether its
      sound module is loaded, loads it when it is not, and calls a server
      that no module here provides, whose failure it takes politely;
   3. keeps a clock from timer 1 overflows counted by a cause-10 handler;
   4. opens controller port 0, looks for a DualShock and sets its mode, and
      gives port 1, never opened, 200 ms of that clock to appear;
   5. writes its welcome line into the on-screen console text;
   6. each frame sends a GIF chain without clearing QWC, waits for the
      vertical blank through CSR (writing CSR back as read) and then for
      FINISH.
   `stage` tells how far it got. */
#include "kernel.h"
#include "pad.h"
#include "sif.h"

#define T1_COUNT (*(volatile unsigned *)0x10000800)
#define T1_MODE (*(volatile unsigned *)0x10000810)
#define GS_CSR (*(volatile unsigned *)0x12001000)
#define GIF_CHCR (*(volatile unsigned *)0x1000A000)
#define GIF_TADR (*(volatile unsigned *)0x1000A030)

#define OVFF 0x800u
#define CLOCKS_PER_SEC 576000u
#define FRAMES 30
#define NO_SUCH_SERVER 0x0000ABCDu

struct Progress {
    unsigned stage;
    unsigned moduleIds[3];
    unsigned soundAnswer;
    unsigned overflows;
    unsigned dualShockMode;
    unsigned portOneWaited;
    unsigned frames;
    char console[64];
};
struct Progress progress;

static unsigned char padArea[2][PAD_AREA_BYTES] __attribute__((aligned(64)));
static unsigned char moduleEntry[40];
/* An end tag followed by one quadword of GIF data. */
static unsigned gifChain[8] __attribute__((aligned(16))) = {0x70000001, 0, 0, 0, 0x00008000, 0, 0, 0};
static volatile unsigned overflows;

int onTimer1(int cause) {
    const unsigned mode = T1_MODE;
    (void)cause;
    if (mode & OVFF) overflows = overflows + 1;
    T1_MODE = mode;
    return 0;
}

static unsigned clockTicks(void) {
    for (;;) {
        unsigned high = overflows;
        const unsigned low = T1_COUNT;
        const unsigned mode = T1_MODE;
        if (high != overflows) continue;
        if ((mode & OVFF) && low < 0x8000) high += 1;
        return (high << 16) | low;
    }
}

static int moduleLoaded(void) {
    struct SifRpcClient reader;
    if (sifInitClient(&reader) != 0) return 0;
    unsigned address = 0x800;
    for (unsigned hops = 0; hops < 64 && address != 0; ++hops) {
        if (sifReadRemoteData(&reader, address, moduleEntry, sizeof moduleEntry) != 0) return 0;
        const unsigned id = moduleEntry[12] | moduleEntry[13] << 8;
        if (id == 0) return 0;
        address = moduleEntry[0] | moduleEntry[1] << 8 | moduleEntry[2] << 16 | (unsigned)moduleEntry[3] << 24;
    }
    return 0;
}

static unsigned padAsk(unsigned command, int arg3, int arg4, unsigned word) {
    unsigned request[8] = {0x80000100u + command, 0, 0, (unsigned)arg3, (unsigned)arg4, 0, 0, 0};
    unsigned reply[8];
    if (padCall(PAD_SERVER_SECOND, request, reply) != 0) return 0;
    return reply[word];
}

static void say(const char *text) {
    for (unsigned i = 0; i + 1 < sizeof progress.console && text[i] != '\0'; ++i) progress.console[i] = text[i];
}

int main(void) {
    progress.stage = 1;
    const char *modules[2] = {"rom0:SIO2MAN", "rom0:PADMAN"};
    for (unsigned i = 0; i < 2; ++i) {
        const int id = sifLoadModule(modules[i], "", 0);
        if (id <= 0) return 1;
        progress.moduleIds[i] = id;
    }

    progress.stage = 2;
    if (!moduleLoaded()) {
        const int id = sifLoadModule("host:audsrv.irx", "", 0);
        if (id <= 0) return 1;
        progress.moduleIds[2] = id;
    }
    struct SifRpcClient sound;
    unsigned answer = 0;
    if (sifInitClient(&sound) != 0 || sifBindRpc(&sound, NO_SUCH_SERVER) != 0) return 1;
    sifCallRpc(&sound, 1, &answer, sizeof answer, &answer);
    progress.soundAnswer = answer;

    progress.stage = 3;
    T1_MODE = 0;
    T1_COUNT = 0;
    AddIntcHandler(10, onTimer1, 0);
    _EnableIntc(10);
    T1_MODE = 2 | 0x80 | 0x200 | 0xC00;
    __asm__ volatile("ei");

    progress.stage = 4;
    if (padOpen(PAD_SERVER_SECOND, 0, padArea[0]) != 1) return 1;
    const unsigned modes = padAsk(4, 4, -1, 5);
    for (unsigned i = 0; i < modes; ++i) {
        if (padAsk(4, 4, (int)i, 5) == 7) progress.dualShockMode = i;
    }
    if (progress.dualShockMode == 0 || padAsk(4, 2, 0, 5) == 0) return 1;
    padAsk(5, 1, 3, 5);
    const unsigned start = clockTicks();
    while (((volatile unsigned char *)padArea[1])[4] != 6) {
        if (clockTicks() - start >= CLOCKS_PER_SEC / 5) break;
    }
    progress.portOneWaited = clockTicks() - start;
    progress.overflows = overflows;

    progress.stage = 5;
    say("Welcome to the SDK start-up test");

    progress.stage = 6;
    for (unsigned frame = 0; frame < FRAMES; ++frame) {
        GIF_TADR = (unsigned)gifChain;
        GIF_CHCR = 0x104;
        GS_CSR |= 0x8;
        while (!(GS_CSR & 0x8)) {
        }
        GS_CSR &= ~0x8u;
        while (!(GS_CSR & 0x2)) {
        }
        GS_CSR |= 0x2;
        progress.frames = frame + 1;
    }
    __asm__ volatile("di");
    progress.stage = 7;
    return 0;
}
