#include "ps2e/pad-sdl/qt_keys.h"

#include <QtCore/qnamespace.h>

#include <iterator>

namespace {

struct KeyPair {
    int qt;
    SDL_Keycode sdl;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Escape, SDLK_ESCAPE},       {Qt::Key_Tab, SDLK_TAB},           {Qt::Key_Backtab, SDLK_TAB},
    {Qt::Key_Backspace, SDLK_BACKSPACE}, {Qt::Key_Return, SDLK_RETURN},     {Qt::Key_Enter, SDLK_RETURN},
    {Qt::Key_Insert, SDLK_INSERT},       {Qt::Key_Delete, SDLK_DELETE},     {Qt::Key_Pause, SDLK_PAUSE},
    {Qt::Key_Print, SDLK_PRINTSCREEN},   {Qt::Key_Home, SDLK_HOME},         {Qt::Key_End, SDLK_END},
    {Qt::Key_Left, SDLK_LEFT},           {Qt::Key_Up, SDLK_UP},             {Qt::Key_Right, SDLK_RIGHT},
    {Qt::Key_Down, SDLK_DOWN},           {Qt::Key_PageUp, SDLK_PAGEUP},     {Qt::Key_PageDown, SDLK_PAGEDOWN},
    {Qt::Key_Shift, SDLK_LSHIFT},        {Qt::Key_Control, SDLK_LCTRL},     {Qt::Key_Alt, SDLK_LALT},
    {Qt::Key_AltGr, SDLK_RALT},          {Qt::Key_Meta, SDLK_LGUI},         {Qt::Key_Menu, SDLK_APPLICATION},
    {Qt::Key_CapsLock, SDLK_CAPSLOCK},   {Qt::Key_NumLock, SDLK_NUMLOCKCLEAR}, {Qt::Key_ScrollLock, SDLK_SCROLLLOCK},
    {Qt::Key_Clear, SDLK_CLEAR},
};

// Keypad keys: the digits and operators, and what the digit keys report
// with Num Lock off.
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, SDLK_KP_MULTIPLY}, {Qt::Key_Plus, SDLK_KP_PLUS},   {Qt::Key_Minus, SDLK_KP_MINUS},
    {Qt::Key_Period, SDLK_KP_PERIOD},     {Qt::Key_Comma, SDLK_KP_PERIOD}, {Qt::Key_Slash, SDLK_KP_DIVIDE},
    {Qt::Key_Enter, SDLK_KP_ENTER},       {Qt::Key_Return, SDLK_KP_ENTER}, {Qt::Key_Equal, SDLK_KP_EQUALS},
    {Qt::Key_Insert, SDLK_KP_0},          {Qt::Key_End, SDLK_KP_1},        {Qt::Key_Down, SDLK_KP_2},
    {Qt::Key_PageDown, SDLK_KP_3},        {Qt::Key_Left, SDLK_KP_4},       {Qt::Key_Clear, SDLK_KP_5},
    {Qt::Key_Right, SDLK_KP_6},           {Qt::Key_Home, SDLK_KP_7},       {Qt::Key_Up, SDLK_KP_8},
    {Qt::Key_PageUp, SDLK_KP_9},          {Qt::Key_Delete, SDLK_KP_PERIOD},
};

SDL_Keycode find(const KeyPair* begin, const KeyPair* end, int qtKey) {
    for (const KeyPair* pair = begin; pair != end; ++pair) {
        if (pair->qt == qtKey) return pair->sdl;
    }
    return SDLK_UNKNOWN;
}

}  // namespace

SDL_Keycode sdlKeyOfQtKey(int qtKey, bool onKeypad) {
    if (onKeypad) {
        // SDL numbers the keypad 1 to 9, then 0.
        if (qtKey == Qt::Key_0) return SDLK_KP_0;
        if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9) return SDLK_KP_1 + (qtKey - Qt::Key_1);
        const SDL_Keycode key = find(std::begin(kKeypadKeys), std::end(kKeypadKeys), qtKey);
        if (key != SDLK_UNKNOWN) return key;
    }
    // Letters: Qt reports the capital, SDL's key is the small letter.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return SDLK_a + (qtKey - Qt::Key_A);
    // The other printable keys: both use the character itself.
    if (qtKey >= Qt::Key_Space && qtKey <= Qt::Key_AsciiTilde) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return SDLK_F1 + (qtKey - Qt::Key_F1);
    if (qtKey >= Qt::Key_F13 && qtKey <= Qt::Key_F24) return SDLK_F13 + (qtKey - Qt::Key_F13);
    return find(std::begin(kKeys), std::end(kKeys), qtKey);
}
