/* The recording CDVD: logs every call (CDVDreadTrack with its minute,
   second and frame). It serves the image named by CORVANE_CDVD_IMAGE when
   one is set; without one, every sector past the lead-in holds a pattern
   (see recording.h). Reads the test marks as failing answer -1. */
#include <stdlib.h>
#include <string.h>

#include "plugin_record.h"
#include "ps2e/null/disc_image.h"

static DiscImage image;
static uint8_t sector[DISC_RAW_SECTOR_SIZE];
static int sectorValid;

uint32_t PS2EgetLibType(void) { return PS2E_LT_CDVD; }
const char* PS2EgetLibName(void) { return "Recording CDVD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t CDVDinit(void) {
    record0("CDVDinit");
    return 0;
}

int32_t CDVDopen(void) {
    record0("CDVDopen");
    discImageOpenFromEnvironment(&image);
    return 0;
}

void CDVDshutdown(void) {
    record0("CDVDshutdown");
    discImageClose(&image);
}

void CDVDclose(void) {
    record0("CDVDclose");
    discImageClose(&image);
}

static void fillPattern(uint32_t lsn) {
    memset(sector, 0, sizeof sector);
    uint8_t* user = sector + DISC_USER_DATA_OFFSET;
    for (uint32_t i = 0; i < DISC_USER_SECTOR_SIZE; ++i) user[i] = (uint8_t)(lsn + i);
    memcpy(user, &lsn, sizeof lsn);
}

uint32_t CDVDreadTrack(cdvdLoc* location) {
    record3("CDVDreadTrack", location->minute, location->second, location->frame);
    sectorValid = 0;
    const int64_t lsn = discLogicalSector(location->minute, location->second, location->frame);
    if (lsn < 0 || lsn > 0xFFFFFFFF || recorderCdvdReadFails((uint32_t)lsn)) return 0xFFFFFFFF;
    if (getenv("CORVANE_CDVD_IMAGE") != NULL) {
        if (image.file == NULL) discImageOpenFromEnvironment(&image);
        if (!discImageRead(&image, (uint32_t)lsn, sector)) return 0xFFFFFFFF;
    } else {
        fillPattern((uint32_t)lsn);
    }
    sectorValid = 1;
    return 0;
}

uint8_t* CDVDgetBuffer(void) {
    record0("CDVDgetBuffer");
    return sectorValid ? sector : 0;
}

int32_t CDVDgetTN(void* buffer) {
    record1("CDVDgetTN", pointerValue(buffer));
    return -1;
}
int32_t CDVDgetTD(uint8_t track, void* buffer) {
    record2("CDVDgetTD", track, pointerValue(buffer));
    return -1;
}
void CDVDconfigure(void) { record0("CDVDconfigure"); }
void CDVDabout(void) { record0("CDVDabout"); }
int32_t CDVDtest(void) {
    record0("CDVDtest");
    return 0;
}
