/* Draws a background, blended sprites, a textured sprite and a Gouraud
   triangle through GIF DMA, then reads the frame back as the console's
   programs do: a local-to-host GS transfer, BUSDIR 1 and VIF1 STAT FDR
   set, the pixels received by DMA channel 1 in the from-memory direction,
   and one rectangle read through the VIF1 FIFO with 128-bit loads; then
   BUSDIR and FDR are put back. */

#define GIF_CHCR (*(volatile unsigned *)0x1000A000u)
#define GIF_MADR (*(volatile unsigned *)0x1000A010u)
#define GIF_QWC (*(volatile unsigned *)0x1000A020u)
#define VIF1_CHCR (*(volatile unsigned *)0x10009000u)
#define VIF1_MADR (*(volatile unsigned *)0x10009010u)
#define VIF1_QWC (*(volatile unsigned *)0x10009020u)
#define VIF1_STAT (*(volatile unsigned *)0x10003C00u)
#define GS_BUSDIR (*(volatile unsigned long long *)0x12001040u)

#define VIF1_STAT_FDR 0x00800000u

/* GS registers. */
#define PRIM 0x00
#define RGBAQ 0x01
#define UV 0x03
#define TEX0_1 0x06
#define XYZ2 0x05
#define XYOFFSET_1 0x18
#define PRMODECONT 0x1A
#define SCISSOR_1 0x40
#define ALPHA_1 0x42
#define COLCLAMP 0x46
#define TEST_1 0x47
#define FRAME_1 0x4C
#define BITBLTBUF 0x50
#define TRXPOS 0x51
#define TRXREG 0x52
#define TRXDIR 0x53

typedef unsigned long long u64;

static u64 packet[2 * 128] __attribute__((aligned(16)));
static unsigned quadwords;

/* Results for the test: the 8 x 2 pixels at (8, 8), the 4 x 4 textured
   ones at (16, 40) and the 8 at (24, 40) on the triangle's top edge
   through DMA, the 4 x 1 at (40, 8) through the FIFO, and VIF1 STAT and
   BUSDIR afterwards. */
unsigned dmaPixels[16] __attribute__((aligned(16)));
unsigned texturePixels[16] __attribute__((aligned(16)));
unsigned trianglePixels[8] __attribute__((aligned(16)));
/* The 4 x 4 texture at block 64, texel (u, v) = 0x80000000 | v << 16 | u << 8 | 0x11 * (u + v). */
unsigned texels[16] __attribute__((aligned(16)));
unsigned fifoPixels[4] __attribute__((aligned(16)));
unsigned restored[2];

static void ad(unsigned reg, u64 value) {
    packet[2 * quadwords] = value;
    packet[2 * quadwords + 1] = reg;
    quadwords++;
}

static u64 colour(unsigned r, unsigned g, unsigned b, unsigned a) { return r | (g << 8) | (b << 16) | ((u64)a << 24); }

static void sprite(unsigned x0, unsigned x1, u64 rgba, int blended) {
    ad(PRIM, 6 | (blended ? 0x40 : 0));
    ad(RGBAQ, rgba);
    ad(XYZ2, (x0 * 16) | ((u64)(0 * 16) << 16));
    ad(XYZ2, (x1 * 16) | ((u64)(32 * 16) << 16));
}

static void sendPacket(void) {
    /* One A+D tag in front of the quadwords. */
    u64 *tag = packet;
    tag[0] = (quadwords - 1) | (1u << 15) | ((u64)1 << 60);
    tag[1] = 0xE;
    GIF_MADR = (unsigned)packet;
    GIF_QWC = quadwords;
    GIF_CHCR = 0x101;
}

static void sendImage(const unsigned *words, unsigned count) {
    u64 *tag = packet;
    tag[0] = (count / 4) | (1u << 15) | ((u64)2 << 58);
    tag[1] = 0;
    for (unsigned i = 0; i < count; ++i) ((unsigned *)packet)[4 + i] = words[i];
    GIF_MADR = (unsigned)packet;
    GIF_QWC = 1 + count / 4;
    GIF_CHCR = 0x101;
}

static void readBack(unsigned x, unsigned y, unsigned w, unsigned h) {
    quadwords = 1;
    ad(BITBLTBUF, 0 | (1u << 16) | (0u << 24));
    ad(TRXPOS, x | ((u64)y << 16));
    ad(TRXREG, w | ((u64)h << 32));
    ad(TRXDIR, 1);
    sendPacket();
}

