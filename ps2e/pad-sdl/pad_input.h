// Where the pad plugin's input comes from. Keys are followed through an SDL
// event watch, which sees every key event SDL queues in this process: those
// of the GS window, which pumps SDL's events at every vertical blank, and
// those a test or another front end pushes. SDL game controllers are opened
// as they are plugged in, the first for port 1 and the second for port 2,
// and mapped by position (SDL's bottom face button is cross, the right one
// circle; the shoulders L1 and R1, the triggers L2 and R2, the middle
// button the pad's ANALOG button).
#pragma once

#include <optional>

#include "ps2e/pad-sdl/pad_protocol.h"
#include "ps2e/pad-sdl/pad_settings.h"
#include "ps2e/ps2e.h"

namespace padinput {

// Starts SDL's controller and event subsystems and the event watch; false
// when SDL's events cannot start (the pad then answers with nothing held).
bool start();
void stop();

// Pumps SDL's events (controllers are updated then) and follows controllers
// plugged in or pulled out. With no SDL window in the process nobody else
// reads SDL's queue, so the events seen are dropped here.
void refresh();

// What the player holds on `port` (0 or 1) by the port's keys and its
// controller.
PadInput inputOfPort(std::size_t port, const KeyMap& keys);

// The oldest key event not yet taken, as a virtual-key code with 1 for a
// press or 2 for a release; key repeats are not reported.
std::optional<keyEvent> nextKeyEvent();

}  // namespace padinput
