// Delivery of INTC and DMAC interrupts to the guest handlers registered
// with the kernel. There is no exception vector in guest memory: each
// handler is stepped here as a subroutine call on the EE.
#pragma once

#include "core/machine_calls.h"
#include "core/types.h"

// deliverInterrupts (declared in core/machine_calls.h) runs the handlers of
// the pending INTC causes (when some cause is pending and unmasked), the
// callbacks of the kernel's alarms that have fallen due, and the handlers
// of the pending DMA channels, with IE clear, then sets IE. Called after the
// delay slot of a taken branch when IE and EIE are both set, and by
// _EnableIntc after it unmasks a cause; a call made while a handler runs
// does nothing. A handler that never returns is abandoned, as though it had
// returned, when the guest instruction's work budget is spent or the run
// stops, and the delivery ends.
//
// The delivery also answers the kernel's inInterruptContext
// (kernel/scheduler.h): whether a guest handler is running inside it.