int main(void) {
    for (int i = 0; i < 16; ++i) dmaPixels[i] = texturePixels[i] = 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) fifoPixels[i] = 0xFFFFFFFFu;
    quadwords = 1;
    ad(FRAME_1, 0 | (1u << 16));
    ad(SCISSOR_1, 0 | ((u64)63 << 16) | ((u64)0 << 32) | ((u64)63 << 48));
    ad(XYOFFSET_1, 0);
    ad(TEST_1, 0);
    ad(PRMODECONT, 1);
    ad(COLCLAMP, 1);
    sprite(0, 64, colour(100, 150, 200, 0x40), 0);
    /* (Cs - Cd) * As >> 7 + Cd */
    ad(ALPHA_1, 0 | (1 << 2) | (0 << 4) | (1 << 6));
    sprite(8, 12, colour(200, 50, 120, 0x60), 1);
    /* (Cs - 0) * FIX >> 7 + Cd with FIX 0x30 */
    ad(ALPHA_1, 0 | (2 << 2) | (2 << 4) | (1 << 6) | ((u64)0x30 << 32));
    sprite(12, 16, colour(200, 50, 120, 0x60), 1);
    /* (Cd - Cs) * FIX >> 7 + Cs with FIX 0xA0 */
    ad(ALPHA_1, 1 | (0 << 2) | (2 << 4) | (0 << 6) | ((u64)0xA0 << 32));
    sprite(40, 44, colour(10, 240, 60, 0x20), 1);
    sendPacket();

    for (unsigned v = 0; v < 4; ++v)
        for (unsigned u = 0; u < 4; ++u) texels[v * 4 + u] = 0x80000000u | (v << 16) | (u << 8) | (0x11 * (u + v));
    quadwords = 1;
    ad(BITBLTBUF, (u64)64 << 32 | (u64)1 << 48);
    ad(TRXPOS, 0);
    ad(TRXREG, 4 | ((u64)4 << 32));
    ad(TRXDIR, 0);
    sendPacket();
    sendImage(texels, 16);

    quadwords = 1;
    /* DECAL with the texture's alpha, 4 x 4 texels at 1:1. */
    ad(TEX0_1, 64 | (1u << 14) | (0u << 20) | (2u << 26) | ((u64)2 << 30) | ((u64)1 << 34) | ((u64)1 << 35));
    ad(PRIM, 6 | 0x10 | 0x100);
    ad(UV, 0);
    ad(XYZ2, (16 * 16) | ((u64)(40 * 16) << 16));
    ad(UV, (4 * 16) | ((4 * 16) << 16));
    ad(XYZ2, (20 * 16) | ((u64)(44 * 16) << 16));
    /* Gouraud: red, green, blue corners. */
    ad(PRIM, 3 | 0x8);
    ad(RGBAQ, colour(255, 0, 0, 0x80));
    ad(XYZ2, (24 * 16) | ((u64)(40 * 16) << 16));
    ad(RGBAQ, colour(0, 255, 0, 0x80));
    ad(XYZ2, (32 * 16) | ((u64)(40 * 16) << 16));
    ad(RGBAQ, colour(0, 0, 255, 0x80));
    ad(XYZ2, (24 * 16) | ((u64)(48 * 16) << 16));
    sendPacket();

    GS_BUSDIR = 1;
    VIF1_STAT = VIF1_STAT_FDR;
    readBack(8, 8, 8, 2);
    VIF1_MADR = (unsigned)dmaPixels;
    VIF1_QWC = 4;
    VIF1_CHCR = 0x100;
    readBack(16, 40, 4, 4);
    VIF1_MADR = (unsigned)texturePixels;
    VIF1_QWC = 4;
    VIF1_CHCR = 0x100;
    readBack(24, 40, 8, 1);
    VIF1_MADR = (unsigned)trianglePixels;
    VIF1_QWC = 2;
    VIF1_CHCR = 0x100;

    readBack(40, 8, 4, 1);
    __asm__ volatile("lq $8, 0(%1)\n\tsq $8, 0(%0)" : : "r"(fifoPixels), "r"(0x10005000u) : "$8", "memory");

    VIF1_STAT = 0;
    GS_BUSDIR = 0;
    restored[0] = VIF1_STAT;
    restored[1] = (unsigned)GS_BUSDIR;
    return 0;
}
