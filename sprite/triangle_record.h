// TriangleRecord: three working vertices, the unit in which squares and ribbon segments enter
// the 2D pipeline. Positions in back-buffer pixels, z a depth from 0 to 65,535 (larger is
// farther), rhw 1, texture coordinates already divided by the image size.
#pragma once

#include "graphics/vertex_2d.h"

namespace vela {

struct TriangleRecord {
  Vertex2D vertex[3];
};

static_assert(sizeof(TriangleRecord) == 156);

}  // namespace vela
