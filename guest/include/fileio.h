/* The guest side of the IOP file service: open, read, write, seek and
   close on host files ("host:path"), disc files ("cdrom0:\\PATH;1") and
   archive entries ("sjdata:NAME"). Each call is one RPC; results are the
   service's: a handle or byte count, or a negative error. */
#ifndef CORVANE_GUEST_FILEIO_H
#define CORVANE_GUEST_FILEIO_H

#define FIO_READ 0x1
#define FIO_WRITE 0x2
#define FIO_READ_WRITE 0x3
#define FIO_APPEND 0x100
#define FIO_CREATE 0x200
#define FIO_TRUNCATE 0x400

#define FIO_SEEK_SET 0
#define FIO_SEEK_CUR 1
#define FIO_SEEK_END 2

/* What a read leaves about the unaligned ends of its buffer. */
struct FioAlignment {
    int head;
    int tail;
    unsigned buffer;
    unsigned tailAddress;
    unsigned char headBytes[16];
    unsigned char tailBytes[16];
};

/* The alignment record of the last read that returned bytes. */
extern struct FioAlignment fioLastAlignment;

/* The IOP's module set version as the service answers it (four characters
   in one word); 0 when the service cannot be reached. */
unsigned fioVersion(void);

int fioOpen(const char *name, unsigned flags);
int fioClose(int handle);
int fioRead(int handle, void *buffer, unsigned size);
int fioWrite(int handle, const void *buffer, unsigned size);
int fioSeek(int handle, int offset, int origin);

/* Writes a NUL-terminated string to standard output (handle 1). */
int fioPuts(const char *text);

#endif
