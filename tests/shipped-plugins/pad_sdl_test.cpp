// pad-sdl through its entry points, with SDL's dummy video driver: keys
// arrive as SDL key events pushed by the test, controllers as SDL virtual
// game controllers, and the answers are checked against the pad protocol's
// byte layout. Then the key map's settings file.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "ps2e/pad-sdl/pad_settings.h"
#include "ps2e/ps2e.h"
#include "ps2e/support/settings_file.h"
#include "shipped_plugin.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The pad's button bits on the wire, as the console's pad protocol lays
// them out: the first data byte, then the second.
constexpr uint8_t kFirstSelect = 0x01, kFirstStart = 0x08, kFirstUp = 0x10, kFirstRight = 0x20, kFirstDown = 0x40;
constexpr uint8_t kSecondL2 = 0x01, kSecondL1 = 0x04, kSecondR1 = 0x08, kSecondTriangle = 0x10, kSecondCircle = 0x20,
                  kSecondCross = 0x40, kSecondSquare = 0x80;

class PadSdl : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        ASSERT_TRUE(plugin.loaded());
        ASSERT_EQ(plugin.entry<uint32_t()>("PS2EgetLibType")(), uint32_t{PS2E_LT_PAD});
        // The host's order for the two slots the one library fills.
        init(1);
        init(2);
        open(nullptr);
        open(nullptr);
    }
    void TearDown() override {
        close();
        close();
        shutdown();
        shutdown();
        SDL_Quit();
    }

    static void pushKey(SDL_Keycode key, bool pressed, bool repeat = false) {
        SDL_Event event{};
        event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = pressed ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    // One exchange on `port`: the bytes sent after PADstartPoll, the answers.
    Bytes exchange(int32_t port, const Bytes& sent) const {
        startPoll(port);
        Bytes answers;
        for (const uint8_t byte : sent) answers.push_back(poll(byte));
        return answers;
    }
    // The exchange the host makes at each vertical blank: 0x42, then one
    // byte for the 0x5A, then `dataBytes` bytes.
    Bytes exchangeRead(int32_t port, std::size_t dataBytes) const {
        Bytes sent(2 + dataBytes, 0x00);
        sent[0] = 0x42;
        return exchange(port, sent);
    }

    std::vector<keyEvent> takeKeyEvents() const {
        std::vector<keyEvent> events;
        while (const keyEvent* event = keyEventEntry()) events.push_back(*event);
        return events;
    }

    ShippedPlugin plugin{"pad-sdl.so"};
    int32_t (*init)(uint32_t) = plugin.entry<int32_t(uint32_t)>("PADinit");
    void (*shutdown)() = plugin.entry<void()>("PADshutdown");
    int32_t (*open)(uint32_t*) = plugin.entry<int32_t(uint32_t*)>("PADopen");
    void (*close)() = plugin.entry<void()>("PADclose");
    keyEvent* (*keyEventEntry)() = plugin.entry<keyEvent*()>("PADkeyEvent");
    uint8_t (*startPoll)(int32_t) = plugin.entry<uint8_t(int32_t)>("PADstartPoll");
    uint8_t (*poll)(uint8_t) = plugin.entry<uint8_t(uint8_t)>("PADpoll");
};

