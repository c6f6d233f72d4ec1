// The thread calls. Each returns the thread id it acted on, or the kernel's
// failure answer (-1) for an id that names no thread, or a thread in a
// state the call cannot act on.
#pragma once

// Where a started thread's entry function returns to: a stub in the
// kernel's part of RAM that calls ExitThread.
inline constexpr unsigned kThreadExitStubAddress = 0x0007FF00;

void SYSCALL_CreateThread();
void SYSCALL_DeleteThread();
void SYSCALL_StartThread();
void SYSCALL_ExitThread();
void SYSCALL_ExitDeleteThread();
void SYSCALL_TerminateThread();
void SYSCALL_ChangeThreadPriority();
void SYSCALL_RotateThreadReadyQueue();
void SYSCALL_ReleaseWaitThread();
void SYSCALL_GetThreadId();
void SYSCALL_ReferThreadStatus();
void SYSCALL_SleepThread();
void SYSCALL_WakeupThread();
void SYSCALL_CancelWakeupThread();
void SYSCALL_SuspendThread();
void SYSCALL_ResumeThread();
void SYSCALL_DisableDispatchThread();
void SYSCALL_EnableDispatchThread();
