/* Runs the RPC calls the test writes into `calls`: for each, binds one
   client to the call's server, calls the function with the call's send
   buffer, and records the receive word (preset to a marker, so a call
   left unanswered shows) and whether both requests were signalled. */
#include "sif.h"

#define MAX_CALLS 32
#define RECEIVE_MARKER 0xA5A5A5A5u

struct RpcCase {
    unsigned server;
    unsigned function;
    unsigned sendSize;
    unsigned send[80];
};

/* Initialised, so that the table sits in .data and survives crt0's .bss
   clear after the test has written it. */
struct RpcCase calls[MAX_CALLS] = {{1, 0, 0, {0}}};
unsigned callCount = 1;
unsigned answers[MAX_CALLS];
unsigned signalled[MAX_CALLS];

int main(void) {
    struct SifRpcClient client;
    if (sifInitClient(&client) != 0) return -1;
    for (unsigned i = 0; i < callCount && i < MAX_CALLS; ++i) {
        unsigned receive = RECEIVE_MARKER;
        const int bound = sifBindRpc(&client, calls[i].server);
        const int called = sifCallRpc(&client, calls[i].function, calls[i].send, calls[i].sendSize, &receive);
        answers[i] = receive;
        signalled[i] = bound == 0 && called == 0;
    }
    return 0;
}
