#include "ps2e/pad-sdl/pad_input.h"

#include <SDL2/SDL.h>

#include <array>
#include <deque>
#include <mutex>
#include <unordered_set>

#include "ps2e/pad-sdl/key_codes.h"

namespace padinput {
namespace {

// Events not taken by PADkeyEvent (one per vertical blank) are kept up to
// this many; older ones are dropped first.
constexpr std::size_t kKeyEventBacklog = 256;
// How far a trigger must be pulled to count as L2 or R2 held.
constexpr Sint16 kTriggerThreshold = 8000;

struct ControllerButton {
    SDL_GameControllerButton sdl;
    uint16_t pad;
};

constexpr std::array<ControllerButton, 14> kControllerButtons{{
    {SDL_CONTROLLER_BUTTON_A, kPadCross},
    {SDL_CONTROLLER_BUTTON_B, kPadCircle},
    {SDL_CONTROLLER_BUTTON_X, kPadSquare},
    {SDL_CONTROLLER_BUTTON_Y, kPadTriangle},
    {SDL_CONTROLLER_BUTTON_BACK, kPadSelect},
    {SDL_CONTROLLER_BUTTON_START, kPadStart},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, kPadL3},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, kPadR3},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadL1},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadR1},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRight},
}};

// The watch may be called on whichever thread queues an event.
std::mutex watchedState;
std::unordered_set<SDL_Keycode> keysDown;
std::deque<keyEvent> keyEvents;
bool controllersChanged = true;

bool started = false;
Uint32 subsystemsStarted = 0;
std::array<SDL_GameController*, kPadPortCount> controllers{};
int joysticksSeen = -1;

int watchEvent(void*, SDL_Event* event) {
    std::lock_guard lock(watchedState);
    switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const bool pressed = event->type == SDL_KEYDOWN;
        const SDL_Keycode key = event->key.keysym.sym;
        if (pressed) {
            keysDown.insert(key);
        } else {
            keysDown.erase(key);
        }
        const uint32_t virtualKey = virtualKeyCode(key);
        if (virtualKey == 0 || (pressed && event->key.repeat != 0)) break;
        if (keyEvents.size() == kKeyEventBacklog) keyEvents.pop_front();
        keyEvents.push_back(keyEvent{virtualKey, pressed ? static_cast<uint32_t>(KEYPRESS) : KEYRELEASE});
        break;
    }
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
        controllersChanged = true;
        break;
    default:
        break;
    }
    return 0;
}

bool isDown(SDL_Keycode key) {
    if (key == SDLK_UNKNOWN) return false;
    {
        std::lock_guard lock(watchedState);
        if (keysDown.count(key) != 0) return true;
    }
    int length = 0;
    const Uint8* state = SDL_GetKeyboardState(&length);
    const SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
    return state != nullptr && scancode > SDL_SCANCODE_UNKNOWN && scancode < length && state[scancode] != 0;
}

bool isOpen(SDL_JoystickID instance) {
    for (SDL_GameController* controller : controllers) {
        if (controller != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) == instance) return true;
    }
    return false;
}

void followControllers() {
    for (SDL_GameController*& controller : controllers) {
        if (controller != nullptr && !SDL_GameControllerGetAttached(controller)) {
            SDL_GameControllerClose(controller);
            controller = nullptr;
        }
    }
    const int joysticks = SDL_NumJoysticks();
    for (int index = 0; index < joysticks; ++index) {
        if (!SDL_IsGameController(index) || isOpen(SDL_JoystickGetDeviceInstanceID(index))) continue;
        for (SDL_GameController*& controller : controllers) {
            if (controller != nullptr) continue;
            controller = SDL_GameControllerOpen(index);
            break;
        }
    }
    joysticksSeen = joysticks;
}

uint8_t stickByte(Sint16 axis) { return static_cast<uint8_t>((axis + 32768) >> 8); }

