#include "core/cpu.h"

EeCpuState ee;
u32 eventBase;
u32 eventDelta;

void opUnassigned() {}
