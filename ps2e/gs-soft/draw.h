// Drawing kicked by the vertex queue.
#pragma once

#include <cstdint>

#include "ps2e/gs-soft/gs_state.h"

namespace gs {

// Draws one primitive of `type` (points, lines, triangles, sprites) from
// the vertices it needs, with the drawing context and attributes the
// registers hold now.
void drawPrimitive(uint32_t type, const Vertex* vertices);

}  // namespace gs
