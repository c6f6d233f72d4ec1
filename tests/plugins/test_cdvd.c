/* The recording CDVD: logs every call (CDVDreadTrack with its minute,
   second and frame) and fills the sector it serves with the frame number,
   so that a test can tell which read filled the buffer. */
#include <string.h>

#include "plugin_record.h"

static uint8_t sector[2352];

uint32_t PS2EgetLibType(void) { return PS2E_LT_CDVD; }
const char* PS2EgetLibName(void) { return "Recording CDVD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0A0B; }
void CDVDconfigure(void) { record0("CDVDconfigure"); }
void CDVDabout(void) { record0("CDVDabout"); }

int32_t CDVDinit(void) {
    record0("CDVDinit");
    return 0;
}
int32_t CDVDopen(void) {
    record0("CDVDopen");
    return 0;
}
void CDVDshutdown(void) { record0("CDVDshutdown"); }
void CDVDclose(void) { record0("CDVDclose"); }

uint32_t CDVDreadTrack(cdvdLoc* location) {
    recorderCall(PLUGIN_TAG, "CDVDreadTrack", (const uint64_t[]){location->minute, location->second, location->frame},
                 3, 0);
    memset(sector, location->frame, sizeof sector);
    return 0;
}

uint8_t* CDVDgetBuffer(void) {
    record0("CDVDgetBuffer");
    return sector;
}
