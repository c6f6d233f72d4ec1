// The SIF command path between the EE and the emulated IOP servers.
#pragma once

// Kernel call 119: the guest hands the kernel a list of SIF DMA transfer
// descriptors.
void SYSCALL_sceSifSetDma();
