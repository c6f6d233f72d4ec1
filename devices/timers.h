// Timers, the vertical blank and the event scheduler. Emulated time is the
// EE instruction counter; the delay-slot step of a taken branch calls
// schedulerRun once (cycle - eventBase) >= eventDelta, and schedulerRun
// works out the next such moment again instead of keeping an event queue.
// The timers count and raise the vertical blank; what the machine does on
// it, and the kernel's alarms, reach them through what the machine
// installs (VblankHandler, TimedEventSource; machine/vblank.h).
//
// Timer n (0-3) has four registers in the hardware block, Tn_COUNT,
// Tn_MODE, Tn_COMP and Tn_HOLD (the register map below). The stored
// Tn_COUNT never advances; a read computes the live count from the cycle
// counter.
//
// A timer with its compare (CMPE) or overflow (OVFE) interrupt enabled in
// Tn_MODE falls due at the exact cycle its live count reaches Tn_COMP or
// wraps past 0xFFFF: it sets the matching flag in Tn_MODE (EQUF, OVFF) and
// raises its INTC cause (9 + n) when the flag goes up. Writing a 1 to a
// flag clears it. A timer without either enable only restarts its interval.
#pragma once

#include "core/machine_calls.h"
#include "core/types.h"
#include "devices/register_map.h"

struct TimerRecord {
    u8* count;      // Tn_COUNT in the hardware register block; null for the vertical blank
    u8* mode;
    u8* compare;
    u8* hold;
    u32 interval;   // cycles from start until the record falls due
    u32 start;      // for a timer with interrupts enabled: the cycle its events were last looked at
    u32 rate;       // cycles per count step; the frame length for the vertical blank
    u32 flag;       // vertical blank only: vblankPending, not yet reported through CSR
};

inline constexpr unsigned kTimerCount = 4;

// The timers' registers, four per timer in the order of TimerRegister.
inline constexpr HwRegister kTimerRegisterMap[] = {
    {0x0000, "T0_COUNT", RegisterAccess::TimerCount, 0},
    {0x0010, "T0_MODE", RegisterAccess::TimerMode, 0},
    {0x0020, "T0_COMP", RegisterAccess::TimerSetting, 0},
    {0x0030, "T0_HOLD", RegisterAccess::TimerSetting, 0},
    {0x0800, "T1_COUNT", RegisterAccess::TimerCount, 1},
    {0x0810, "T1_MODE", RegisterAccess::TimerMode, 1},
    {0x0820, "T1_COMP", RegisterAccess::TimerSetting, 1},
    {0x0830, "T1_HOLD", RegisterAccess::TimerSetting, 1},
    {0x1000, "T2_COUNT", RegisterAccess::TimerCount, 2},
    {0x1010, "T2_MODE", RegisterAccess::TimerMode, 2},
    {0x1020, "T2_COMP", RegisterAccess::TimerSetting, 2},
    {0x1030, "T2_HOLD", RegisterAccess::TimerSetting, 2},
    {0x1800, "T3_COUNT", RegisterAccess::TimerCount, 3},
    {0x1810, "T3_MODE", RegisterAccess::TimerMode, 3},
    {0x1820, "T3_COMP", RegisterAccess::TimerSetting, 3},
    {0x1830, "T3_HOLD", RegisterAccess::TimerSetting, 3},
};

enum class TimerRegister : unsigned { Count, Mode, Compare, Hold };

constexpr u32 timerRegisterOffset(unsigned n, TimerRegister reg) {
    return kTimerRegisterMap[4 * n + static_cast<unsigned>(reg)].offset;
}

// Tn_MODE bits of the timer interrupts.
inline constexpr u32 kTimerModeCompareEnable = 1u << 8;    // CMPE
inline constexpr u32 kTimerModeOverflowEnable = 1u << 9;   // OVFE
inline constexpr u32 kTimerModeCompareFlag = 1u << 10;     // EQUF
inline constexpr u32 kTimerModeOverflowFlag = 1u << 11;    // OVFF
inline constexpr u32 kTimerModeFlags = kTimerModeCompareFlag | kTimerModeOverflowFlag;
inline constexpr u32 kIntcTimer0Cause = 9;  // timers 0-3 raise INTC causes 9-12
inline constexpr unsigned kVblankRecord = 4;
inline constexpr u32 kFrameCycles = 153600;
// Once the guest has had this many vertical blanks by polling CSR, each
// further one pushes the next timed one this many frames away.
inline constexpr u32 kCsrVblanksBeforeStretch = 10;
inline constexpr u32 kStretchedFrames = 20;
inline constexpr u32 kIntcVblankBits = 0xC;  // INTC_STAT: vertical blank start (2) and end (3)

extern TimerRecord timers[5];
extern u32 csrVblankCount;  // CSR-triggered vertical blanks, counted up to 10

// Vertical blanks since the machine was initialised, timed and
// CSR-triggered alike.
extern u64 vblankCount;

void timersInit();

// What the machine does at each vertical blank, timed or CSR-triggered,
// around the timers' own part (the vertical-blank record restarted,
// vblankPending set, INTC_STAT's vertical-blank bits raised, vblankCount
// counted): before it, the GS's vsync and the host's key event; after it,
// the controller poll, the stop at the run's limit and the front end's
// turn. The machine installs it at initialisation; an entry left null does
// nothing, so the timers alone still keep time and raise the interrupt.
struct VblankHandler {
    void (*beforeInterrupt)();
    void (*afterInterrupt)();
};
void timersSetVblankHandler(const VblankHandler& handler);

// Events kept outside the timer records (the kernel's alarms), which the
// scheduler asks for at every run: `fallDue` after the timers have been
// brought up to date and before the vertical blank, `cyclesUntilNext`
// (0xFFFFFFFF for none) when it works out the next moment to run. Installed
// at initialisation; null entries mean no such events.
struct TimedEventSource {
    void (*fallDue)();
    u32 (*cyclesUntilNext)();
};
void timersSetEventSource(const TimedEventSource& source);

// Makes the scheduler run again within `cycles` from now, for an event of
// that source.
void scheduleEventWithin(u32 cycles);

void csrVblank();

// The CSR rule's part of the vertical blank: when one is pending that the
// guest has not seen in CSR, clears the flag, runs csrVblank (which sets
// the flag again) and answers true.
bool timersTakeCsrVblank();

// The hardware registers' side effects, for the rows of the map: the live
// count of Tn_COUNT, Tn_MODE with the flags of the events reached so far,
// and a 32-bit store to any of the four, which this stores (Tn_MODE with its
// write-1-to-clear flags) and schedules.
u32 timerCountRead(const HwRegister& reg);
u32 timerModeRead(const HwRegister& reg);
void timerRegisterWritten(const HwRegister& reg, u32 value);