// A stick axis: a key held for either direction deflects it fully,
// otherwise the controller's axis (centred without a controller).
uint8_t stickAxis(const KeyMap& keys, PadControl towardsZero, PadControl towardsFull, SDL_GameController* controller,
                  SDL_GameControllerAxis axis) {
    if (isDown(keys[static_cast<std::size_t>(towardsZero)])) return 0x00;
    if (isDown(keys[static_cast<std::size_t>(towardsFull)])) return 0xFF;
    return controller != nullptr ? stickByte(SDL_GameControllerGetAxis(controller, axis)) : kStickCentre;
}

}  // namespace

bool start() {
    if (started) return true;
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // Without controller support (no joystick access) keys still work.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {
        subsystemsStarted = SDL_INIT_GAMECONTROLLER;
    } else if (SDL_InitSubSystem(SDL_INIT_EVENTS) == 0) {
        subsystemsStarted = SDL_INIT_EVENTS;
    } else {
        return false;
    }
    {
        std::lock_guard lock(watchedState);
        keysDown.clear();
        keyEvents.clear();
        controllersChanged = true;
    }
    SDL_AddEventWatch(watchEvent, nullptr);
    started = true;
    return true;
}

void stop() {
    if (!started) return;
    SDL_DelEventWatch(watchEvent, nullptr);
    for (SDL_GameController*& controller : controllers) {
        if (controller != nullptr) SDL_GameControllerClose(controller);
        controller = nullptr;
    }
    joysticksSeen = -1;
    SDL_QuitSubSystem(subsystemsStarted);
    subsystemsStarted = 0;
    started = false;
}

void refresh() {
    if (!started) return;
    SDL_PumpEvents();
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    if (subsystemsStarted != SDL_INIT_GAMECONTROLLER) return;
    bool changed = false;
    {
        std::lock_guard lock(watchedState);
        changed = controllersChanged;
        controllersChanged = false;
    }
    if (changed || SDL_NumJoysticks() != joysticksSeen) followControllers();
}

PadInput inputOfPort(std::size_t port, const KeyMap& keys) {
    PadInput input;
    if (!started || port >= kPadPortCount) return input;
    for (std::size_t i = 0; i < kPadControlCount; ++i) {
        const uint16_t button = padControlButton(static_cast<PadControl>(i));
        if (button != 0 && isDown(keys[i])) input.buttonsHeld |= button;
    }
    SDL_GameController* controller = controllers[port];
    if (controller != nullptr) {
        for (const ControllerButton& mapping : kControllerButtons) {
            if (SDL_GameControllerGetButton(controller, mapping.sdl) != 0) input.buttonsHeld |= mapping.pad;
        }
        if (SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT) > kTriggerThreshold) input.buttonsHeld |= kPadL2;
        if (SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > kTriggerThreshold) input.buttonsHeld |= kPadR2;
        input.analogButtonHeld = SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_GUIDE) != 0;
    }
    if (isDown(keys[static_cast<std::size_t>(PadControl::Analog)])) input.analogButtonHeld = true;
    input.rightX = stickAxis(keys, PadControl::RightStickLeft, PadControl::RightStickRight, controller, SDL_CONTROLLER_AXIS_RIGHTX);
    input.rightY = stickAxis(keys, PadControl::RightStickUp, PadControl::RightStickDown, controller, SDL_CONTROLLER_AXIS_RIGHTY);
    input.leftX = stickAxis(keys, PadControl::LeftStickLeft, PadControl::LeftStickRight, controller, SDL_CONTROLLER_AXIS_LEFTX);
    input.leftY = stickAxis(keys, PadControl::LeftStickUp, PadControl::LeftStickDown, controller, SDL_CONTROLLER_AXIS_LEFTY);
    return input;
}

std::optional<keyEvent> nextKeyEvent() {
    std::lock_guard lock(watchedState);
    if (keyEvents.empty()) return std::nullopt;
    const keyEvent event = keyEvents.front();
    keyEvents.pop_front();
    return event;
}

}  // namespace padinput
