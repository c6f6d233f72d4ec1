/* A disc image on the host for the CDVD plugins built by this project: the
   file named by CORVANE_CDVD_IMAGE, either 2048-byte user sectors (an ISO
   image) or 2352-byte raw sectors. A read lays the sector out as a raw one,
   with the 2048 user bytes at offset 24. */
#ifndef CORVANE_DISC_IMAGE_H
#define CORVANE_DISC_IMAGE_H

#include <stdint.h>
#include <stdio.h>

#define DISC_RAW_SECTOR_SIZE 2352
#define DISC_USER_SECTOR_SIZE 2048
#define DISC_USER_DATA_OFFSET 24
/* The absolute sector of logical sector 0: two seconds of lead-in. */
#define DISC_LEAD_IN_SECTORS 150

typedef struct {
    FILE* file;
    uint32_t sectorSize; /* 2048 or 2352 */
    uint32_t sectorCount;
} DiscImage;

/* Opens the image named by CORVANE_CDVD_IMAGE; 0 when none is named or it
   cannot be opened (the image then stays closed). */
int discImageOpenFromEnvironment(DiscImage* image);
void discImageClose(DiscImage* image);

/* The logical sector of a minute, second and frame address; -1 when the
   address lies in the lead-in. */
int64_t discLogicalSector(uint8_t minute, uint8_t second, uint8_t frame);

/* Reads logical sector `lsn` into `raw` laid out as a raw sector; 0 when the
   image is closed or the sector lies past its end. */
int discImageRead(DiscImage* image, uint32_t lsn, uint8_t raw[DISC_RAW_SECTOR_SIZE]);

#endif
