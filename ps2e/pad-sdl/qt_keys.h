// Keys pressed in the key map dialog, which Qt reports, as the SDL keys
// the map is kept in and the pad reads.
#pragma once

#include <SDL2/SDL_keycode.h>

// The SDL key of Qt key code `qtKey` (a Qt::Key), pressed on the numeric
// keypad when `onKeypad`; SDLK_UNKNOWN for a key SDL has no code for.
// Qt does not tell left from right Shift, Control and Alt: they give the
// left ones.
SDL_Keycode sdlKeyOfQtKey(int qtKey, bool onKeypad);
