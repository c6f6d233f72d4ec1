// What the machine does at each vertical blank, which the timers raise
// (devices/timers.h): the GS plugin's vsync and one host key event before
// the vertical-blank interrupt is raised; the controller ports polled into
// guest memory, the stop at the run's vertical-blank limit and the front
// end's turn after it. The kernel's alarms are the timers' second source of
// timed events.
#pragma once

#include "core/types.h"
#include "ps2e/ps2e.h"

// Installs the vertical blank's handler and the alarms in the timers, and
// the host's key events as the poll of long guest work; resets the
// controller service and lifts the vertical-blank limit. Machine
// initialisation calls it before timersInit.
void vblankInit();

// The vertical blank that brings vblankCount (devices/timers.h) to
// vblankStopAt raises the run's stop flag; kVblankNever disables that.
inline constexpr u64 kVblankNever = ~u64{0};
extern u64 vblankStopAt;

// The front end's turn at the end of each vertical blank: the desktop
// program lets its window handle pending input there, since a run holds the
// window's thread. The default does nothing; null restores it.
using VblankHook = void (*)();
void setVblankHook(VblankHook hook);

// Virtual-key codes of the keys the machine itself answers.
inline constexpr u32 kKeyEscape = 0x1B;
inline constexpr u32 kKeyF8 = 0x77;

// A key event from the PAD plugin, or null when there was none: Escape
// stops the run, F8 has the GS plugin save a snapshot in the screenshot
// folder, every other key (and every release) goes to the GS plugin.
void handleKeyEvent(keyEvent* event);

// The front end's first look at each key pressed during a run, before the
// machine's own keys: answering true takes the key, which then goes no
// further (the desktop program's state keys). Null: every key goes on.
using KeyPressHook = bool (*)(u32 key);
void setKeyPressHook(KeyPressHook hook);
