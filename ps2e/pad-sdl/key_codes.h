// Host keys as the plugin interface reports them: Windows virtual-key
// codes (Escape 0x1B, F8 0x77, 'A' 0x41, '0' 0x30, the arrows 0x25-0x28).
#pragma once

#include <SDL2/SDL_keycode.h>

#include <cstdint>

// The virtual-key code of an SDL key, or 0 for a key that has none.
uint32_t virtualKeyCode(SDL_Keycode key);
