// VU1 micro-program execution, started by the VIF1 commands MSCAL, MSCALF
// and MSCNT.
#pragma once

#include "core/types.h"

// Both VU1 memories, micro and data, are 16 KB; every access wraps inside
// them.
inline constexpr u32 kVu1MemoryBytes = 0x4000;
inline constexpr u32 kVu1MemoryMask = kVu1MemoryBytes - 1;

// Runs VU1 from vu1.tpc until its program ends.
void vu1Run();