TEST_F(PadSdl, DigitalAnswerFollowsTheDefaultKeysOnPort1AndPort2HasNone) {
    EXPECT_EQ(exchangeRead(1, 2), (Bytes{0x41, 0x5A, 0xFF, 0xFF})) << "nothing held";
    for (const SDL_Keycode key : {SDLK_UP, SDLK_RETURN, SDLK_z, SDLK_s, SDLK_q}) pushKey(key, true);
    const Bytes held = {0x41, 0x5A, uint8_t(0xFF & ~(kFirstUp | kFirstStart)),
                        uint8_t(0xFF & ~(kSecondCross | kSecondTriangle | kSecondL1))};
    EXPECT_EQ(exchangeRead(1, 2), held);
    EXPECT_EQ(exchangeRead(2, 2), (Bytes{0x41, 0x5A, 0xFF, 0xFF}));

    pushKey(SDLK_UP, false);
    pushKey(SDLK_s, false);
    for (const SDL_Keycode key : {SDLK_RIGHT, SDLK_DOWN, SDLK_BACKSPACE, SDLK_x, SDLK_a, SDLK_w, SDLK_e}) pushKey(key, true);
    EXPECT_EQ(exchangeRead(1, 2),
              (Bytes{0x41, 0x5A, uint8_t(0xFF & ~(kFirstStart | kFirstRight | kFirstDown | kFirstSelect)),
                     uint8_t(0xFF & ~(kSecondCross | kSecondL1 | kSecondCircle | kSecondSquare | kSecondL2 | kSecondR1))}));
    // Past its data the pad answers an idle line; a port other than 1 or 2 has no pad.
    EXPECT_EQ(exchangeRead(1, 4)[5], 0xFF);
    EXPECT_EQ(exchangeRead(3, 2), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(PadSdl, ModeCommandsSwitchToAnalogWithItsStickBytesAndBack) {
    // 0x43 with 1 enters configuration mode; it answers the buttons as 0x42 does.
    EXPECT_EQ(exchange(1, {0x43, 0x00, 0x01, 0x00}), (Bytes{0x41, 0x5A, 0xFF, 0xFF}));
    EXPECT_EQ(exchange(1, {0x45, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
              (Bytes{0xF3, 0x5A, 0x03, 0x02, 0x00, 0x02, 0x01, 0x00}))
        << "model query, analog light off";
    EXPECT_EQ(exchange(1, {0x44, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00}), (Bytes{0xF3, 0x5A, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(exchange(1, {0x45, 0x00, 0x00, 0x00, 0x00})[4], 0x01) << "analog light on";
    EXPECT_EQ(exchange(1, {0x46, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}),
              (Bytes{0xF3, 0x5A, 0x00, 0x00, 0x01, 0x01, 0x01, 0x14}));
    EXPECT_EQ(exchange(1, {0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
              (Bytes{0xF3, 0x5A, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00}));
    EXPECT_EQ(exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}), (Bytes{0xF3, 0x5A, 0, 0, 0, 0, 0, 0}));

    pushKey(SDLK_z, true);
    EXPECT_EQ(exchangeRead(1, 6), (Bytes{0x73, 0x5A, 0xFF, uint8_t(0xFF & ~kSecondCross), 0x80, 0x80, 0x80, 0x80}));
    EXPECT_EQ(exchangeRead(2, 2), (Bytes{0x41, 0x5A, 0xFF, 0xFF})) << "each port keeps its own mode";
    // Outside configuration mode 0x44 is only a read.
    EXPECT_EQ(exchange(1, {0x44, 0x00, 0x00, 0x00})[0], 0x73);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73);

    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(exchangeRead(1, 2), (Bytes{0x41, 0x5A, 0xFF, uint8_t(0xFF & ~kSecondCross)}));

    // A new machine initialisation starts with a digital pad again.
    exchange(1, {0x43, 0x00, 0x01, 0x00});
    init(1);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x41);
}

// The ANALOG button (Home by default) switches the mode at each press, not
// while held, unless the guest locked the mode with 0x44's second byte.
TEST_F(PadSdl, AnalogButtonSwitchesTheModeUnlessTheGuestLockedIt) {
    pushKey(SDLK_HOME, true);
    EXPECT_EQ(exchangeRead(1, 6), (Bytes{0x73, 0x5A, 0xFF, 0xFF, 0x80, 0x80, 0x80, 0x80}));
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73) << "held: no second switch";
    EXPECT_EQ(exchangeRead(2, 2)[0], 0x41) << "port 2 has no ANALOG key";
    pushKey(SDLK_HOME, false);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73);
    pushKey(SDLK_HOME, true);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x41);
    pushKey(SDLK_HOME, false);

    // Digital and locked: the button does nothing.
    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00});
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    exchangeRead(1, 2);
    pushKey(SDLK_HOME, true);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x41) << "locked";
    pushKey(SDLK_HOME, false);
    exchangeRead(1, 2);

    // Set again with any other second byte, the mode is free.
    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00});
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73);
    pushKey(SDLK_HOME, true);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x41) << "unlocked";
    pushKey(SDLK_HOME, false);

    // A machine initialisation forgets the lock.
    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00});
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    init(1);
    pushKey(SDLK_HOME, true);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73);
}

