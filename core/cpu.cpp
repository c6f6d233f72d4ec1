#include "core/cpu.h"

EeCpuState ee;

void opUnassigned() {}
