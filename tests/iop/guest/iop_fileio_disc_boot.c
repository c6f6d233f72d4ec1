/* Booted from a disc: prints a file of its own disc and a host file to
   the console (descriptor 1) and returns 1 when both opened as expected. */
#include "fileio.h"

static char buffer[128];

static int printFile(const char *name) {
    const int handle = fioOpen(name, FIO_READ);
    const int count = fioRead(handle, buffer, sizeof buffer);
    if (count > 0) fioWrite(1, buffer, count);
    fioClose(handle);
    return handle;
}

int main(void) {
    fioPuts("disc: ");
    const int disc = printFile("cdrom0:\\DATA\\HELLO.TXT;1");
    fioPuts("host: ");
    const int host = printFile("host:greeting.txt");
    return disc == 0x40 && host == 3;
}
