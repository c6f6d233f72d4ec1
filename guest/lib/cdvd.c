#include "cdvd.h"

#include "sif.h"

#define DISC_SERVERS 6

static const unsigned serverIds[DISC_SERVERS] = {CDVD_SERVER_PREPARE, CDVD_SERVER_DRIVE, 0x80000596u,
                                                 CDVD_SERVER_READ,    CDVD_SERVER_SEARCH, CDVD_SERVER_READY};
static struct SifRpcClient clients[DISC_SERVERS];
static int bound[DISC_SERVERS];

static struct SifRpcClient *clientFor(unsigned server) {
    for (unsigned i = 0; i < DISC_SERVERS; ++i) {
        if (serverIds[i] != server) continue;
        if (!bound[i]) {
            if (sifInitClient(&clients[i]) != 0 || sifBindRpc(&clients[i], server) != 0) return 0;
            bound[i] = 1;
        }
        return &clients[i];
    }
    return 0;
}

unsigned cdvdCall(unsigned server, unsigned function, const void *send, unsigned sendSize, unsigned *reply,
                  unsigned failure) {
    struct SifRpcClient *client = clientFor(server);
    reply[0] = failure;
    if (client == 0 || sifCallRpc(client, function, send, sendSize, reply) != 0) return failure;
    return reply[0];
}

static unsigned callForWord(unsigned server, unsigned function, const void *send, unsigned sendSize) {
    unsigned reply[4];
    return cdvdCall(server, function, send, sendSize, reply, (unsigned)-1);
}

int cdvdPrepare(void) { return (int)callForWord(CDVD_SERVER_PREPARE, 0, 0, 0); }

int cdvdReadSectors(unsigned first, unsigned count, void *destination, unsigned mode, unsigned *end) {
    /* w0 first, w1 count, w2 destination, bytes 12-15 the mode record
       (the mode in its third byte), w5 where the end sector goes. */
    unsigned request[6] = {first, count, (unsigned)destination, (mode & 0xFFu) << 16, 0, (unsigned)end};
    return (int)callForWord(CDVD_SERVER_READ, end ? 13 : 1, request, sizeof request);
}

int cdvdSearchFile(const char *path, struct CdvdFileRecord *record) {
    /* The record comes back in the first 32 bytes; the path follows them. */
    unsigned char request[292] __attribute__((aligned(4)));
    volatile unsigned char *bytes = request;
    for (unsigned i = 0; i < sizeof request; ++i) bytes[i] = 0;
    for (unsigned i = 0; i + 33 < sizeof request && path[i] != '\0'; ++i) bytes[32 + i] = (unsigned char)path[i];
    const int found = (int)callForWord(CDVD_SERVER_SEARCH, 0, request, sizeof request);
    volatile unsigned char *out = (volatile unsigned char *)record;
    for (unsigned i = 0; i < sizeof *record; ++i) out[i] = bytes[i];
    return found;
}

int cdvdDiscType(void) { return (int)callForWord(CDVD_SERVER_DRIVE, 3, 0, 0); }

int cdvdSetMediaType(unsigned type) { return (int)callForWord(CDVD_SERVER_DRIVE, 34, &type, sizeof type); }

unsigned cdvdTrayRequest(unsigned request) {
    unsigned reply[4] = {0, 0, 0, 0};
    cdvdCall(CDVD_SERVER_DRIVE, 5, &request, sizeof request, reply, (unsigned)-1);
    return reply[1];
}
