#include "machine/interrupts.h"

#include <cstring>
#include <initializer_list>

#include "cop/cop0.h"
#include "core/cpu.h"
#include "core/ee_state.h"
#include "core/work_budget.h"
#include "devices/hw_registers.h"
#include "kernel/alarms.h"
#include "kernel/objects.h"
#include "kernel/scheduler.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

constexpr u32 kCauseAtDelivery = 0x48;  // what Cause holds while handlers run
constexpr u32 kHandlerReturnedStop = 0xFFFFFFFF;

// One interrupt in progress. The kernel has no dispatcher in guest memory,
// so each handler runs here as a subroutine that returns to the interrupted
// instruction, and the interrupted code gets its registers back afterwards.
struct Delivery {
    Reg128 savedGprs[32];
    u32 returnAddress;    // where the guest was interrupted; handlers return here
    bool stopRequested;   // a handler returned -1
    bool abandoned;       // a handler did not return in time or the run was stopped
};

// Interrupts are masked while a handler runs. A handler that unmasks a cause
// (_EnableIntc delivers at once) or sets IE itself must not start a second
// delivery inside the first: its cause is still pending until it returns.
bool delivering = false;

u32 readStatusRegister(u32 offset) { return hostLoad<u32>(memory.hw + offset); }

void clearStatusBit(u32 offset, u32 bit) {
    hostStore<u32>(memory.hw + offset, readStatusRegister(offset) & ~(1u << bit));
}

// Steps the handler until it returns to the interrupted instruction. Each
// instruction is charged to the work budget, which also ends the handler when
// the run stops or reaches its cycle limit. A handler abandoned on the way is
// treated as though it had returned. The arguments go to a0, a1, ...
void callHandler(Delivery& delivery, u32 handler, std::initializer_list<u32> arguments) {
    std::memcpy(delivery.savedGprs, ee.gpr, sizeof ee.gpr);
    unsigned reg = kGprA0;
    for (u32 argument : arguments) ee.gpr[reg++].d[0] = argument;
    ee.gpr[kGprRa].d[0] = delivery.returnAddress;
    ee.pc = handler;
    while (ee.pc != delivery.returnAddress) {
        if (!workCharge(1, LogCategory::Kernel, "interrupt handler")) {
            delivery.abandoned = true;
            ee.pc = delivery.returnAddress;
            break;
        }
        cpuStep();
    }
    if (!delivery.abandoned && ee.gpr[kGprV0].w[0] == kHandlerReturnedStop) delivery.stopRequested = true;
    std::memcpy(ee.gpr, delivery.savedGprs, sizeof ee.gpr);
}

bool deliveryEnded(const Delivery& delivery) { return delivery.stopRequested || delivery.abandoned; }

// INTC_MASK is not consulted: every pending cause with a handler runs. A
// pending cause without one stays pending.
void intcPass(Delivery& delivery) {
    for (u32 cause = 0; cause < kIntcHandlerSlotCount; ++cause) {
        const IntcHandlerSlot& slot = kernel.intcHandlers[cause];
        if ((readStatusRegister(kHwIntcStat) & (1u << cause)) == 0 || !slot.enabled) continue;
        callHandler(delivery, slot.address, {cause});
        clearStatusBit(kHwIntcStat, cause);
        if (deliveryEnded(delivery)) return;
    }
}

// The kernel's alarms are its own interrupt: their callbacks run after the
// INTC causes. What a callback returns is not looked at.
void alarmPass(Delivery& delivery) {
    const bool stopRequested = delivery.stopRequested;
    AlarmCallback alarm{};
    while (!delivery.abandoned && takeExpiredAlarm(alarm)) {
        callHandler(delivery, alarm.handler, {alarm.id, alarm.time, alarm.common});
    }
    delivery.stopRequested = stopRequested;
}

// Unlike the INTC pass, every pending channel is acknowledged, with or
// without a handler. The stop is looked at after every channel, pending or
// not, so a stop from the INTC pass leaves channel 0 alone to be handled.
void dmacPass(Delivery& delivery) {
    for (u32 channel = 0; channel < kDmacHandlerSlotCount; ++channel) {
        if ((readStatusRegister(kHwDStat) & (1u << channel)) != 0) {
            const DmacHandlerSlot& slot = kernel.dmacHandlers[channel];
            if (slot.enabled) callHandler(delivery, slot.address, {channel});
            clearStatusBit(kHwDStat, channel);
        }
        if (deliveryEnded(delivery)) return;
    }
}

}  // namespace

void deliverInterrupts() {
    if (delivering) return;
    u32& status = cop0.r[kCop0Status];
    if ((readStatusRegister(kHwIntcStat) & readStatusRegister(kHwIntcMask)) == 0 && !kernel.alarmExpired) {
        status |= kStatusIE;
        return;
    }
    status &= ~kStatusIE;
    cop0.r[kCop0Cause] = kCauseAtDelivery;
    cop0.r[kCop0Epc] = ee.pc;

    // The code word of the interrupted instruction is put back as well: the
    // system call that unmasks a cause delivers from inside its own step.
    const u32 interruptedCode = ee.code;
    Delivery delivery{};
    delivery.returnAddress = ee.pc;
    WorkScope scope;
    delivering = true;
    intcPass(delivery);
    alarmPass(delivery);
    // A stop that a handler asked for still lets channel 0 be handled; an
    // abandoned handler ends the delivery at once.
    if (!delivery.abandoned) dmacPass(delivery);
    delivering = false;
    ee.code = interruptedCode;
    status |= kStatusIE;
}

void deliverInterruptsAtBranch(u32 target) {
    deliverInterrupts();
    ee.pc = target;
    rescheduleAfterInterrupts();
}

bool inInterruptContext() { return delivering; }
