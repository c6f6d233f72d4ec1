/* SIF command-flag registers, the Deci2 channel and the CRT set-up's memory bytes. */
#include "kernel.h"

unsigned results[32];

/* Guest request records: the kernel marks one done through the address
   held in its word 7 (offset 0x1C). */
unsigned requests[3][8];
volatile unsigned doneFlags[3];
volatile unsigned deci2Buffer[4] = {1, 2, 3, 4};
unsigned deci2Block[3];

#define RAM_CRT_BYTE(offset) (*(volatile unsigned char *)(0x8002F344 + (offset)))

int main(void) {
    static const unsigned flagRegisters[3] = {0x80000001, 0x08000001, 0x12};
    for (int i = 0; i < 3; ++i) {
        requests[i][7] = (unsigned)&doneFlags[i];
        sceSifSetReg(flagRegisters[i], (unsigned)&requests[i]);
        results[i] = doneFlags[i];
    }

    deci2Block[1] = (unsigned)deci2Buffer;
    deci2Block[2] = 0x5555;
    results[3] = Deci2Call(1, deci2Block);
    results[4] = Deci2Call(3, 0);
    results[5] = deci2Buffer[3];
    results[6] = deci2Buffer[2];
    static const int answeredCalls[4] = {-6, 2, 4, 16};
    for (int i = 0; i < 4; ++i) results[7 + i] = Deci2Call(answeredCalls[i], 0);

    RAM_CRT_BYTE(0) = 0xAB;
    RAM_CRT_BYTE(1) = 0xCD;
    SetGsCrt(1, 2, 0);
    results[11] = RAM_CRT_BYTE(0);
    results[12] = RAM_CRT_BYTE(1);
    results[13] = *(volatile unsigned *)0x1FC01470;
    return 0;
}
