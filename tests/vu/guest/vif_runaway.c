/* Two single stores that would hold the host for minutes: a VIF1 chain
   whose NEXT tag points at itself with 0xFFFF quadwords, and a chain whose
   one tag carries 0xFFFF quadwords of MSCAL into a micro-program that never
   ends (micro memory holds no end bit). Each store is cut when it has spent
   its work budget, and the program goes on. */

#define VIF1_CHCR (*(volatile unsigned *)0x10009000u)
#define VIF1_TADR (*(volatile unsigned *)0x10009030u)

#define QUADWORDS 0xFFFF
#define MSCAL_0 0x14000000u

static unsigned selfLoop[4] __attribute__((aligned(16)));
static unsigned mscals[4 * (QUADWORDS + 1)] __attribute__((aligned(16)));
volatile unsigned stores;

static void startChain(unsigned *tag) {
    __asm__ volatile("" : : : "memory"); /* the chain is in memory before the start */
    VIF1_TADR = (unsigned)tag & 0x1FFFFFFFu;
    VIF1_CHCR = 0x105; /* start, chain mode, from memory */
    stores = stores + 1;
}

int main(void) {
    selfLoop[0] = 0x20000000u | QUADWORDS; /* NEXT */
    selfLoop[1] = (unsigned)selfLoop & 0x1FFFFFFFu;
    startChain(selfLoop);

    mscals[0] = 0x70000000u | QUADWORDS; /* END */
    for (unsigned i = 2; i < 4 * (QUADWORDS + 1); ++i) mscals[i] = MSCAL_0;
    startChain(mscals);
    return 0;
}
