// Delivery of INTC and DMAC interrupts to the guest handlers registered
// with the kernel. There is no exception vector in guest memory: each
// handler is stepped here as a subroutine call on the EE.
#pragma once

#include "core/types.h"

// A handler that never returns to the interrupted instruction must not hold
// the host: after this many instructions in one delivery, the handler
// running is abandoned, as though it had returned, and the delivery ends.
inline constexpr u32 kHandlerInstructionLimit = 100'000'000;

// Runs the handlers of the pending INTC causes (when some cause is pending
// and unmasked) and of the pending DMA channels, with IE clear, then sets
// IE. Called after the delay slot of a taken branch when IE and EIE are
// both set, and by _EnableIntc after it unmasks a cause.
void deliverInterrupts();
