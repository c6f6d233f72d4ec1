// CRC-32 (the polynomial of zip and PNG), for the checksums of saved
// machine states.
#pragma once

#include <cstddef>

#include "core/types.h"

u32 crc32(const u8* data, size_t size, u32 crc = 0);
