// The PAD key map's editing rules, apart from the dialog's widgets, and the
// translation of the keys Qt reports into the SDL keys the map keeps.
#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

#include "ps2e/pad-sdl/key_map_editor.h"
#include "ps2e/pad-sdl/qt_keys.h"

namespace {

SDL_Keycode keyOf(const KeyMapEditor& editor, std::size_t port, PadControl control) {
    return editor.settings().keys[port][static_cast<std::size_t>(control)];
}

TEST(KeyMapEditor, TheAwaitedControlTakesTheNextKeyFromWhicheverControlHadIt) {
    KeyMapEditor editor(defaultPadSettings());
    EXPECT_FALSE(editor.keyPressed(SDLK_SPACE)) << "no control waits";
    EXPECT_EQ(editor.settings(), defaultPadSettings());

    editor.awaitKey(PadControl::Start);
    EXPECT_TRUE(editor.keyPressed(SDLK_z));
    EXPECT_EQ(keyOf(editor, 0, PadControl::Start), SDLK_z);
    EXPECT_EQ(keyOf(editor, 0, PadControl::Cross), SDLK_UNKNOWN) << "Z left Cross";
    EXPECT_EQ(editor.keyName(PadControl::Start), "Z");
    EXPECT_FALSE(editor.awaitedControl());
    EXPECT_FALSE(editor.keyPressed(SDLK_x)) << "one key per wait";

    // Port 2 takes a key from port 1: both ports read one keyboard.
    editor.showPort(1);
    EXPECT_EQ(editor.keyName(PadControl::Cross), "");
    editor.awaitKey(PadControl::Cross);
    EXPECT_TRUE(editor.keyPressed(SDLK_UP));
    EXPECT_EQ(keyOf(editor, 1, PadControl::Cross), SDLK_UP);
    EXPECT_EQ(keyOf(editor, 0, PadControl::Up), SDLK_UNKNOWN);

    // Escape stops the emulator, so it cancels instead; so does showing
    // another port. Neither changes the map.
    const PadSettings before = editor.settings();
    editor.awaitKey(PadControl::Circle);
    EXPECT_FALSE(editor.keyPressed(SDLK_ESCAPE));
    EXPECT_FALSE(editor.awaitedControl());
    editor.awaitKey(PadControl::Circle);
    editor.showPort(0);
    EXPECT_FALSE(editor.keyPressed(SDLK_c));
    EXPECT_EQ(editor.settings(), before);

    editor.clearKey(PadControl::Select);
    EXPECT_EQ(keyOf(editor, 0, PadControl::Select), SDLK_UNKNOWN);
    EXPECT_EQ(keyOf(editor, 1, PadControl::Select), SDLK_UNKNOWN);
}

TEST(KeyMapEditor, DefaultsRestoreTheShownPortOnly) {
    KeyMapEditor editor(defaultPadSettings());
    editor.awaitKey(PadControl::Cross);
    editor.keyPressed(SDLK_SPACE);
    editor.showPort(1);
    editor.awaitKey(PadControl::Triangle);
    editor.keyPressed(SDLK_x);  // port 1's Circle
    editor.awaitKey(PadControl::Square);
    editor.keyPressed(SDLK_k);

    editor.showPort(0);
    editor.restoreDefaults();
    EXPECT_EQ(editor.settings().keys[0], defaultPadSettings().keys[0]);
    EXPECT_EQ(keyOf(editor, 1, PadControl::Triangle), SDLK_UNKNOWN) << "X went back to port 1's Circle";
    EXPECT_EQ(keyOf(editor, 1, PadControl::Square), SDLK_k);

    editor.showPort(1);
    editor.restoreDefaults();
    EXPECT_EQ(editor.settings(), defaultPadSettings());
}

TEST(QtKeys, QtKeysBecomeTheSdlKeysOfTheSameKeyboardKey) {
    const struct {
        int qt;
        bool keypad;
        SDL_Keycode sdl;
    } cases[] = {
        {Qt::Key_A, false, SDLK_a},          {Qt::Key_Z, false, SDLK_z},         {Qt::Key_0, false, SDLK_0},
        {Qt::Key_9, false, SDLK_9},          {Qt::Key_Space, false, SDLK_SPACE}, {Qt::Key_Comma, false, SDLK_COMMA},
        {Qt::Key_BracketLeft, false, SDLK_LEFTBRACKET},                          {Qt::Key_Return, false, SDLK_RETURN},
        {Qt::Key_Backspace, false, SDLK_BACKSPACE}, {Qt::Key_Up, false, SDLK_UP}, {Qt::Key_Left, false, SDLK_LEFT},
        {Qt::Key_Home, false, SDLK_HOME},    {Qt::Key_F1, false, SDLK_F1},       {Qt::Key_F12, false, SDLK_F12},
        {Qt::Key_F13, false, SDLK_F13},      {Qt::Key_Shift, false, SDLK_LSHIFT}, {Qt::Key_Escape, false, SDLK_ESCAPE},
        {Qt::Key_0, true, SDLK_KP_0},        {Qt::Key_1, true, SDLK_KP_1},       {Qt::Key_9, true, SDLK_KP_9},
        {Qt::Key_Up, true, SDLK_KP_8},       {Qt::Key_Insert, true, SDLK_KP_0},  {Qt::Key_Enter, true, SDLK_KP_ENTER},
        {Qt::Key_Plus, true, SDLK_KP_PLUS},  {Qt::Key_Slash, true, SDLK_KP_DIVIDE},
        {Qt::Key_VolumeUp, false, SDLK_UNKNOWN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sdlKeyOfQtKey(c.qt, c.keypad), c.sdl) << std::hex << "Qt key 0x" << c.qt << (c.keypad ? " on the keypad" : "");
    }
}

}  // namespace
