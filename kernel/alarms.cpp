#include "kernel/alarms.h"

#include "core/ee_state.h"
#include "kernel/call_registers.h"
#include "kernel/objects.h"

namespace {

constexpr u32 kNoAlarm = 0xFFFFFFFF;

bool isPending(const AlarmRecord& alarm) { return alarm.inUse && !alarm.expired; }

}  // namespace

void alarmsFallDue() {
    for (AlarmRecord& alarm : kernel.alarms) {
        if (!isPending(alarm) || ee.cycle - alarm.start < alarm.interval) continue;
        alarm.expired = 1;
        kernel.alarmExpired = true;
    }
}

u32 cyclesUntilNextAlarm() {
    u32 nearest = kNoAlarm;
    for (const AlarmRecord& alarm : kernel.alarms) {
        if (!isPending(alarm)) continue;
        const u32 elapsed = ee.cycle - alarm.start;
        const u32 remaining = elapsed >= alarm.interval ? 0 : alarm.interval - elapsed;
        if (remaining < nearest) nearest = remaining;
    }
    return nearest;
}

bool takeExpiredAlarm(AlarmCallback& callback) {
    for (u32 id = 0; id < kAlarmCount; ++id) {
        AlarmRecord& alarm = kernel.alarms[id];
        if (!alarm.inUse || !alarm.expired) continue;
        callback = AlarmCallback{id, alarm.handler, alarm.time, alarm.common};
        alarm = AlarmRecord{};
        return true;
    }
    kernel.alarmExpired = false;
    return false;
}

// SetAlarm(time in horizontal syncs, callback, common argument).
void SYSCALL_SetAlarm() {
    for (u32 id = 0; id < kAlarmCount; ++id) {
        AlarmRecord& alarm = kernel.alarms[id];
        if (alarm.inUse) continue;
        const u16 time = static_cast<u16>(argA0());
        alarm = AlarmRecord{1, 0, time, ee.cycle, time * kHsyncCycles, argA1(), ee.gpr[kGprA2].w[0]};
        scheduleEventWithin(alarm.interval);
        returnUnsigned32(id);
        return;
    }
    returnFailure();
}

// An alarm whose time has come but whose callback has not run yet can still
// be released; its callback then never runs.
void SYSCALL_ReleaseAlarm() {
    const u32 id = argA0();
    if (id >= kAlarmCount || !kernel.alarms[id].inUse) {
        returnFailure();
        return;
    }
    kernel.alarms[id] = AlarmRecord{};
    returnUnsigned32(id);
}
