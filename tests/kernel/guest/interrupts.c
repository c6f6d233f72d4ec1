/* Handler slots, and masking and unmasking causes and channels in
   INTC_MASK and D_STAT. */
#include "kernel.h"

#define INTC_MASK (*(volatile unsigned *)0x1000F010)
#define D_STAT (*(volatile unsigned *)0x1000E010)

unsigned results[64];

int handlerA(int cause) { return cause; }
int handlerB(int cause) { return cause + 1; }

int main(void) {
    results[0] = AddIntcHandler(2, handlerA, 0);
    results[1] = AddIntcHandler(2, handlerB, 0);
    results[2] = AddIntcHandler(5, handlerA, 0);
    results[3] = RemoveIntcHandler(5, 0);
    results[4] = AddDmacHandler(9, handlerB, 0);
    results[5] = AddDmacHandler(3, handlerA, 0);
    results[6] = RemoveDmacHandler(3, 0);
    results[7] = AddIntcHandler(10, handlerA, 0);
    results[8] = AddDmacHandler(-1, handlerA, 0);
    results[9] = RemoveIntcHandler(12, 0);
    results[10] = RemoveDmacHandler(-3, 0);

    results[11] = _EnableIntc(3);
    results[12] = INTC_MASK;
    results[13] = _EnableIntc(3);
    results[14] = INTC_MASK;
    results[15] = _DisableIntc(3);
    results[16] = INTC_MASK;
    results[17] = _DisableIntc(3);
    results[18] = _EnableIntc(40);
    results[19] = _DisableIntc(-1);
    results[20] = INTC_MASK;

    results[21] = _EnableDmac(2);
    results[22] = D_STAT;
    results[23] = _EnableDmac(2);
    results[24] = _DisableDmac(2);
    results[25] = D_STAT;
    results[26] = _DisableDmac(2);
    results[27] = EnableDmacHandler(4);
    results[28] = D_STAT;
    results[29] = EnableDmacHandler(4);
    results[30] = DisableDmacHandler(4);
    results[31] = DisableDmacHandler(4);
    results[32] = _EnableDmac(20);
    results[33] = EnableDmacHandler(16);
    results[34] = D_STAT;
    return 0;
}
