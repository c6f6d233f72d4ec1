/* The controller service from the guest: sends the commands of `calls`
   (their 8 reply words recorded, preset to a marker), opens the ports of
   `opens` on areas filled with 0xAB, then after each of `frames` vertical
   blanks records every opened port's buttons. The tables sit in .data so
   the test can rewrite them before the run. */
#include "pad.h"

#define INTC_STAT (*(volatile unsigned *)0x1000F000)
#define VBLANK_START 0x4u
#define MAX_CALLS 8
#define MAX_OPENS 4
#define MAX_FRAMES 4

struct PadCall {
    unsigned server;
    unsigned command;
};
struct PadOpen {
    unsigned server;
    unsigned port;
};

struct PadCall calls[MAX_CALLS] = {{PAD_SERVER_FIRST, 6}};
unsigned callCount = 1;
struct PadOpen opens[MAX_OPENS] = {{PAD_SERVER_FIRST, 0}};
unsigned openCount = 1;
unsigned frames = 1;

unsigned replies[MAX_CALLS][8];
unsigned char areas[MAX_OPENS][PAD_AREA_BYTES] __attribute__((aligned(64)));
unsigned opened[MAX_OPENS];
unsigned buttons[MAX_FRAMES][MAX_OPENS];

int main(void) {
    for (unsigned i = 0; i < callCount && i < MAX_CALLS; ++i) {
        padCommand(calls[i].server, calls[i].command, 0, 0, replies[i], 0xA5A5A5A5u);
    }
    for (unsigned i = 0; i < openCount && i < MAX_OPENS; ++i) {
        volatile unsigned char *area = areas[i];
        for (unsigned b = 0; b < PAD_AREA_BYTES; ++b) area[b] = 0xAB;
        opened[i] = padOpen(opens[i].server, opens[i].port, areas[i]);
    }
    for (unsigned f = 0; f < frames && f < MAX_FRAMES; ++f) {
        INTC_STAT = VBLANK_START;
        while ((INTC_STAT & VBLANK_START) == 0) {
        }
        for (unsigned i = 0; i < openCount && i < MAX_OPENS; ++i) buttons[f][i] = padButtons(opens[i].server, areas[i]);
    }
    return 0;
}
