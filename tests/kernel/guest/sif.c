/* SIF registers, the Deci2 channel and the CRT set-up's memory bytes. */
#include "kernel.h"

unsigned results[64];

/* A guest request record: the kernel marks it done through the address
   held at offset 0x1C. */
struct Request {
    unsigned words[7];
    volatile unsigned *doneFlag;
};

volatile unsigned doneFlags[3];
struct Request requests[3];
volatile unsigned deci2Buffer[4] = {1, 2, 3, 4};
unsigned deci2Block[3];

#define RAM_CRT_BYTE(offset) (*(volatile unsigned char *)(0x8002F344 + (offset)))
#define ROM_CRT_WORD (*(volatile unsigned *)0x1FC01470)

int main(void) {
    results[0] = sceSifGetReg(4);
    results[1] = sceSifGetReg(4);
    sceSifSetReg(4, 0xFFFFFFFF);
    results[2] = sceSifGetReg(4);
    results[3] = sceSifGetReg(4);
    results[4] = sceSifGetReg(0x80000000);
    results[5] = sceSifGetReg(0x80000002);
    results[6] = sceSifGetReg(0x08000000);
    results[7] = sceSifGetReg(0x80000001);
    results[8] = sceSifGetReg(7);

    for (int i = 0; i < 3; ++i) requests[i].doneFlag = &doneFlags[i];
    sceSifSetReg(0x80000001, (unsigned)&requests[0]);
    sceSifSetReg(0x08000001, (unsigned)&requests[1]);
    sceSifSetReg(0x12, (unsigned)&requests[2]);
    results[9] = doneFlags[0];
    results[10] = doneFlags[1];
    results[11] = doneFlags[2];

    results[12] = sceSifDmaStat(0);
    results[13] = isceSifDmaStat(0);
    results[14] = sceSifSetDma(0, 0);

    deci2Block[1] = (unsigned)deci2Buffer;
    deci2Block[2] = 0x5555;
    results[15] = Deci2Call(1, deci2Block);
    results[16] = Deci2Call(3, 0);
    results[17] = deci2Buffer[3];
    results[18] = deci2Buffer[2];
    results[19] = Deci2Call(-6, 0);
    results[20] = Deci2Call(2, 0);
    results[21] = Deci2Call(4, 0);
    results[22] = Deci2Call(16, 0);

    RAM_CRT_BYTE(0) = 0xAB;
    RAM_CRT_BYTE(1) = 0xCD;
    SetGsCrt(1, 2, 0);
    results[23] = RAM_CRT_BYTE(0);
    results[24] = RAM_CRT_BYTE(1);
    results[25] = ROM_CRT_WORD;
    return 0;
}
