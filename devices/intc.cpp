#include "devices/intc.h"

#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

constexpr u32 kMaskBits = 0xFFFF;

u8* intcStat() { return memory.hw + kHwIntcStat; }
u8* intcMask() { return memory.hw + kHwIntcMask; }

}  // namespace

void intcRaise(u32 causes) { hostStore<u32>(intcStat(), hostLoad<u32>(intcStat()) | causes); }

void intcStatusWritten(u32 value) { hostStore<u32>(intcStat(), hostLoad<u32>(intcStat()) & ~value); }

void intcMaskWritten(u32 value) { hostStore<u32>(intcMask(), hostLoad<u32>(intcMask()) ^ (value & kMaskBits)); }
