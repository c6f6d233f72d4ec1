/* The disc services from the guest: the sector reads of `reads` (each into
   its own buffer, prefilled with 0xEE so that bytes past the read show),
   the file searches of `paths`, then the disc type around two media type
   changes and the tray requests 0, 2, 2. The request tables sit in .data
   so the test can rewrite them before the run. */
#include "cdvd.h"

#define MAX_READS 5
#define READ_BUFFER_BYTES (2 * 2340 + 16)
#define MAX_SEARCHES 6

struct ReadRequest {
    unsigned first;
    unsigned count;
    unsigned mode;
    unsigned withEnd;
};

struct ReadRequest reads[MAX_READS] = {{1, 2, CDVD_MODE_USER, 0}};
unsigned readCount = 1;
char paths[MAX_SEARCHES][64] = {"\\SYSTEM.CNF;1"};
unsigned searchCount = 1;

int prepared;
int readAnswers[MAX_READS];
unsigned readEnds[MAX_READS];
unsigned char readBuffers[MAX_READS][READ_BUFFER_BYTES];
int searchAnswers[MAX_SEARCHES];
struct CdvdFileRecord records[MAX_SEARCHES];
int discTypes[3];
unsigned trayReports[2];

int main(void) {
    prepared = cdvdPrepare();
    for (unsigned i = 0; i < readCount && i < MAX_READS; ++i) {
        volatile unsigned char *buffer = readBuffers[i];
        for (unsigned b = 0; b < READ_BUFFER_BYTES; ++b) buffer[b] = 0xEE;
        readEnds[i] = 0xEEEEEEEEu;
        readAnswers[i] = cdvdReadSectors(reads[i].first, reads[i].count, readBuffers[i], reads[i].mode,
                                         reads[i].withEnd ? &readEnds[i] : 0);
    }
    for (unsigned i = 0; i < searchCount && i < MAX_SEARCHES; ++i) searchAnswers[i] = cdvdSearchFile(paths[i], &records[i]);
    discTypes[0] = cdvdDiscType();
    cdvdSetMediaType(2);
    discTypes[1] = cdvdDiscType();
    cdvdSetMediaType(1);
    discTypes[2] = cdvdDiscType();
    cdvdTrayRequest(0);
    trayReports[0] = cdvdTrayRequest(2);
    trayReports[1] = cdvdTrayRequest(2);
    return 0;
}
