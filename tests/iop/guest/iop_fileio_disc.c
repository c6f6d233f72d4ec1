/* Disc files and archive entries through the file service. */
#include "fileio.h"

unsigned results[32];
unsigned char discText[64];
unsigned char discTail[8];
unsigned char smallHead[16];
unsigned char smallMiddle[8];
unsigned char smallEnd[16];
unsigned char big[40000];

int main(void) {
    const int text = fioOpen("cdrom0:\\DATA\\TEXT.TXT;1", FIO_READ);
    results[0] = text;
    results[1] = fioRead(text, discText, 64);
    results[2] = fioSeek(text, -5, FIO_SEEK_END);
    results[3] = fioRead(text, discTail, 8);
    results[4] = fioWrite(text, "x", 1);
    results[5] = fioWrite(text, "x", 0);
    results[6] = fioClose(text);
    results[7] = fioOpen("cdfs:\\NOPE.TXT;1", FIO_READ);

    const int small = fioOpen("sjdata:small.bin", FIO_READ);
    const int large = fioOpen("sjdata:large.bin", FIO_READ);
    results[8] = small;
    results[9] = large;
    results[10] = fioOpen("sjdata:small", FIO_READ);  /* names match whole */
    results[11] = fioRead(small, smallHead, 10);
    results[12] = fioSeek(small, 20, FIO_SEEK_SET);
    results[13] = fioRead(small, smallMiddle, 5);      /* from pos 20 */
    results[14] = fioSeek(small, -3, FIO_SEEK_END);
    results[15] = fioRead(small, smallEnd, 16);        /* only 3 left */
    results[16] = fioRead(small, smallEnd + 8, 4);     /* at the end: 0 */
    results[17] = fioRead(large, big, sizeof big);     /* chunked */
    results[18] = fioWrite(small, "x", 1);
    results[19] = fioWrite(small, "x", 0);
    results[20] = fioSeek(small, 0, 5);
    results[21] = fioClose(small);
    results[22] = fioClose(large);
    results[23] = fioSeek(small, 0, FIO_SEEK_SET);     /* closed slot */
    results[24] = fioOpen("sjdata:large.bin", FIO_READ); /* reopens the archive */
    results[25] = fioSeek(results[24], 16383, FIO_SEEK_SET);
    results[26] = fioRead(results[24], big, 3);
    results[27] = fioClose(results[24]);
    return 0;
}
