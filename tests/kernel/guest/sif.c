/* SIF registers, the Deci2 channel and the CRT set-up's memory bytes. */
#include "kernel.h"

unsigned results[32];

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

int main(void) {
    results[0] = sceSifGetReg(4);
    results[1] = sceSifGetReg(4);
    sceSifSetReg(4, 0xFFFFFFFF);
    results[2] = sceSifGetReg(4);
    results[3] = sceSifGetReg(0x80000000);
    results[4] = sceSifGetReg(0x80000002);
    results[5] = sceSifGetReg(0x08000000);
    results[6] = sceSifGetReg(7);

    for (int i = 0; i < 3; ++i) requests[i].doneFlag = &doneFlags[i];
    sceSifSetReg(0x80000001, (unsigned)&requests[0]);
    sceSifSetReg(0x08000001, (unsigned)&requests[1]);
    sceSifSetReg(0x12, (unsigned)&requests[2]);
    for (int i = 0; i < 3; ++i) results[7 + i] = doneFlags[i];

    deci2Block[1] = (unsigned)deci2Buffer;
    deci2Block[2] = 0x5555;
    results[10] = Deci2Call(1, deci2Block);
    results[11] = Deci2Call(3, 0);
    results[12] = deci2Buffer[3];
    results[13] = deci2Buffer[2];
    static const int answeredCalls[4] = {-6, 2, 4, 16};
    for (int i = 0; i < 4; ++i) results[14 + i] = Deci2Call(answeredCalls[i], 0);

    RAM_CRT_BYTE(0) = 0xAB;
    RAM_CRT_BYTE(1) = 0xCD;
    SetGsCrt(1, 2, 0);
    results[18] = RAM_CRT_BYTE(0);
    results[19] = RAM_CRT_BYTE(1);
    results[20] = *(volatile unsigned *)0x1FC01470;
    return 0;
}
