// The EE kernel's system calls, answered by built-in handlers: a table of
// 256 services indexed by the low byte of v1, and their display names.
// Negative call numbers, the kernel's interrupt-context variants, land on
// 256 + n. Numbers without a service of their own run opUnassigned, which
// leaves even v0 alone.
#pragma once

#include <array>

#include "core/cpu.h"
#include "core/machine_calls.h"
#include "core/types.h"

extern const std::array<Handler, 256> syscallHandlers;
extern const std::array<const char*, 256> syscallNames;

// What the calls keep besides the kernel objects. Only sifToggle is cleared
// by the kernel reset; the rest lasts from the emulator's start to its exit.
struct Deci2Registration {
    u32 registered;  // 0 until Deci2Call 1 names a buffer
    u32 buffer;      // guest address of the registered buffer
    u32 extra;       // word 2 of the registering block, kept beside it
};

struct KernelCallState {
    u32 sifReg4;    // SIF register 4, as the guest last set it
    u32 sifToggle;  // bit 18 flips at every read of SIF register 4
    Deci2Registration deci2;
};

extern KernelCallState kernelCalls;

// Back to the state the emulator starts with: no SIF register value, no
// Deci2 registration.
void kernelCallsPowerOn();

void SYSCALL_Exit();
void SYSCALL_SetGsCrt();
void SYSCALL__EnableIntc();
void SYSCALL__DisableIntc();
void SYSCALL__EnableDmac();
void SYSCALL__DisableDmac();
void SYSCALL_RFU060();
void SYSCALL_RFU061();
void SYSCALL_EndOfHeap();
void SYSCALL_RFU063();
void SYSCALL_EnableDmacHandler();
void SYSCALL_DisableDmacHandler();
void SYSCALL_GsGetIMR();
void SYSCALL_GsPutIMR();
void SYSCALL_sceSifDmaStat();
void SYSCALL_sceSifSetDChain();
void SYSCALL_sceSifSetReg();
void SYSCALL_sceSifGetReg();
void SYSCALL_Deci2Call();
void SYSCALL_isceSifSetDChain();
