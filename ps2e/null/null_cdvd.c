/* The bundled CDVD: serves the disc image named by CORVANE_CDVD_IMAGE (see
   disc_image.h); with none, every read fails. */
#include "disc_image.h"
#include "ps2e/ps2e.h"

static DiscImage image;
static uint8_t sector[DISC_RAW_SECTOR_SIZE];
static int sectorValid;

uint32_t PS2EgetLibType(void) { return PS2E_LT_CDVD; }
const char* PS2EgetLibName(void) { return "Corvane image CDVD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t CDVDinit(void) { return 0; }
int32_t CDVDopen(void) { return discImageOpenFromEnvironment(&image) ? 0 : -1; }
void CDVDshutdown(void) { discImageClose(&image); }
void CDVDclose(void) { discImageClose(&image); }

uint32_t CDVDreadTrack(cdvdLoc* location) {
    sectorValid = 0;
    const int64_t lsn = discLogicalSector(location->minute, location->second, location->frame);
    if (lsn < 0 || lsn > 0xFFFFFFFF) return 0xFFFFFFFF;
    if (image.file == NULL) discImageOpenFromEnvironment(&image);
    if (!discImageRead(&image, (uint32_t)lsn, sector)) return 0xFFFFFFFF;
    sectorValid = 1;
    return 0;
}

uint8_t* CDVDgetBuffer(void) { return sectorValid ? sector : 0; }

int32_t CDVDgetTN(void* buffer) {
    (void)buffer;
    return -1;
}
int32_t CDVDgetTD(uint8_t track, void* buffer) {
    (void)track;
    (void)buffer;
    return -1;
}
void CDVDconfigure(void) {}
void CDVDabout(void) {}
int32_t CDVDtest(void) { return 0; }
