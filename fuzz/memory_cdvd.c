/* A CDVD plugin for the fuzz targets: it serves a disc image held in the
   fuzzing process's memory, handed over with memoryCdvdServe. The image
   starts at logical sector `first` (the sectors before it read as zeros),
   and a sector past its end fails to read, as a short disc would. */
#include <stddef.h>
#include <string.h>

#include "ps2e/ps2e.h"

#define SECTOR_BYTES 2048
#define RAW_SECTOR_BYTES 2352
#define USER_DATA_OFFSET 24
#define LEAD_IN_SECTORS 150

static const uint8_t* image;
static size_t imageBytes;
static uint32_t firstSector;
static uint8_t raw[RAW_SECTOR_BYTES];

void memoryCdvdServe(const uint8_t* bytes, size_t size, uint32_t first) {
    image = bytes;
    imageBytes = size;
    firstSector = first;
}

uint32_t PS2EgetLibType(void) { return PS2E_LT_CDVD; }
const char* PS2EgetLibName(void) { return "memory CDVD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t CDVDinit(void) { return 0; }
int32_t CDVDopen(void) { return 0; }
void CDVDclose(void) {}
void CDVDshutdown(void) {}

uint32_t CDVDreadTrack(cdvdLoc* location) {
    const uint32_t absolute = location->minute * 4500u + location->second * 75u + location->frame;
    if (absolute < LEAD_IN_SECTORS) return 0xFFFFFFFFu;
    const uint32_t sector = absolute - LEAD_IN_SECTORS;
    memset(raw, 0, sizeof raw);
    if (sector < firstSector) return 0;
    const size_t offset = (size_t)(sector - firstSector) * SECTOR_BYTES;
    if (offset >= imageBytes) return 0xFFFFFFFFu;
    const size_t count = imageBytes - offset < SECTOR_BYTES ? imageBytes - offset : SECTOR_BYTES;
    memcpy(raw + USER_DATA_OFFSET, image + offset, count);
    return 0;
}

uint8_t* CDVDgetBuffer(void) { return raw; }
