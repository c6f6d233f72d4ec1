/* The SIF commands themselves: a bind records the server in the client,
   signals its semaphore exactly once and frees its request packet; a call to a server nobody answers
   still signals, clears the pending bit and is answered as a failure; IOP resets set the version the
   module loader reports. */
#include "kernel.h"
#include "sif.h"

unsigned results[16];

static unsigned versionAfterReset(struct SifRpcClient *loader, const char *arguments) {
    unsigned version = 0;
    sifResetIop(arguments);
    sifCallRpc(loader, 255, 0, 0, &version);
    return version;
}

int main(void) {
    struct SifRpcClient client, loader;
    if (sifInitClient(&client) != 0 || sifInitClient(&loader) != 0) return -1;

    client.requestBlock.flags = 0x81;
    results[0] = sifBindRpc(&client, 0x12345678);
    results[15] = client.requestBlock.flags;
    results[1] = client.server;
    results[2] = PollSema(client.sema); /* the bind left a count of one, now taken */

    unsigned receive = 0xDEADBEEF;
    unsigned send = 7;
    client.requestBlock.flags = 0xF0;
    results[3] = sifCallRpc(&client, 1, &send, sizeof send, &receive);
    results[4] = receive;
    results[5] = client.requestBlock.flags;

    /* A single-descriptor call has no send buffer: released, not answered. */
    static struct SifRpcCallPacket packet;
    struct SifDmaTransfer transfer = {&packet, 0, sizeof packet, SIF_DMA_COMMAND};
    sifBindRpc(&loader, SIF_SERVER_MODULE_LOADER);
    packet.command = SIF_CMD_RPC_CALL;
    packet.client = &loader;
    packet.functionOrServer = 1;
    packet.receive = &receive;
    packet.receiveSize = sizeof receive;
    packet.server = SIF_SERVER_MODULE_LOADER;
    receive = 0xDEADBEEF;
    results[6] = sceSifSetDma(&transfer, 1);
    results[7] = PollSema(loader.sema);
    results[8] = receive;

    sifCallRpc(&loader, 255, 0, 0, &results[9]);
    results[10] = versionAfterReset(&loader, "rom0:UDNL rom0:IOPRP16.IMG");
    results[11] = versionAfterReset(&loader, "rom0:UDNL cdrom0:\\IOPRP241.IMG;1");
    results[12] = versionAfterReset(&loader, "rom0:UDNL cdrom0:\\IOPRP16.IMG;1");
    results[13] = versionAfterReset(&loader, "IOPRP300.IMG cdrom0:\\MODULES");
    results[14] = versionAfterReset(&loader, "cdrom0:\\IOPRP2550.IMG");
    return 0;
}
