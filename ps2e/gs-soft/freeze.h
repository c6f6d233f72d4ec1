// The GS's state as bytes for a saved machine state: local memory, the
// registers, the vertex queue, the CLUT, the transfers and a PATH3 packet
// read part of the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ps2e/gs-soft/gif_parser.h"

namespace gs {

std::vector<uint8_t> saveState(GifParser& path3);

// False, with nothing changed, when the bytes are not a state saveState gave.
bool loadState(const uint8_t* bytes, size_t size, GifParser& path3);

}  // namespace gs
