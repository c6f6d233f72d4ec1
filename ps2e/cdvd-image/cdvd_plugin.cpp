// The CDVD plugin shipped with Corvane: serves a disc image file, an .iso of
// 2048-byte sectors or a raw .bin of 2352-byte ones (see disc_image_file.h),
// as one data track.
#include <cstdio>
#include <string>

#include "ps2e/cdvd-image/cdvd_settings.h"
#include "ps2e/cdvd-image/disc_image_file.h"
#include "ps2e/cdvd-image/image_chooser.h"
#include "ps2e/ps2e.h"
#include "ps2e/support/plugin_dialogs.h"
#include "ps2e/support/settings_file.h"

namespace {

DiscImageFile image;
uint8_t sector[kRawSectorSize];
bool sectorValid = false;
// A failed open is reported once; reads do not try again until the next
// CDVDopen or CDVDclose.
bool openFailed = false;

std::string settingsPath() { return pluginSettingsPath(kCdvdSettingsFile); }

void report(const std::string& message) { std::fprintf(stderr, "cdvd-image: %s\n", message.c_str()); }

bool openImage() {
    openFailed = false;
    sectorValid = false;
    const std::string path = imageToServe(settingsPath());
    if (path.empty()) {
        report(std::string("no disc image chosen: choose one with the CDVD plugin's configuration, or set ") +
               kCdvdImageVariable);
        image.close();
        openFailed = true;
        return false;
    }
    std::string error;
    if (!image.open(path, error)) {
        report(error);
        openFailed = true;
        return false;
    }
    return true;
}

// The disc services may read before any disc boot opened the plugin.
bool imageReady() { return image.isOpen() || (!openFailed && openImage()); }

}  // namespace

uint32_t PS2EgetLibType(void) { return PS2E_LT_CDVD; }
const char* PS2EgetLibName(void) { return "Corvane disc image CDVD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t CDVDinit(void) { return 0; }

int32_t CDVDopen(void) { return openImage() ? 0 : -1; }

void CDVDclose(void) {
    image.close();
    sectorValid = false;
    openFailed = false;
}

void CDVDshutdown(void) { CDVDclose(); }

uint32_t CDVDreadTrack(cdvdLoc* location) {
    sectorValid = false;
    if (location == nullptr || !imageReady()) return 0xFFFFFFFF;
    const int64_t lsn = logicalSectorOf(location->minute, location->second, location->frame);
    if (lsn < 0 || lsn > UINT32_MAX || !image.readSector(static_cast<uint32_t>(lsn), sector)) return 0xFFFFFFFF;
    sectorValid = true;
    return 0;
}

uint8_t* CDVDgetBuffer(void) { return sectorValid ? sector : nullptr; }

int32_t CDVDgetTN(void* buffer) {
    if (buffer == nullptr || !imageReady()) return -1;
    cdvdTN* tracks = static_cast<cdvdTN*>(buffer);
    tracks->strack = 1;
    tracks->etrack = 1;
    return 0;
}

int32_t CDVDgetTD(uint8_t track, void* buffer) {
    if (buffer == nullptr || track > 1 || !imageReady()) return -1;
    cdvdTD* description = static_cast<cdvdTD*>(buffer);
    if (track == 0) {
        description->lsn = image.sectorCount();
        description->type = 0;
    } else {
        description->lsn = 0;
        description->type = image.dataMode() == 2 ? CDVD_MODE2_TRACK : CDVD_MODE1_TRACK;
    }
    return 0;
}

// The image chosen is served from the next CDVDopen on.
void CDVDconfigure(void) {
    runPluginDialog("cdvd-image", [] {
        const std::string path = settingsPath();
        if (!chooseDiscImage(path)) report("cannot write the settings file '" + path + "'");
    });
}

void CDVDabout(void) {
    std::fprintf(stderr, "%s %d.%d: serves .iso and raw .bin disc images\n", PS2EgetLibName(),
                 PS2EgetLibVersion() >> 8 & 0xFF, PS2EgetLibVersion() & 0xFF);
}

int32_t CDVDtest(void) {
    std::string error;
    DiscImageFile probe;
    return probe.open(imageToServe(settingsPath()), error) ? 0 : -1;
}
