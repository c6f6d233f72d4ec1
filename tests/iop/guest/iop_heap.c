/* The IOP heap through the memory service: the worked allocation
   sequence, refused frees, and two freed neighbours merging with the free
   rest of the heap. */
#include "sif.h"

unsigned results[16];

int main(void) {
    results[0] = iopAlloc(100);
    results[1] = iopAlloc(256);
    results[2] = iopFree(0x1600);
    results[3] = iopAlloc(50);
    results[4] = iopFree(0x1610);
    results[5] = iopFree(0x1500);
    results[6] = iopFree(0);
    results[7] = iopAlloc(0);
    results[8] = iopFree(0x1600);
    results[9] = iopFree(0x1600);  /* already free */
    results[10] = iopFree(0x1700);
    results[11] = iopAlloc(0x300);
    results[12] = iopAlloc(0x200001); /* larger than the heap */
    return 0;
}
