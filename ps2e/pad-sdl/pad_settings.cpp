#include "ps2e/pad-sdl/pad_settings.h"

#include <SDL2/SDL_keyboard.h>

#include <cstdio>

#include "ps2e/pad-sdl/pad_protocol.h"
#include "ps2e/support/settings_file.h"

namespace {

struct ControlDescription {
    const char* name;
    uint16_t button;
    SDL_Keycode port1Key;
};

// In the order of PadControl.
constexpr std::array<ControlDescription, kPadControlCount> kControls{{
    {"Up", kPadUp, SDLK_UP},
    {"Down", kPadDown, SDLK_DOWN},
    {"Left", kPadLeft, SDLK_LEFT},
    {"Right", kPadRight, SDLK_RIGHT},
    {"Cross", kPadCross, SDLK_z},
    {"Circle", kPadCircle, SDLK_x},
    {"Square", kPadSquare, SDLK_a},
    {"Triangle", kPadTriangle, SDLK_s},
    {"L1", kPadL1, SDLK_q},
    {"L2", kPadL2, SDLK_w},
    {"R1", kPadR1, SDLK_e},
    {"R2", kPadR2, SDLK_r},
    {"Start", kPadStart, SDLK_RETURN},
    {"Select", kPadSelect, SDLK_BACKSPACE},
    {"L3", kPadL3, SDLK_UNKNOWN},
    {"R3", kPadR3, SDLK_UNKNOWN},
    {"LeftStickUp", 0, SDLK_UNKNOWN},
    {"LeftStickDown", 0, SDLK_UNKNOWN},
    {"LeftStickLeft", 0, SDLK_UNKNOWN},
    {"LeftStickRight", 0, SDLK_UNKNOWN},
    {"RightStickUp", 0, SDLK_UNKNOWN},
    {"RightStickDown", 0, SDLK_UNKNOWN},
    {"RightStickLeft", 0, SDLK_UNKNOWN},
    {"RightStickRight", 0, SDLK_UNKNOWN},
    {"Analog", 0, SDLK_HOME},
}};

std::string sectionOfPort(std::size_t port) { return "Port" + std::to_string(port + 1); }

}  // namespace

const char* padControlName(PadControl control) { return kControls[static_cast<std::size_t>(control)].name; }

uint16_t padControlButton(PadControl control) { return kControls[static_cast<std::size_t>(control)].button; }

PadSettings defaultPadSettings() {
    PadSettings settings;
    for (std::size_t i = 0; i < kPadControlCount; ++i) {
        settings.keys[0][i] = kControls[i].port1Key;
        settings.keys[1][i] = SDLK_UNKNOWN;
    }
    return settings;
}

PadSettings readPadSettings(const std::string& path) {
    const SettingsFile file = readSettingsFile(path);
    PadSettings settings = defaultPadSettings();
    for (std::size_t port = 0; port < kPadPortCount; ++port) {
        for (std::size_t i = 0; i < kPadControlCount; ++i) {
            const std::optional<std::string> name = file.value(sectionOfPort(port), kControls[i].name);
            if (!name) continue;
            SDL_Keycode key = SDLK_UNKNOWN;
            if (!name->empty()) {
                key = SDL_GetKeyFromName(name->c_str());
                if (key == SDLK_UNKNOWN) {
                    std::fprintf(stderr, "pad-sdl: unknown key '%s' for %s in [%s] of '%s'; the control has no key\n",
                                 name->c_str(), kControls[i].name, sectionOfPort(port).c_str(), path.c_str());
                }
            }
            settings.keys[port][i] = key;
        }
    }
    return settings;
}

bool writePadSettings(const std::string& path, const PadSettings& settings) {
    SettingsFile file = readSettingsFile(path);
    file.setComment(sectionOfPort(0), "Each pad control's key as SDL names keys: Up, Z, Return, Backspace, Keypad 8...");
    file.setComment(sectionOfPort(0), "An empty value leaves the control without a key.");
    for (std::size_t port = 0; port < kPadPortCount; ++port) {
        const std::string section = sectionOfPort(port);
        for (std::size_t i = 0; i < kPadControlCount; ++i) {
            const SDL_Keycode key = settings.keys[port][i];
            file.set(section, kControls[i].name, key == SDLK_UNKNOWN ? std::string() : SDL_GetKeyName(key));
        }
    }
    return writeSettingsFile(path, file);
}
