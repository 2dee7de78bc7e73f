// LerpVertex: the vertex at t along the edge from a to b, where a clipper cuts it. Every float
// (position, depth, rhw, the four texture-coordinate pairs) is a + (b - a) * t; the colour is
// interpolated per 8-bit channel and truncated, so a cut never rounds a channel up.
#pragma once

#include "graphics/vertex_2d.h"

namespace vela {

void LerpVertex(const Vertex2D& a, const Vertex2D& b, Vertex2D& out, float t);

}  // namespace vela
