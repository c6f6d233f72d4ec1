// Delivery of INTC and DMAC interrupts to the guest handlers registered
// with the kernel.
#pragma once

void deliverInterrupts();
