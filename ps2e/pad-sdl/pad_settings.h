// The keyboard map of each port, kept in pad-sdl.ini beside Config.ini:
// section "Port1" or "Port2", one line per pad control naming its key as
// SDL names keys ("Up", "Z", "Return", "Backspace"); an empty value leaves
// the control without a key. Controls the file does not mention keep their
// defaults: port 1 has the arrows for the D-pad, Z, X, A and S for cross,
// circle, square and triangle, Q and W for L1 and L2, E and R for R1 and R2,
// Return for Start, Backspace for Select and Home for the ANALOG button;
// port 2 has no keys.
#pragma once

#include <SDL2/SDL_keycode.h>

#include <array>
#include <cstdint>
#include <string>

enum class PadControl {
    Up, Down, Left, Right,
    Cross, Circle, Square, Triangle,
    L1, L2, R1, R2,
    Start, Select, L3, R3,
    LeftStickUp, LeftStickDown, LeftStickLeft, LeftStickRight,
    RightStickUp, RightStickDown, RightStickLeft, RightStickRight,
    Analog,
};
inline constexpr std::size_t kPadControlCount = 25;
inline constexpr std::size_t kPadPortCount = 2;

// The name of a control in the settings file ("Cross", "LeftStickUp").
const char* padControlName(PadControl control);
// The PadButton bit of a button, 0 for a stick direction and for the
// ANALOG button, which the pad keeps to itself.
uint16_t padControlButton(PadControl control);

using KeyMap = std::array<SDL_Keycode, kPadControlCount>;  // SDLK_UNKNOWN: no key

struct PadSettings {
    std::array<KeyMap, kPadPortCount> keys{};
    bool operator==(const PadSettings&) const = default;
};

inline constexpr char kPadSettingsFile[] = "pad-sdl.ini";

PadSettings defaultPadSettings();
// An absent file gives the defaults; a key name SDL does not know leaves
// its control without a key and is reported on standard error.
PadSettings readPadSettings(const std::string& path);
bool writePadSettings(const std::string& path, const PadSettings& settings);
