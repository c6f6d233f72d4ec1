#include "sif.h"

#include "kernel.h"

/* Zero fill word by word; the volatile store keeps the compiler from
   turning the loop into a memset call, which this runtime does not have. */
static void clearWords(void *block, unsigned bytes) {
    volatile unsigned *word = block;
    for (unsigned i = 0; i < bytes / 4; ++i) word[i] = 0;
}

/* The answered request has left one count on the semaphore. */
static int takeAnswer(struct SifRpcClient *client) { return PollSema(client->sema) == client->sema ? 0 : -1; }

int sifInitClient(struct SifRpcClient *client) {
    struct SemaParam param = {0, 1, 0, 0, 0, 0};
    client->request = &client->requestBlock;
    client->server = 0;
    client->sema = CreateSema(&param);
    return client->sema < 0 ? -1 : 0;
}

int sifBindRpc(struct SifRpcClient *client, unsigned server) {
    struct SifRpcCallPacket packet;
    struct SifDmaTransfer transfer = {&packet, 0, sizeof packet, SIF_DMA_COMMAND};
    clearWords(&packet, sizeof packet);
    packet.command = SIF_CMD_RPC_BIND;
    packet.client = client;
    packet.functionOrServer = server;
    sceSifSetDma(&transfer, 1);
    return takeAnswer(client);
}

int sifCallRpc(struct SifRpcClient *client, unsigned function, const void *send, unsigned sendSize,
               void *receive) {
    return sifCallRpcSized(client, function, send, sendSize, receive, 4);
}

int sifCallRpcSized(struct SifRpcClient *client, unsigned function, const void *send, unsigned sendSize,
                    void *receive, unsigned receiveSize) {
    struct SifRpcCallPacket packet;
    struct SifDmaTransfer transfers[2] = {{send, 0, sendSize, SIF_DMA_DATA}, {&packet, 0, sizeof packet, SIF_DMA_COMMAND}};
    clearWords(&packet, sizeof packet);
    packet.command = SIF_CMD_RPC_CALL;
    packet.client = client;
    packet.functionOrServer = function;
    packet.sendSize = sendSize;
    packet.receive = receive;
    packet.receiveSize = receiveSize;
    packet.server = client->server;
    client->request->flags |= 1;
    sceSifSetDma(transfers, 2);
    return takeAnswer(client);
}

int sifReadRemoteData(struct SifRpcClient *client, unsigned iopAddress, void *destination, unsigned size) {
    struct SifRemoteDataPacket packet;
    struct SifDmaTransfer transfer = {&packet, 0, sizeof packet, SIF_DMA_COMMAND};
    clearWords(&packet, sizeof packet);
    packet.command = SIF_CMD_REMOTE_DATA_READ;
    packet.client = client;
    packet.iopAddress = iopAddress;
    packet.destination = destination;
    packet.size = size;
    client->request->flags |= 1;
    sceSifSetDma(&transfer, 1);
    return takeAnswer(client);
}

void sifResetIop(const char *arguments) {
    struct SifRpcPacket packet;
    struct SifDmaTransfer transfer = {&packet, 0, sizeof packet, SIF_DMA_COMMAND};
    clearWords(&packet, sizeof packet);
    packet.command = SIF_CMD_IOP_RESET;
    for (unsigned i = 0; i + 1 < sizeof packet.resetArguments && arguments[i] != '\0'; ++i) {
        packet.resetArguments[i] = arguments[i];
    }
    sceSifSetDma(&transfer, 1);
}

/* The memory service's client, bound on first use. */
static struct SifRpcClient memoryClient;
static int memoryClientBound;

static int bindMemoryService(void) {
    if (!memoryClientBound) {
        if (sifInitClient(&memoryClient) != 0 || sifBindRpc(&memoryClient, SIF_SERVER_IOP_MEMORY) != 0) return -1;
        memoryClientBound = 1;
    }
    return 0;
}

static unsigned callMemoryService(unsigned function, const void *send, unsigned sendSize, unsigned failure) {
    unsigned answer = failure;
    if (bindMemoryService() != 0) return failure;
    if (sifCallRpc(&memoryClient, function, send, sendSize, &answer) != 0) return failure;
    return answer;
}

unsigned iopAlloc(unsigned size) { return callMemoryService(1, &size, sizeof size, 0); }

int iopFree(unsigned address) { return (int)callMemoryService(2, &address, sizeof address, (unsigned)-1); }

int iopLoadFile(unsigned destination, const char *name) {
    struct {
        unsigned destination;
        char name[252];
    } request;
    clearWords(&request, sizeof request);
    request.destination = destination;
    for (unsigned i = 0; i + 1 < sizeof request.name && name[i] != '\0'; ++i) request.name[i] = name[i];
    return (int)callMemoryService(3, &request, sizeof request, (unsigned)-1);
}

/* The module loader's request: the path at byte 8, the argument text at
   byte 267; the reply is the module id and the module's own answer. */
static struct SifRpcClient loaderClient;
static int loaderClientBound;

int sifLoadModule(const char *path, const char *arguments, int *result) {
    static struct {
        int reply[2];
        char path[259];
        char arguments[253];
    } request;
    if (!loaderClientBound) {
        if (sifInitClient(&loaderClient) != 0 || sifBindRpc(&loaderClient, SIF_SERVER_MODULE_LOADER) != 0) return -1;
        loaderClientBound = 1;
    }
    clearWords(&request, sizeof request);
    for (unsigned i = 0; i + 1 < sizeof request.path && path[i] != '\0'; ++i) request.path[i] = path[i];
    for (unsigned i = 0; i + 1 < sizeof request.arguments && arguments[i] != '\0'; ++i) {
        request.arguments[i] = arguments[i];
    }
    if (sifCallRpcSized(&loaderClient, 0, &request, sizeof request, request.reply, sizeof request.reply) != 0) return -1;
    if (result) *result = request.reply[1];
    return request.reply[0];
}
