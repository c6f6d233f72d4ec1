/* A program that keeps every part of the machine busy, frame after frame,
   until the run is stopped: a worker thread woken by the vertical-blank
   handler through a semaphore, timer 1 raising compare interrupts, a VIF1
   DMA chain that loads and starts a VU1 micro-program which kicks a GIF
   packet, a GIF DMA packet of its own, FPU and 128-bit register work, and
   host files: one read a little further each frame, one written a line
   each frame. Between frames every thread waits and the machine idles.
   Every result is folded into `digest`. */
#include "fileio.h"
#include "kernel.h"

#define VIF1_CHCR (*(volatile unsigned *)0x10009000u)
#define VIF1_TADR (*(volatile unsigned *)0x10009030u)
#define GIF_CHCR (*(volatile unsigned *)0x1000A000u)
#define GIF_MADR (*(volatile unsigned *)0x1000A010u)
#define GIF_QWC (*(volatile unsigned *)0x1000A020u)
#define T1_COUNT (*(volatile unsigned *)0x10000800u)
#define T1_MODE (*(volatile unsigned *)0x10000810u)
#define T1_COMP (*(volatile unsigned *)0x10000820u)

/* MPG of a program that loads the vertex, scales it by I = 2.0, converts
   it to fixed point, stores it and XGKICKs the packet at data quadword 0;
   then the GIF tag and the vertex, and MSCAL. */
static unsigned chain[28] __attribute__((aligned(16))) = {
    0x70000006, 0, 0x00000000, 0x4A070000,
    0x40000000, 0x8000002B, 0x01E10001, 0x0000002B,
    0x10000000, 0x01E0089E, 0x10000000, 0x01E3117D,
    0x03E01802, 0x0000002B, 0x800006FC, 0x4000002B,
    0x10000000, 0x0000002B,
    0x6C020000, 0x00008002, 0x10000000, 0x5, 0,
    0x3FC00000, 0xC0100000, 0x42C80000, 0x3F800000,
    0x14000000,
};

/* A GIF packet: tag (NLOOP 1, EOP, PACKED, one register A+D), BGCOLOR. */
static unsigned gifPacket[8] __attribute__((aligned(16))) = {
    0x00008001, 0x10000000, 0xE, 0,
    0x00102030, 0, 0x0E, 0,
};

static unsigned char workerStack[4096] __attribute__((aligned(16)));
static int frameSema;
static int doneSema;
volatile unsigned frames;
volatile unsigned timerInterrupts;
volatile unsigned digest = 0x12345678;
unsigned char readBack[16];
volatile int lastRead;

static void fold(unsigned value) { digest = (digest << 5 | digest >> 27) ^ value; }

static int onVblank(int cause) {
    (void)cause;
    iSignalSema(frameSema);
    return 0;
}

static int onTimer1(int cause) {
    (void)cause;
    T1_MODE = T1_MODE; /* writing the flags back clears them */
    timerInterrupts = timerInterrupts + 1;
    return 0;
}

static void worker(void *arg) {
    volatile float *scale = arg;
    for (;;) {
        WaitSema(frameSema);
        *scale = *scale * 1.5f + 0.25f;
        if (*scale > 1000.0f) *scale = *scale / 1024.0f;
        frames = frames + 1;
        SignalSema(doneSema);
    }
}

static void hexLine(char *line, unsigned value) {
    for (int i = 0; i < 8; ++i) line[i] = "0123456789abcdef"[(value >> (28 - 4 * i)) & 15];
    line[8] = '\n';
}

int main(void) {
    static volatile float scale = 1.0f;
    struct SemaParam empty = {0, 1000, 0, 0, 0, 0};
    struct ThreadParam param = {0, worker, workerStack, sizeof workerStack, 0, 10, 0, 0, 0};
    char line[9];

    frameSema = CreateSema(&empty);
    doneSema = CreateSema(&empty);
    StartThread(CreateThread(&param), (void *)&scale);
    ChangeThreadPriority(0, 20);
    AddIntcHandler(2, onVblank, 0);
    _EnableIntc(2);
    AddIntcHandler(10, onTimer1, 0);
    _EnableIntc(10);
    T1_COMP = 0x4000;
    T1_MODE = 0x180 | 0x100; /* count, compare interrupt, bus clock */
    __asm__ volatile("ei");

    const int input = fioOpen("host:input.bin", FIO_READ);
    const int output = fioOpen("host:output.txt", FIO_WRITE | FIO_CREATE | FIO_TRUNCATE);
    for (;;) {
        VIF1_TADR = (unsigned)chain & 0x1FFFFFFFu;
        VIF1_CHCR = 0x105;
        GIF_MADR = (unsigned)gifPacket & 0x1FFFFFFFu;
        GIF_QWC = 2;
        GIF_CHCR = 0x101;
        gifPacket[4] = gifPacket[4] + 0x010101;

        lastRead = fioRead(input, readBack, 3);
        fold(lastRead);
        for (int i = 0; i < 3; ++i) fold(readBack[i]);
        hexLine(line, digest);
        fold(fioWrite(output, line, sizeof line));

        unsigned long long wide;
        __asm__ volatile(".set push\n\t.set gp=64\n\t"
                         "dsll32 %0, %1, 0\n\t"
                         "or %0, %0, %2\n\t"
                         ".set pop"
                         : "=&r"(wide)
                         : "r"(digest), "r"(frames));
        fold((unsigned)(wide >> 7));
        fold((unsigned)(scale * 64.0f));
        fold(timerInterrupts);
        fold(T1_COUNT);

        WaitSema(doneSema); /* nothing runs until the next vertical blank */
    }
    return 0;
}
