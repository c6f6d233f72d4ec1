#include "ps2e/pad-sdl/key_map_editor.h"

#include <SDL2/SDL_keyboard.h>

void KeyMapEditor::showPort(std::size_t port) {
    if (port >= kPadPortCount) return;
    port_ = port;
    awaited_.reset();
}

std::string KeyMapEditor::keyName(PadControl control) const {
    const SDL_Keycode key = settings_.keys[port_][static_cast<std::size_t>(control)];
    return key == SDLK_UNKNOWN ? std::string() : SDL_GetKeyName(key);
}

bool KeyMapEditor::keyPressed(SDL_Keycode key) {
    if (!awaited_) return false;
    const std::size_t control = static_cast<std::size_t>(*awaited_);
    awaited_.reset();
    if (key == SDLK_ESCAPE || key == SDLK_UNKNOWN) return false;
    assign(port_, control, key);
    return true;
}

void KeyMapEditor::clearKey(PadControl control) {
    settings_.keys[port_][static_cast<std::size_t>(control)] = SDLK_UNKNOWN;
}

void KeyMapEditor::restoreDefaults() {
    awaited_.reset();
    const KeyMap defaults = defaultPadSettings().keys[port_];
    for (std::size_t control = 0; control < kPadControlCount; ++control) {
        settings_.keys[port_][control] = SDLK_UNKNOWN;
    }
    for (std::size_t control = 0; control < kPadControlCount; ++control) {
        if (defaults[control] != SDLK_UNKNOWN) assign(port_, control, defaults[control]);
    }
}

void KeyMapEditor::assign(std::size_t port, std::size_t control, SDL_Keycode key) {
    for (KeyMap& keys : settings_.keys) {
        for (SDL_Keycode& held : keys) {
            if (held == key) held = SDLK_UNKNOWN;
        }
    }
    settings_.keys[port][control] = key;
}
