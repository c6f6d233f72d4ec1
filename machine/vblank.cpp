#include "machine/vblank.h"

#include "core/run_control.h"
#include "core/work_budget.h"
#include "devices/timers.h"
#include "iop/pad_service.h"
#include "kernel/alarms.h"
#include "plugins/config.h"
#include "plugins/plugin_host.h"

u64 vblankStopAt = kVblankNever;

namespace {

void noVblankHook() {}
VblankHook vblankHook = noVblankHook;
KeyPressHook keyPressHook = nullptr;

// One host key event from the controller plugin: each vertical blank takes
// one, and so does long work inside a single guest instruction, so that
// Escape can end it.
void takeHostKeyEvent() { handleKeyEvent(padKeyEvent(padServiceOpened ? PadSlot::Pad1 : PadSlot::Pad2)); }

void beforeVblankInterrupt() {
    gsVsync();
    takeHostKeyEvent();
}

void afterVblankInterrupt() {
    pollControllers();
    if (vblankCount >= vblankStopAt) raiseStopFlag();
    vblankHook();
}

}  // namespace

void vblankInit() {
    resetPadService();
    vblankStopAt = kVblankNever;
    timersSetVblankHandler({beforeVblankInterrupt, afterVblankInterrupt});
    timersSetEventSource({alarmsFallDue, cyclesUntilNextAlarm});
    workSetStopPoll(takeHostKeyEvent);
}

void setVblankHook(VblankHook hook) { vblankHook = hook ? hook : noVblankHook; }

void setKeyPressHook(KeyPressHook hook) { keyPressHook = hook; }

void handleKeyEvent(keyEvent* event) {
    if (event == nullptr) return;
    if (event->event == KEYRELEASE) {
        gsKeyEvent(event);
    } else if (event->event == KEYPRESS) {
        if (keyPressHook != nullptr && keyPressHook(event->key)) return;
        if (event->key == kKeyEscape) {
            raiseStopFlag();
        } else if (event->key == kKeyF8) {
            gsMakeSnapshot(screenshotDirectory().c_str());
        } else {
            gsKeyEvent(event);
        }
    }
}
