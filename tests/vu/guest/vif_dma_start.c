/* Starts the VIF1 channel with the one CHCR store the test asks for; the
   test has written the chain and TADR. */

#define VIF1_CHCR (*(volatile unsigned *)0x10009000u)

/* Set by the test after loading; in .data, as start-up clears .bss. */
volatile unsigned chcr = 0xFFFFFFFF;

int main(void) {
    VIF1_CHCR = chcr;
    return 0;
}
