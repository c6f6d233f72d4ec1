#include "cop/fpu.h"

FpuState fpu;
