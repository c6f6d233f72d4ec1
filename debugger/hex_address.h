// The debugger's reading of a typed address.
#pragma once

#include <string_view>

#include "core/types.h"

// Exactly the first eight characters, each a hexadecimal digit, give the
// address; anything else (fewer digits, a blank, a prefix) gives 0. The
// windows use this so that a half-typed address never lands anywhere but 0.
u32 parseHex8(std::string_view text);
