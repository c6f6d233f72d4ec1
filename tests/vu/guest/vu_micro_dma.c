/* Sends VU1 a micro-program and a vertex over one VIF1 DMA chain, then
   starts it with MSCAL. The program loads the vertex, multiplies it by I =
   2.0, converts it to 12.4 fixed point, stores it after the vertex and
   XGKICKs the GIF packet at data quadword 0: the tag, the vertex, the
   result. */

#define VIF1_CHCR (*(volatile unsigned *)0x10009000u)
#define VIF1_TADR (*(volatile unsigned *)0x10009030u)

static unsigned chain[28] __attribute__((aligned(16))) = {
    /* DMA tag: END, 6 quadwords; its upper half: NOP, MPG 7 pairs at 0. */
    0x70000006, 0, 0x00000000, 0x4A070000,
    0x40000000, 0x8000002B, /* I = 2.0 (I bit) */
    0x01E10001, 0x0000002B, /* LQ VF1, 1(VI0) */
    0x10000000, 0x01E0089E, /* MULi VF2, VF1, I */
    0x10000000, 0x01E3117D, /* FTOI4 VF3, VF2 */
    0x03E01802, 0x0000002B, /* SQ VF3, 2(VI0) */
    0x800006FC, 0x4000002B, /* XGKICK VI0, end bit */
    0x10000000, 0x0000002B, /* the pair after the end bit */
    /* UNPACK V4-32, 2 vectors at 0: GIF tag (NLOOP 2, EOP, PACKED, one
       register), the vertex (1.5, -2.25, 100.0, 1.0). */
    0x6C020000, 0x00008002, 0x10000000, 0x5, 0,
    0x3FC00000, 0xC0100000, 0x42C80000, 0x3F800000,
    0x14000000, /* MSCAL 0 */
};

int main(void) {
    VIF1_TADR = (unsigned)chain & 0x1FFFFFFFu;
    VIF1_CHCR = 0x105; /* start, chain mode, from memory */
    return 0;
}
