// Alarms: a guest callback run after a number of horizontal syncs. An
// alarm falls due in the event scheduler and its callback runs in the next
// interrupt delivery, as an interrupt handler, with (alarm id, time asked
// for, common argument). An alarm runs once.
#pragma once

#include "core/types.h"
#include "devices/timers.h"

// A horizontal sync, in EE cycles: the frame has 256 of them here, the
// rate that the timers' horizontal-blank clock counts at.
inline constexpr u32 kHsyncCycles = kFrameCycles / 256;

// Called by the event scheduler: marks the alarms whose time has come.
void alarmsFallDue();

// Cycles until the next pending alarm falls due; 0xFFFFFFFF when none is.
u32 cyclesUntilNextAlarm();

// The callback of an alarm that has fallen due.
struct AlarmCallback {
    u32 id;
    u32 handler;
    u32 time;
    u32 common;
};

// Takes the next alarm whose callback is due (lowest id first) and frees
// its slot, so that the callback may set it again. False when none is.
bool takeExpiredAlarm(AlarmCallback& callback);

void SYSCALL_SetAlarm();
void SYSCALL_ReleaseAlarm();