// PADfreeze keeps each port's mode and lock; a state it did not give is
// refused and changes nothing.
TEST_F(PadSdl, FreezeBringsBackEachPortsModeAndLock) {
    auto freeze = plugin.entry<int32_t(int32_t, freezeData*)>("PADfreeze");
    ASSERT_NE(freeze, nullptr);
    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00});  // analog, locked
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    freezeData size{0, nullptr};
    ASSERT_EQ(freeze(FREEZE_SIZE, &size), 0);
    std::vector<char> saved(static_cast<size_t>(size.size));
    freezeData save{size.size, saved.data()};
    ASSERT_EQ(freeze(FREEZE_SAVE, &save), 0);

    init(1);
    init(2);
    exchange(2, {0x43, 0x00, 0x01, 0x00});  // port 2 left in configuration mode
    std::vector<char> damaged = saved;
    damaged[0] = 2;
    freezeData refused{size.size, damaged.data()};
    EXPECT_EQ(freeze(FREEZE_LOAD, &refused), -1);
    freezeData cut{size.size - 1, saved.data()};
    EXPECT_EQ(freeze(FREEZE_LOAD, &cut), -1);
    EXPECT_EQ(exchangeRead(2, 2)[0], 0xF3) << "a refused state changed nothing";

    freezeData load{size.size, saved.data()};
    ASSERT_EQ(freeze(FREEZE_LOAD, &load), 0);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73) << "analog again";
    EXPECT_EQ(exchangeRead(2, 2)[0], 0x41) << "port 2 as saved: digital, out of configuration mode";
    pushKey(SDLK_HOME, true);
    EXPECT_EQ(exchangeRead(1, 2)[0], 0x73) << "still locked";
    pushKey(SDLK_HOME, false);
}

