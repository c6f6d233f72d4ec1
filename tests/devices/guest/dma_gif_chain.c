/* Starts the GIF channel from guest code with the one CHCR store the test
   asks for: a 32-bit sw of `chcr`, or a 64-bit sd of `chcr` with 0x5A in
   the upper word. The test has set up the chain and the other registers;
   the channel's registers afterwards go to `results`. */

#define GIF(offset) (*(volatile unsigned *)(0x1000A000u + (offset)))

/* Set by the test after loading; in .data, as start-up clears .bss. */
volatile unsigned chcr = 0xFFFFFFFF;
volatile unsigned doubleword = 0xFFFFFFFF;
volatile unsigned results[4];

int main(void) {
    if (doubleword) {
        __asm__ volatile(".set push\n\t.set gp=64\n\t"
                         "li $8, 0x5A\n\tdsll32 $8, $8, 0\n\tor $8, $8, %0\n\tsd $8, 0(%1)\n\t.set pop"
                         :
                         : "r"(chcr), "r"(&GIF(0))
                         : "$8", "memory");
    } else {
        GIF(0) = chcr;
    }
    results[0] = GIF(0x00); /* CHCR */
    results[1] = GIF(0x04); /* its upper word */
    results[2] = GIF(0x40); /* ASR0 */
    results[3] = GIF(0x50); /* ASR1 */
    return 0;
}
