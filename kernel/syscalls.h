// The EE kernel's system calls, answered by built-in handlers: a table of
// 256 services indexed by the low byte of v1, and their display names.
#pragma once

#include <array>

#include "core/cpu.h"

extern const std::array<Handler, 256> syscallHandlers;
extern const std::array<const char*, 256> syscallNames;

// The SYSCALL instruction's handler.
void syscallDispatch();
