// The CDVD plugin shipped with Corvane: serves a disc image file, an .iso of
// 2048-byte sectors or a raw .bin of 2352-byte ones (see disc_image_file.h),
// as one data track.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ps2e/cdvd-image/cdvd_settings.h"
#include "ps2e/cdvd-image/disc_image_file.h"
#include "ps2e/cdvd-image/image_chooser.h"
#include "ps2e/ps2e.h"
#include "ps2e/support/plugin_dialogs.h"
#include "ps2e/support/settings_file.h"
#include "state/state_stream.h"

namespace {

DiscImageFile image;
uint8_t sector[kRawSectorSize];
bool sectorValid = false;
uint32_t lastLsn = 0;  // the sector in `sector`
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

// A saved state holds which disc was served, told by its contents rather
// than its file name, and the last sector read, so that CDVDgetBuffer
// hands out after a load what it handed out at the save.
constexpr uint32_t kFreezeFormat = 1;
constexpr std::size_t kFreezePathMax = 4096;

struct FrozenDisc {
    uint8_t imageOpen = 0;
    std::string path;  // to name the disc in a refusal
    uint32_t sectorCount = 0;
    uint64_t volumeDigest = 0;
    uint8_t sectorValid = 0;
    uint32_t lastLsn = 0;
};

template <typename Io>
void fieldsOf(Io& io, FrozenDisc& disc) {
    io.field(disc.imageOpen);
    io.text(disc.path, kFreezePathMax);
    io.field(disc.sectorCount);
    io.field(disc.volumeDigest);
    io.field(disc.sectorValid);
    io.field(disc.lastLsn);
}

std::vector<uint8_t> frozenState() {
    FrozenDisc disc{static_cast<uint8_t>(image.isOpen()), image.path(), image.sectorCount(), image.volumeDigest(),
                    static_cast<uint8_t>(sectorValid), lastLsn};
    StateWriter writer;
    writer.field(kFreezeFormat);
    fieldsOf(writer, disc);
    return std::move(writer.data());
}

bool sameDisc(const FrozenDisc& disc) {
    return image.volumeDigest() == disc.volumeDigest && image.sectorCount() == disc.sectorCount;
}

// A state saved while a disc was served needs that disc served now: the
// image open, or else the one the settings name, opened here. A refusal
// leaves the plugin as it was, closed again if it was closed.
bool thawState(const uint8_t* bytes, std::size_t size) {
    StateReader reader(bytes, size);
    uint32_t format = 0;
    FrozenDisc disc;
    reader.field(format);
    fieldsOf(reader, disc);
    reader.require(format == kFreezeFormat && disc.imageOpen <= 1 && disc.sectorValid <= 1);
    if (reader.failed() || reader.left() != 0) {
        report("the saved state is damaged");
        return false;
    }
    if (disc.imageOpen == 0) return true;
    const bool wasOpen = image.isOpen();
    const bool failedBefore = openFailed;
    if (!imageReady()) {
        report("the state was saved with the disc image '" + disc.path + "', and no disc image can be opened now");
        openFailed = failedBefore;
        return false;
    }
    if (!sameDisc(disc)) {
        report("the state was saved with the disc image '" + disc.path + "', not with '" + image.path() + "'");
        if (!wasOpen) image.close();
        openFailed = failedBefore;
        return false;
    }
    lastLsn = disc.lastLsn;
    sectorValid = disc.sectorValid == 1 && image.readSector(lastLsn, sector);
    return true;
}

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
    lastLsn = static_cast<uint32_t>(lsn);
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

int32_t CDVDfreeze(int32_t mode, freezeData* data) {
    if (data == nullptr) return -1;
    switch (mode) {
    case FREEZE_SIZE: data->size = static_cast<int32_t>(frozenState().size()); return 0;
    case FREEZE_SAVE: {
        const std::vector<uint8_t> bytes = frozenState();
        if (data->data == nullptr || data->size != static_cast<int32_t>(bytes.size())) return -1;
        std::memcpy(data->data, bytes.data(), bytes.size());
        return 0;
    }
    case FREEZE_LOAD:
        if (data->data == nullptr || data->size < 0) return -1;
        return thawState(reinterpret_cast<const uint8_t*>(data->data), static_cast<std::size_t>(data->size)) ? 0 : -1;
    default: return -1;
    }
}
