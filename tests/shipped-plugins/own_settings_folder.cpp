// Each test process keeps the plugins' settings files (pad-sdl.ini,
// cdvd-image.ini, gs-soft.ini) in a folder of its own, told to the plugins
// as the host tells them, so that tests running side by side never remove
// or find each other's files.
#include <cstdlib>

#include "ps2e/ps2e.h"
#include "support/scratch_folder.h"

namespace {

struct OwnSettingsFolder {
    ScratchFolder folder{"settings"};
    OwnSettingsFolder() { setenv(CORVANE_SETTINGS_DIR_VARIABLE, folder.path().c_str(), 1); }
};

const OwnSettingsFolder ownSettingsFolder;

}  // namespace