// A controller plugged in while running serves port 1: its face buttons by
// position, its triggers as L2 and R2, its sticks in the analog answer.
TEST_F(PadSdl, HotPluggedControllerDrivesPort1UntilPulledOut) {
    SDL_VirtualJoystickDesc description{};
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    description.naxes = SDL_CONTROLLER_AXIS_MAX;
    description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    description.name = "scripted controller";
    const int index = SDL_JoystickAttachVirtualEx(&description);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(index));
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();

    EXPECT_EQ(exchangeRead(1, 2), (Bytes{0x41, 0x5A, 0xFF, 0xFF})) << "plugged in, nothing held";

    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    // A trigger's travel spans the joystick axis from -32768 (released).
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -30000);  // barely touched
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_RIGHTX, 16384);
    EXPECT_EQ(exchangeRead(1, 2), (Bytes{0x41, 0x5A, uint8_t(0xFF & ~kFirstUp), uint8_t(0xFF & ~(kSecondCircle | kSecondL2))}));
    EXPECT_EQ(exchangeRead(2, 2), (Bytes{0x41, 0x5A, 0xFF, 0xFF}));

    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00});
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    // Sticks from 0x00 (left, up) to 0xFF: right X, right Y, left X, left Y.
    const Bytes analog = exchangeRead(1, 6);
    EXPECT_EQ(analog[0], 0x73);
    EXPECT_EQ((Bytes{analog.begin() + 4, analog.end()}), (Bytes{0xC0, 0x80, 0x00, 0xFF}));

    // The middle button is the pad's ANALOG button: it does nothing while
    // the mode is locked (as above), and switches it once unlocked.
    const auto pressMiddleButton = [&] {
        SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_GUIDE, 1);
        const uint8_t id = exchangeRead(1, 2)[0];
        SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_GUIDE, 0);
        exchangeRead(1, 2);
        return id;
    };
    EXPECT_EQ(pressMiddleButton(), 0x73) << "locked";
    exchange(1, {0x43, 0x00, 0x01, 0x00});
    exchange(1, {0x44, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00});
    exchange(1, {0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(pressMiddleButton(), 0x41) << "unlocked";
    EXPECT_EQ(pressMiddleButton(), 0x73);

    SDL_JoystickClose(joystick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    EXPECT_EQ(exchangeRead(1, 6), (Bytes{0x73, 0x5A, 0xFF, 0xFF, 0x80, 0x80, 0x80, 0x80})) << "pulled out";
}

TEST_F(PadSdl, KeyEventsReportPressAndReleaseAsVirtualKeyCodes) {
    const std::pair<SDL_Keycode, uint32_t> keys[] = {
        {SDLK_ESCAPE, 0x1B}, {SDLK_F8, 0x77},    {SDLK_F1, 0x70},        {SDLK_F12, 0x7B},   {SDLK_a, 0x41},
        {SDLK_z, 0x5A},      {SDLK_0, 0x30},     {SDLK_7, 0x37},         {SDLK_LEFT, 0x25},  {SDLK_UP, 0x26},
        {SDLK_RIGHT, 0x27},  {SDLK_DOWN, 0x28},  {SDLK_RETURN, 0x0D},    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09},
        {SDLK_SPACE, 0x20},  {SDLK_LSHIFT, 0x10}, {SDLK_RCTRL, 0x11},    {SDLK_KP_0, 0x60},  {SDLK_KP_9, 0x69},
        {SDLK_COMMA, 0xBC},  {SDLK_DELETE, 0x2E}, {SDLK_PAGEDOWN, 0x22},
    };
    std::vector<std::pair<uint32_t, uint32_t>> expected;
    for (const auto& [key, virtualKey] : keys) {
        pushKey(key, true);
        pushKey(key, true, true);  // held: SDL repeats it, the host hears one press
        pushKey(key, false);
        expected.push_back({virtualKey, KEYPRESS});
        expected.push_back({virtualKey, KEYRELEASE});
    }
    pushKey(SDLK_AC_BOOKMARKS, true);  // no virtual-key code: not reported
    std::vector<std::pair<uint32_t, uint32_t>> reported;
    for (const keyEvent& event : takeKeyEvents()) reported.push_back({event.key, event.event});
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(keyEventEntry(), nullptr);
}

TEST(PadSettings, RoundTripKeepsEveryBindingAndTheDefaultsAreTheDocumentedKeys) {
    const std::string processFolder = std::getenv(CORVANE_SETTINGS_DIR_VARIABLE);
    unsetenv(CORVANE_SETTINGS_DIR_VARIABLE);
    EXPECT_TRUE(pluginSettingsPath(kPadSettingsFile).ends_with("/shipped-plugins/pad-sdl.ini"))
        << "beside the executable, where Config.ini lies";
    // Where the host says it keeps Config.ini, with or without the final '/'.
    setenv(CORVANE_SETTINGS_DIR_VARIABLE, "/home/someone/.config/corvane/", 1);
    EXPECT_EQ(pluginSettingsPath(kPadSettingsFile), "/home/someone/.config/corvane/pad-sdl.ini");
    setenv(CORVANE_SETTINGS_DIR_VARIABLE, "/elsewhere", 1);
    EXPECT_EQ(pluginSettingsPath(kPadSettingsFile), "/elsewhere/pad-sdl.ini");
    setenv(CORVANE_SETTINGS_DIR_VARIABLE, "", 1);
    EXPECT_TRUE(pluginSettingsPath(kPadSettingsFile).ends_with("/shipped-plugins/pad-sdl.ini")) << "empty: unset";
    setenv(CORVANE_SETTINGS_DIR_VARIABLE, processFolder.c_str(), 1);
    const std::string path = "pad-round-trip.ini";
    std::remove(path.c_str());
    EXPECT_EQ(readPadSettings(path), defaultPadSettings()) << "no file: the defaults";
    ASSERT_TRUE(writePadSettings(path, defaultPadSettings()));
    const SettingsFile written = readSettingsFile(path);
    const std::pair<const char*, const char*> documented[] = {
        {"Up", "Up"},       {"Down", "Down"},  {"Left", "Left"}, {"Right", "Right"}, {"Cross", "Z"},
        {"Circle", "X"},    {"Square", "A"},   {"Triangle", "S"}, {"L1", "Q"},      {"L2", "W"},
        {"R1", "E"},        {"R2", "R"},       {"Start", "Return"}, {"Select", "Backspace"}, {"L3", ""},
        {"Analog", "Home"},
    };
    for (const auto& [control, key] : documented) EXPECT_EQ(written.value("Port1", control), key) << control;
    EXPECT_EQ(written.value("Port2", "Cross"), "");

    PadSettings changed = defaultPadSettings();
    changed.keys[0][static_cast<std::size_t>(PadControl::Cross)] = SDLK_SPACE;
    changed.keys[0][static_cast<std::size_t>(PadControl::Select)] = SDLK_UNKNOWN;
    changed.keys[1][static_cast<std::size_t>(PadControl::LeftStickUp)] = SDLK_KP_8;
    changed.keys[1][static_cast<std::size_t>(PadControl::Start)] = SDLK_F5;
    ASSERT_TRUE(writePadSettings(path, changed));
    EXPECT_EQ(readPadSettings(path), changed);
    std::remove(path.c_str());

    // A file naming a few controls keeps the defaults for the others; a key
    // SDL does not know leaves its control without a key.
    std::ofstream(path) << "[port2]\ncross = c\n[Port1]\nL1=\nStart=NoSuchKey\n";
    PadSettings expected = defaultPadSettings();
    expected.keys[1][static_cast<std::size_t>(PadControl::Cross)] = SDLK_c;
    expected.keys[0][static_cast<std::size_t>(PadControl::L1)] = SDLK_UNKNOWN;
    expected.keys[0][static_cast<std::size_t>(PadControl::Start)] = SDLK_UNKNOWN;
    testing::internal::CaptureStderr();
    EXPECT_EQ(readPadSettings(path), expected);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("unknown key 'NoSuchKey' for Start"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
