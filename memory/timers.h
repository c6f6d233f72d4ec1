// Timers, the vertical blank and the event scheduler. Emulated time is the
// EE instruction counter; the delay-slot step of a taken branch calls
// schedulerRun once (cycle - eventBase) >= eventDelta.
#pragma once

#include "core/types.h"

struct TimerRecord {
    u32* count;     // Tn_COUNT in the hardware register block; null for the vertical blank
    u32* mode;
    u32* compare;
    u32* hold;
    u32 interval;   // cycles from start until the record falls due
    u32 start;
    u32 rate;       // cycles per count step; the frame length for the vertical blank
    u32 flag;       // vertical blank only: vblankPending, not yet reported through CSR
};

inline constexpr unsigned kVblankRecord = 4;
inline constexpr u32 kFrameCycles = 153600;

extern TimerRecord timers[5];
extern u32 eventBase;
extern u32 eventDelta;

void timersInit();
void schedulerRun();
void csrVblank();

// Hooks of the hardware registers: the live count of Tn_COUNT (offsets
// 0x0000, 0x0800, 0x1000, 0x1800), and a 32-bit store below 0x2000.
u32 timerCountRead(u32 offset);
void timerRegisterWritten(u32 value, u32 offset);
