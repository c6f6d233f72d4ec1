/* Builds DMA chains for the GIF channel and starts them. The test picks a
   scenario before the run; after the start the channel's registers go to
   `results`. Every quadword of the chain area, of refData and of head first
   holds its own address in all four words, so the data a transfer sends
   shows where it came from.

   The main chain (quadword indices into `chain`):
      0 cnt  1            data 1
      2 next 1 -> 8       data 3
      8 ref  2 -> refData
      9 refs 1 -> refData + 4 quadwords
     10 call 1 -> 20      data 11, returns to 12
     12 end  1            data 13
     20 call 0 -> 24      returns to 21
     21 ret  0            returns to 12
     24 ret  1            data 25, returns to 21
   A refe at 30, and for the 64-bit start a shallow chain at 40:
     30 refe 3 -> refData
     40 call 1 -> 50      data 41, returns to 42
     50 call 0 -> 52      returns to 51
     51 end  1            data 52 ... the ret's own quadword
     52 ret  0                                                              */

#define HW(offset) (*(volatile unsigned *)(0x10000000u + (offset)))
#define GIF_CHCR 0xA000
#define GIF_MADR 0xA010
#define GIF_QWC 0xA020
#define GIF_TADR 0xA030
#define GIF_ASR0 0xA040
#define GIF_ASR1 0xA050
#define VIF1_CHCR 0x9000
#define D_STAT 0xE010

enum { REFE, CNT, NEXT, REF, REFS, CALL, RET, END };

enum {
    EVERY_TAG_32 = 0,         /* sw of CHCR: STR, TIE, chain mode */
    EVERY_TAG_32_HALVES = 1,  /* the same with VIF1 CHCR bit 5 set */
    SHALLOW_64 = 2,           /* sd of CHCR, VIF1 CHCR bit 5 set */
    REFE_AFTER_EMPTY = 3      /* a normal start with QWC 0, then a refe chain */
};

/* Set by the test after loading; in .data, as start-up clears .bss. */
volatile unsigned scenario = 0xFFFFFFFF;
unsigned chain[64 * 4] __attribute__((aligned(16)));
unsigned refData[8 * 4] __attribute__((aligned(16)));
unsigned head[2 * 4] __attribute__((aligned(16)));
volatile unsigned results[8];

static void fillOwnAddress(unsigned *words, unsigned quadwords) {
    for (unsigned q = 0; q < quadwords; ++q)
        for (unsigned w = 0; w < 4; ++w) words[4 * q + w] = (unsigned)&words[4 * q];
}

static unsigned quadword(unsigned index) { return (unsigned)&chain[4 * index]; }

/* The low 64 bits of a tag; its upper half keeps the fill. */
static void tag(unsigned index, unsigned id, unsigned qwc, unsigned addr) {
    chain[4 * index] = (id << 28) | qwc;
    chain[4 * index + 1] = addr;
}

static void store64(unsigned low, unsigned high, unsigned address) {
    __asm__ volatile(
        ".set push\n\t.set gp=64\n\t"
        "dsll32 $8, %1, 0\n\t"
        "dsll32 $9, %0, 0\n\t"
        "dsrl32 $9, $9, 0\n\t"
        "or $8, $8, $9\n\t"
        "sd $8, 0(%2)\n\t"
        ".set pop"
        :
        : "r"(low), "r"(high), "r"(address)
        : "$8", "$9", "memory");
}

int main(void) {
    fillOwnAddress(chain, 64);
    fillOwnAddress(refData, 8);
    fillOwnAddress(head, 2);
    tag(0, CNT, 1, 0);
    tag(2, NEXT, 1, quadword(8));
    tag(8, REF, 2, (unsigned)refData);
    tag(9, REFS, 1, (unsigned)&refData[4 * 4]);
    tag(10, CALL, 1, quadword(20));
    tag(12, END, 1, 0x00ABCDE0);
    tag(20, CALL, 0, quadword(24));
    tag(21, RET, 0, 0);
    tag(24, RET, 1, 0);
    tag(30, REFE, 3, (unsigned)refData);
    tag(40, CALL, 1, quadword(50));
    tag(50, CALL, 0, quadword(52));
    tag(51, END, 1, 0x00FEDCB0);
    tag(52, RET, 0, 0);

    switch (scenario) {
    case EVERY_TAG_32:
    case EVERY_TAG_32_HALVES:
        if (scenario == EVERY_TAG_32_HALVES) HW(VIF1_CHCR) = 0x20;
        HW(GIF_MADR) = (unsigned)head;
        HW(GIF_QWC) = 1;
        HW(GIF_TADR) = quadword(0);
        HW(GIF_CHCR) = 0x184;
        break;
    case SHALLOW_64:
        HW(VIF1_CHCR) = 0x20;
        HW(GIF_TADR) = quadword(40);
        store64(0x184, 0x5A, 0x10000000u + GIF_CHCR);
        break;
    case REFE_AFTER_EMPTY:
        HW(GIF_MADR) = (unsigned)head;
        HW(GIF_CHCR) = 0x100;
        HW(GIF_TADR) = quadword(30);
        HW(GIF_CHCR) = 0x104;
        break;
    }

    results[0] = HW(GIF_CHCR);
    results[1] = HW(GIF_CHCR + 4);
    results[2] = HW(GIF_QWC);
    results[3] = HW(GIF_MADR);
    results[4] = HW(GIF_ASR0);
    results[5] = HW(GIF_ASR1);
    results[6] = HW(D_STAT);
    return 0;
}
