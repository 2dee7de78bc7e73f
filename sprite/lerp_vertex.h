// LerpVertex: the vertex at t along the edge from a to b, where a clipper cuts it. Every float
// (position, depth, rhw, the four texture-coordinate pairs) is a + (b - a) * t; the colour is
// interpolated per 8-bit channel and truncated, so a cut never rounds a channel up.
#pragma once

#include <cstdint>

#include "graphics/vertex_2d.h"

namespace vela {

void LerpVertex(const Vertex2D& a, const Vertex2D& b, Vertex2D& out, float t);
// The same for the leading fields only, those of a stored vertex that keeps `stages`
// texture-coordinate pairs (0-4); the other pairs of `out` are left as they are.
void LerpVertexStages(const Vertex2D& a, const Vertex2D& b, Vertex2D& out, float t, std::uint32_t stages);

}  // namespace vela
