#include "pad.h"

#include "sif.h"

static struct SifRpcClient clients[2];
static int bound[2];

static struct SifRpcClient *clientFor(unsigned server) {
    const unsigned index = server == PAD_SERVER_FIRST ? 0 : 1;
    if (!bound[index]) {
        if (sifInitClient(&clients[index]) != 0 || sifBindRpc(&clients[index], server) != 0) return 0;
        bound[index] = 1;
    }
    return &clients[index];
}

int padCall(unsigned server, const unsigned request[8], unsigned reply[8]) {
    struct SifRpcClient *client = clientFor(server);
    if (client == 0) return -1;
    return sifCallRpcSized(client, 1, request, 8 * sizeof request[0], reply, 8 * sizeof reply[0]);
}

int padCommand(unsigned server, unsigned command, unsigned port, void *area, unsigned reply[8], unsigned marker) {
    const unsigned request[8] = {command, port, 0, 0, (unsigned)area, 0, 0, 0};
    for (unsigned i = 0; i < 8; ++i) reply[i] = marker;
    return padCall(server, request, reply);
}

unsigned padOpen(unsigned server, unsigned port, void *area) {
    unsigned reply[8];
    const unsigned openCommand = server == PAD_SERVER_FIRST ? 1 : 0;
    if (padCommand(server, openCommand, port, area, reply, 0) != 0) return 0;
    return reply[3];
}

unsigned padButtons(unsigned server, const void *area) {
    const volatile unsigned char *status = (const unsigned char *)area + (server == PAD_SERVER_FIRST ? 0 : 8);
    return status[2] | (unsigned)status[3] << 8;
}
