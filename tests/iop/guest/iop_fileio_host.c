/* Host files through the file service: reads, seeks and the alignment
   record, a created file, the standard streams, refused flags and devices,
   the host handle limit, and paths that try to leave the host root. */
#include "fileio.h"

unsigned results[48];
unsigned char firstBytes[16];
unsigned char afterSeek[4];
unsigned char unaligned[48] __attribute__((aligned(16)));
unsigned char padBefore[16];  /* keeps the read's neighbours in .bss too */

int main(void) {
    int handles[32];
    const int data = fioOpen("host0:data.bin", FIO_READ);
    results[0] = data;
    results[1] = fioRead(data, firstBytes, 10);
    results[2] = fioSeek(data, 4, FIO_SEEK_SET);
    results[3] = fioRead(data, afterSeek, 4);
    results[4] = fioSeek(data, -2, FIO_SEEK_END);
    results[5] = fioSeek(data, 0, FIO_SEEK_CUR);
    results[6] = fioSeek(data, 0, 7);
    results[7] = fioSeek(data, 0, FIO_SEEK_SET);
    results[8] = fioRead(data, unaligned + 8, 20); /* head 8, tail 12 */

    const int out = fioOpen("host:out.txt", FIO_WRITE | FIO_CREATE | FIO_TRUNCATE);
    results[9] = out;
    results[10] = fioWrite(out, "written", 7);
    results[11] = fioClose(out);
    results[12] = fioClose(out);

    results[13] = fioWrite(1, "to tty", 6);
    results[14] = fioWrite(2, "x", 1);
    results[15] = fioWrite(0, "x", 1);
    results[16] = fioClose(0);
    results[17] = fioClose(1);
    results[18] = fioClose(2);

    results[19] = fioOpen("host:data.bin", 0x10);   /* outside 0x3FEF */
    results[20] = fioOpen("host:data.bin", 0x4001);
    results[21] = fioOpen("tape:data.bin", FIO_READ);
    results[22] = fioOpen("host:missing.bin", FIO_READ);
    results[23] = fioOpen("host:../outside.txt", FIO_READ);
    results[24] = fioOpen("host:/etc/passwd", FIO_READ);
    results[25] = fioOpen("host:link/outside.txt", FIO_READ);
    results[26] = fioOpen("host:escape", FIO_READ);
    results[27] = fioOpen("host:../made.txt", FIO_WRITE | FIO_CREATE);
    results[28] = fioOpen("mc0:sub\\inner.txt", FIO_READ);
    results[29] = fioClose(results[28]);

    /* Handle 3 is still open: 28 more fit, the next is refused. */
    unsigned opened = 0;
    for (unsigned i = 0; i < 29; ++i) {
        handles[i] = fioOpen("host:data.bin", FIO_READ);
        if (handles[i] >= 4 && handles[i] <= 31) ++opened;
    }
    results[30] = opened;
    results[31] = handles[28];
    for (unsigned i = 0; i < 28; ++i) fioClose(handles[i]);
    results[32] = fioClose(data);
    results[33] = fioOpen("rom0:data.bin", FIO_READ);
    results[34] = fioClose(results[33]);

    /* Links that lead nowhere yet: a create follows them to their target. */
    results[35] = fioOpen("host:dangling", FIO_WRITE | FIO_CREATE);
    results[36] = fioOpen("host:inward", FIO_WRITE | FIO_CREATE);
    results[37] = fioWrite(results[36], "made", 4);
    results[38] = fioClose(results[36]);
    results[39] = fioOpen("host:loop", FIO_WRITE | FIO_CREATE);

    /* A failed read leaves the last alignment record as it was. */
    results[40] = fioRead(99, unaligned + 8, 0x80000000u);
    return 0;
}
