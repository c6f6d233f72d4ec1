#include "memory/timers.h"

#include "core/ee_state.h"
#include "memory/bus.h"
#include "memory/host_access.h"

TimerRecord timers[5];
u32 eventBase;
u32 eventDelta;

// The vertical blank itself and the four timers are driven from here once
// the device side of the machine exists; until then no event is ever due,
// and a CSR read only re-arms the pending flag, so that every read reports
// a vertical blank.

void timersInit() {
    for (TimerRecord& record : timers) record = TimerRecord{};
    timers[kVblankRecord].flag = 1;
    timers[kVblankRecord].interval = kFrameCycles;
    timers[kVblankRecord].rate = kFrameCycles;
    eventBase = ee.cycle;
    eventDelta = 0xFFFFFFFF;
}

void schedulerRun() {
    eventBase = ee.cycle;
    eventDelta = 0xFFFFFFFF;
}

void csrVblank() { timers[kVblankRecord].flag = 1; }

u32 timerCountRead(u32 offset) { return hostLoad<u32>(memory.hw + offset); }
void timerRegisterWritten(u32, u32) {}
