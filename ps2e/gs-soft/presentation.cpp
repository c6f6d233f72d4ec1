// The window side of the software GS: GSopen shows the displayed picture in
// an SDL window (or, with no display, draws without one), GSvsync presents
// and paces it, GSmakeSnapshot saves it, and GSconfigure edits the window's
// settings in a dialog.
#include <SDL2/SDL.h>

#include <cstdio>
#include <thread>

#include "ps2e/gs-soft/picture.h"
#include "ps2e/gs-soft/presentation_pacing.h"
#include "ps2e/gs-soft/presentation_window.h"
#include "ps2e/gs-soft/settings.h"
#include "ps2e/gs-soft/settings_dialog.h"
#include "ps2e/gs-soft/snapshot.h"
#include "ps2e/ps2e.h"
#include "ps2e/support/plugin_dialogs.h"
#include "ps2e/support/settings_file.h"

namespace {

// Held, the unthrottle key lets pictures come as fast as the machine makes them.
constexpr uint32_t kUnthrottleVirtualKey = 0x09;  // Tab

PresentationWindow window;
PicturePacer pacer;
bool unthrottleKeyHeld = false;

std::string settingsPath() { return pluginSettingsPath(kGsSettingsFile); }

// The key is seen through the host's key events (the PAD plugin's) and
// through SDL's keyboard state of the window, whichever reports it.
bool unthrottled() {
    if (unthrottleKeyHeld) return true;
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    return keys != nullptr && keys[SDL_SCANCODE_TAB] != 0;
}

}  // namespace

int32_t GSopen(uint32_t* displayHandle, const char* title) {
    unthrottleKeyHeld = false;
    pacer.presentNext();
    if (!PresentationWindow::displayAvailable()) return 0;
    if (!window.open(title != nullptr ? title : "", readGsSettings(settingsPath()))) return 0;
    if (displayHandle != nullptr) *displayHandle = window.windowId();
    return 0;
}

void GSclose(void) { window.close(); }

void GSvsync(void) {
    if (!window.isOpen()) return;
    if (window.handleEvents()) window.presentAgain();
    const VsyncDecision decision =
        pacer.onVsync(displayGeneration(), displayIsPal(), unthrottled(), PacingClock::now());
    if (!decision.present) return;
    const DisplayedPicture picture = composeDisplayedPicture();
    std::this_thread::sleep_until(decision.presentAt);
    window.present(picture);
}

void GSkeyEvent(keyEvent* event) {
    if (event == nullptr || event->key != kUnthrottleVirtualKey) return;
    if (event->event == KEYPRESS) unthrottleKeyHeld = true;
    if (event->event == KEYRELEASE) unthrottleKeyHeld = false;
}

void GSmakeSnapshot(const char* directory) { makeSnapshot(directory != nullptr ? directory : ""); }

void GSconfigure(void) {
    runPluginDialog("gs-soft", [] {
        const std::string path = settingsPath();
        if (!editGsSettings(path)) std::fprintf(stderr, "gs-soft: cannot write the settings file '%s'\n", path.c_str());
    });
}

void GSabout(void) {
    std::fprintf(stderr, "%s %d.%d: draws in software, shows the picture in an SDL window\n", PS2EgetLibName(),
                 PS2EgetLibVersion() >> 8 & 0xFF, PS2EgetLibVersion() & 0xFF);
}

// Whether a window could be shown here: 0 when it could, or when there is
// no display to show one on (the plugin then draws without one); -1 when
// SDL's video does not start on the display there is.
int32_t GStest(void) {
    if (!PresentationWindow::displayAvailable() || window.isOpen()) return 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return -1;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return 0;
}
