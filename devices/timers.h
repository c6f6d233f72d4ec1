// Timers, the vertical blank and the event scheduler. Emulated time is the
// EE instruction counter; the delay-slot step of a taken branch calls
// schedulerRun once (cycle - eventBase) >= eventDelta, and schedulerRun
// works out the next such moment again instead of keeping an event queue.
//
// Timer n (0-3) has its registers in the hardware block at 0x800 * n:
// Tn_COUNT at +0x00, Tn_MODE at +0x10, Tn_COMP at +0x20, Tn_HOLD at +0x30.
// The stored Tn_COUNT never advances; a read computes the live count from
// the cycle counter.
//
// A timer with its compare (CMPE) or overflow (OVFE) interrupt enabled in
// Tn_MODE falls due at the exact cycle its live count reaches Tn_COMP or
// wraps past 0xFFFF: it sets the matching flag in Tn_MODE (EQUF, OVFF) and
// raises its INTC cause (9 + n) when the flag goes up. Writing a 1 to a
// flag clears it. A timer without either enable only restarts its interval.
#pragma once

#include "core/types.h"
#include "ps2e/ps2e.h"

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

// Virtual-key codes of the keys the machine itself answers.
inline constexpr u32 kKeyEscape = 0x1B;
inline constexpr u32 kKeyF8 = 0x77;

extern TimerRecord timers[5];
extern u32 eventBase;
extern u32 eventDelta;
extern u32 csrVblankCount;  // CSR-triggered vertical blanks, counted up to 10

// Vertical blanks since the machine was initialised, timed and
// CSR-triggered alike. The vertical blank that brings the count to
// vblankStopAt raises the run's stop flag; kVblankNever disables that.
inline constexpr u64 kVblankNever = ~u64{0};
extern u64 vblankCount;
extern u64 vblankStopAt;

void timersInit();
void schedulerRun();

// The front end's turn at the end of each vertical blank: the desktop
// program lets its window handle pending input there, since a run holds the
// window's thread. The default does nothing; null restores it.
using VblankHook = void (*)();
void setVblankHook(VblankHook hook);

// Makes the scheduler run again within `cycles` from now, for an event
// kept outside the timer records (the kernel's alarms).
void scheduleEventWithin(u32 cycles);

void csrVblank();

// The CSR rule's part of the vertical blank: when one is pending that the
// guest has not seen in CSR, clears the flag, runs csrVblank (which sets
// the flag again) and answers true.
bool timersTakeCsrVblank();

// A key event from the PAD plugin, or null when there was none.
void handleKeyEvent(keyEvent* event);

// The front end's first look at each key pressed during a run, before the
// machine's own keys: answering true takes the key, which then goes no
// further (the desktop program's state keys). Null: every key goes on.
using KeyPressHook = bool (*)(u32 key);
void setKeyPressHook(KeyPressHook hook);

// Hooks of the hardware registers: the live count of Tn_COUNT (offsets
// 0x0000, 0x0800, 0x1000, 0x1800), Tn_MODE with the flags of the events
// reached so far (0x0010, 0x0810, ...), and a 32-bit store below 0x2000,
// which this stores (Tn_MODE with its write-1-to-clear flags) and schedules.
u32 timerCountRead(u32 offset);
u32 timerModeRead(u32 offset);
void timerRegisterWritten(u32 value, u32 offset);
