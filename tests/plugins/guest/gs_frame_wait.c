/* A frame loop as the open-source SDK's graphics libraries run it: send a
   packet over the GIF channel, wait for the vertical blank by setting VSINT
   in CSR with a read-modify-write (which writes back, and so acknowledges,
   a FINISH already reported) and polling for it, then wait for FINISH and
   acknowledge it. */
#define GS_CSR (*(volatile unsigned *)0x12001000)
#define GIF_CHCR (*(volatile unsigned *)0x1000A000)
#define GIF_MADR (*(volatile unsigned *)0x1000A010)
#define GIF_QWC (*(volatile unsigned *)0x1000A020)

#define CSR_FINISH 0x2u
#define CSR_VSINT 0x8u
#define FRAMES 8

/* A GIF tag with the end-of-packet bit and no data: a FINISH-style packet. */
static unsigned packet[4] __attribute__((aligned(16))) = {0x00008000, 0, 0, 0};
unsigned frames;

int main(void) {
    for (unsigned frame = 0; frame < FRAMES; ++frame) {
        GIF_MADR = (unsigned)packet;
        GIF_QWC = 1;
        GIF_CHCR = 0x100;

        GS_CSR |= CSR_VSINT;
        while (!(GS_CSR & CSR_VSINT)) {
        }
        GS_CSR &= ~CSR_VSINT;

        while (!(GS_CSR & CSR_FINISH)) {
        }
        GS_CSR |= CSR_FINISH;
        frames = frame + 1;
    }
    return 0;
}
