/* The guest side of the IOP's disc services: raw sector reads, the search
   for a file's position on the disc, the disc type and the tray. Each
   server gets its own client, bound on first use. Results are the
   servers' answers; a call the kernel did not take answers `failure`
   values noted below. */
#ifndef CORVANE_GUEST_CDVD_H
#define CORVANE_GUEST_CDVD_H

#define CDVD_SERVER_PREPARE 0x80000592u
#define CDVD_SERVER_DRIVE 0x80000593u
#define CDVD_SERVER_READ 0x80000595u
#define CDVD_SERVER_SEARCH 0x80000597u
#define CDVD_SERVER_READY 0x8000059Au

#define CDVD_MODE_USER 0     /* 2048 bytes per sector */
#define CDVD_MODE_FORM2 1    /* 2328 bytes per sector */
#define CDVD_MODE_RAW 2      /* 2340 bytes per sector, from the header on */

/* Where a file lies on the disc, as the search writes it. */
struct CdvdFileRecord {
    unsigned sector;
    unsigned size;
    char name[16];
    unsigned char second, minute, hour, day, month;
    unsigned char century, year; /* BCD */
    unsigned char reserved;
};

/* Prepares the disc's file table; 1. */
int cdvdPrepare(void);

/* Reads `count` sectors from `first` on into `destination`, back to back;
   1 when every sector was read, 0 (or -1 for no answer) otherwise. With
   `end` given, the server also stores first + count there. */
int cdvdReadSectors(unsigned first, unsigned count, void *destination, unsigned mode, unsigned *end);

/* Finds "\DIR\NAME.EXT;1"; 1 found and `record` filled, 0 or -1 not. */
int cdvdSearchFile(const char *path, struct CdvdFileRecord *record);

/* 18 for a CD, 20 for a DVD, as set by cdvdSetMediaType (1 CD, 2 DVD). */
int cdvdDiscType(void);
int cdvdSetMediaType(unsigned type);

/* Tray request 0 marks the tray as changed; request 2 reports (1 or 0)
   whether it changed since and clears the mark. Returns the report. */
unsigned cdvdTrayRequest(unsigned request);

/* Any function of any disc server: word 0 of the reply, or `failure` when
   the call was not taken. */
unsigned cdvdCall(unsigned server, unsigned function, const void *send, unsigned sendSize, unsigned *reply,
                  unsigned failure);

#endif
