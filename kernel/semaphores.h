// The semaphore calls. Each returns the semaphore id, or the kernel's
// failure answer (-1) for an id that names no semaphore.
#pragma once

#include "core/types.h"

// A signal: the first waiting thread is released, or else the count goes
// up (a count at its maximum refuses the signal). False when refused or
// when the id names no semaphore.
bool signalSema(u32 id);

void SYSCALL_CreateSema();
void SYSCALL_DeleteSema();
void SYSCALL_SignalSema();
void SYSCALL_WaitSema();
void SYSCALL_PollSema();
void SYSCALL_ReferSemaStatus();
