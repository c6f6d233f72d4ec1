#include "memory/hw_registers.h"

#include "memory/bus.h"
#include "memory/host_access.h"

// The channel starts and the live timer counts hook in here; the status and
// mask registers already have their write rules, which the kernel relies on.

u32 hwRead32(u32 offset) { return hostLoad<u32>(memory.hw + offset); }

// Byte writes to the register block are dropped, not even stored.
void hwWrite8(u32, u8) {}

void hwWrite32(u32 offset, u32 value) {
    u8* reg = memory.hw + offset;
    const u32 old = hostLoad<u32>(reg);
    switch (offset) {
    case kHwDStat:
        // Status bits 0-15 are cleared by writing 1; mask bits 16-31 toggle.
        hostStore<u32>(reg, (old & ~(value & 0xFFFF)) ^ (value & 0xFFFF0000));
        return;
    case kHwIntcStat:
        hostStore<u32>(reg, old & ~value);
        return;
    case kHwIntcMask:
        hostStore<u32>(reg, old ^ (value & 0xFFFF));
        return;
    default:
        hostStore<u32>(reg, value);
        return;
    }
}

void hwWrite64(u32 offset, u32 low, u32 high) {
    hostStore<u32>(memory.hw + offset, low);
    hostStore<u32>(memory.hw + offset + 4, high);
}
