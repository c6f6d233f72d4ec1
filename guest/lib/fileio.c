#include "fileio.h"

#include "sif.h"

#define FIO_OPEN 0
#define FIO_CLOSE 1
#define FIO_READ_FUNCTION 2
#define FIO_WRITE_FUNCTION 3
#define FIO_SEEK 4
#define FIO_INIT 255
#define FIO_NAME_MAX 256

struct FioAlignment fioLastAlignment;

static struct SifRpcClient fileClient;
static int fileClientBound;
static unsigned serviceVersion;

/* Binds on first use and asks the version with an init call that stores no
   notification address (send size 0): the open request puts its name at
   byte 8 instead of 4 when the version is above "2100". */
static int bindFileService(void) {
    if (!fileClientBound) {
        unsigned unused = 0;
        if (sifInitClient(&fileClient) != 0 || sifBindRpc(&fileClient, SIF_SERVER_FILE_IO) != 0) return -1;
        if (sifCallRpc(&fileClient, FIO_INIT, &unused, 0, &serviceVersion) != 0) return -1;
        fileClientBound = 1;
    }
    return 0;
}

static int callFileService(unsigned function, const void *send, unsigned sendSize) {
    int answer = -1;
    if (bindFileService() != 0) return -1;
    if (sifCallRpc(&fileClient, function, send, sendSize, &answer) != 0) return -1;
    return answer;
}

/* "2100" read as a little-endian word holds its characters in order; the
   comparison is by character, so compare byte by byte from the first. */
static int versionAbove2100(void) {
    static const char reference[4] = {'2', '1', '0', '0'};
    for (unsigned i = 0; i < 4; ++i) {
        const char c = (char)(serviceVersion >> (8 * i));
        if (c != reference[i]) return c > reference[i];
    }
    return 0;
}

unsigned fioVersion(void) { return bindFileService() == 0 ? serviceVersion : 0; }

int fioOpen(const char *name, unsigned flags) {
    struct {
        unsigned flags;
        char name[FIO_NAME_MAX + 4];
    } request;
    volatile char *text;
    unsigned at;
    if (bindFileService() != 0) return -1;
    request.flags = flags;
    text = request.name;
    at = versionAbove2100() ? 4 : 0;
    for (unsigned i = 0; i < at; ++i) text[i] = 0;
    unsigned length = 0;
    for (; length + 1 < FIO_NAME_MAX && name[length] != '\0'; ++length) text[at + length] = name[length];
    text[at + length] = '\0';
    return callFileService(FIO_OPEN, &request, sizeof request);
}

int fioClose(int handle) { return callFileService(FIO_CLOSE, &handle, sizeof handle); }

int fioRead(int handle, void *buffer, unsigned size) {
    struct {
        int handle;
        void *buffer;
        unsigned size;
        struct FioAlignment *alignment;
    } request = {handle, buffer, size, &fioLastAlignment};
    return callFileService(FIO_READ_FUNCTION, &request, sizeof request);
}

int fioWrite(int handle, const void *buffer, unsigned size) {
    struct {
        int handle;
        const void *buffer;
        unsigned size;
    } request = {handle, buffer, size};
    return callFileService(FIO_WRITE_FUNCTION, &request, sizeof request);
}

int fioSeek(int handle, int offset, int origin) {
    struct {
        int handle;
        int offset;
        int origin;
    } request = {handle, offset, origin};
    return callFileService(FIO_SEEK, &request, sizeof request);
}

int fioPuts(const char *text) {
    unsigned length = 0;
    while (text[length] != '\0') ++length;
    return fioWrite(1, text, length);
}
