/* The guest side of SIF remote procedure calls to the IOP: binding a
   client to a server, calling its functions, resetting the IOP, and the
   IOP memory service. Every request goes out through sceSifSetDma as a
   command packet; the emulated kernel answers it inside the call, so a
   request is done when sceSifSetDma returns. */
#ifndef CORVANE_GUEST_SIF_H
#define CORVANE_GUEST_SIF_H

#define SIF_SERVER_FILE_IO 0x80000001u
#define SIF_SERVER_IOP_MEMORY 0x80000003u
#define SIF_SERVER_MODULE_LOADER 0x80000006u

/* One transfer descriptor of sceSifSetDma; the last one of a list carries
   the command packet, the one before it a call's send buffer. A command
   packet's attribute asks for an interrupt on the IOP (INT_O) and ends the
   list (ERT); plain data goes with attribute 0. */
struct SifDmaTransfer {
    const void *src;
    unsigned dest;
    unsigned size;
    unsigned attr;
};

#define SIF_DMA_DATA 0u
#define SIF_DMA_COMMAND 0x44u

#define SIF_CMD_IOP_RESET 0x80000003u
#define SIF_CMD_RPC_BIND 0x80000009u
#define SIF_CMD_RPC_CALL 0x8000000Au
#define SIF_CMD_REMOTE_DATA_READ 0x8000000Cu

/* The command packet, 64 bytes. */
struct SifRpcPacket {
    unsigned header[2];
    unsigned command;         /* 8 */
    unsigned reserved[3];
    char resetArguments[80];  /* 24: only for an IOP reset */
};

/* The call and bind fields overlay the reset string. */
struct SifRpcCallPacket {
    unsigned header[2];
    unsigned command;         /* 8 */
    unsigned reserved[4];
    struct SifRpcClient *client; /* 28 */
    unsigned functionOrServer;   /* 32: bind: the server; call: the function */
    unsigned sendSize;           /* 36 */
    void *receive;               /* 40 */
    unsigned receiveSize;        /* 44 */
    unsigned reserved2;
    unsigned server;             /* 52 */
    unsigned reserved3[2];
};

/* The remote data read: IOP memory copied to EE RAM. */
struct SifRemoteDataPacket {
    unsigned header[2];
    unsigned command;         /* 8 */
    unsigned reserved[4];
    struct SifRpcClient *client; /* 28: signalled when the data is there */
    unsigned iopAddress;         /* 32 */
    void *destination;           /* 36 */
    unsigned size;               /* 40 */
    unsigned reserved2[5];
};

/* The request block a client points to: bit 0 of `flags` is set while a
   call is outstanding and cleared when it has been answered. */
struct SifRpcRequest {
    unsigned reserved[4];
    unsigned char flags;      /* 16 */
    unsigned char reserved2[15];
};

struct SifRpcClient {
    struct SifRpcRequest *request; /* 0 */
    unsigned reserved;
    int sema;                      /* 8: signalled when a request is answered */
    unsigned reserved2[6];
    unsigned server;               /* 36: the bound server's id */
    struct SifRpcRequest requestBlock;
};

/* Sets up a client with its own semaphore; -1 when no semaphore is left. */
int sifInitClient(struct SifRpcClient *client);

/* Bind and call answer 0 when the kernel signalled the client's semaphore
   for this request, -1 when it did not. sifCallRpc's receive buffer is one
   word; sifCallRpcSized names its size. */
int sifBindRpc(struct SifRpcClient *client, unsigned server);
int sifCallRpc(struct SifRpcClient *client, unsigned function, const void *send, unsigned sendSize,
               void *receive);
int sifCallRpcSized(struct SifRpcClient *client, unsigned function, const void *send, unsigned sendSize,
                    void *receive, unsigned receiveSize);

/* Copies `size` bytes of IOP memory at `iopAddress` to `destination`;
   `client` is the receive-data record whose semaphore is signalled. 0 when
   signalled, -1 when not. */
int sifReadRemoteData(struct SifRpcClient *client, unsigned iopAddress, void *destination, unsigned size);

/* Loads an IOP module with the module loader: its module id (> 0), or 0 or
   less for a failure; *result gets the module's own start-up answer. */
int sifLoadModule(const char *path, const char *arguments, int *result);

/* Resets the IOP with the given argument string (at most 79 characters). */
void sifResetIop(const char *arguments);

/* The IOP memory service. */
unsigned iopAlloc(unsigned size);    /* an EE RAM address, 0 on failure */
int iopFree(unsigned address);       /* 0, or -1 */
int iopLoadFile(unsigned destination, const char *name); /* "host:path": 0, or -1 */

#endif
