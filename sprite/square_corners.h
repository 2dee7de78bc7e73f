// SquareCorners: a square's transformed corners, when the transform is the plain one (no
// perspective, no zoom): the destination's two x and two y values scaled to the screen and
// shifted by half a pixel, and the depth scaled to 0..1. The four corners of the square's two
// triangles take every combination of them, so each value is computed once, with the same
// operations and roundings as TransformVertex applies to each of the six vertices. From them
// come the square's stored vertices when it is kept whole, or its transformed triangles when
// the scissor cuts it.
//
// Against a scissor rectangle both triangles of such a square fall the same way: each uses
// both x and both y values, so either both lie inside, both lie wholly beyond one edge, or both
// have to be cut.
#pragma once

#include <cstdint>
#include <cstring>

#include "graphics/rect_2d.h"
#include "graphics/vertex_2d.h"
#include "sprite/object_2d_settings.h"
#include "sprite/stored_float.h"
#include "sprite/triangle_transform.h"
#include "sprite/uv_rect.h"
#include "sprite/vertex_stride.h"

namespace vela {

struct SquareCorners {
  float x1;  // the destination's x
  float y1;  // its y
  float x2;  // x + width
  float y2;  // y + height
  float z;
};

enum class SquareAgainstScissor { kInside, kOutside, kCut };

inline bool PlainTransform(const TransformSettings& settings) {
  return !settings.perspective.on && !settings.zoom.on;
}

// For PlainTransform settings only. The values are as the transform stores them in its vertices
// once they are stored; read them through StoredFloat before computing with them.
inline SquareCorners TransformSquareCorners(const Rect2D& destination, float z, const ScreenScale& scale) {
  // The far corner is stored in its vertex before the transform reads it.
  const float x2 = StoredFloat(destination.x + destination.width);
  const float y2 = StoredFloat(destination.y + destination.height);
  return {destination.x * scale.x - 0.5f, destination.y * scale.y - 0.5f, x2 * scale.x - 0.5f, y2 * scale.y - 0.5f,
          z * kInverseDepthRange};
}

inline SquareAgainstScissor ClassifySquare(const ScissorSetting& scissor, const SquareCorners& corners) {
  if (!scissor.on) return SquareAgainstScissor::kInside;
  const SquareCorners c{StoredFloat(corners.x1), StoredFloat(corners.y1), StoredFloat(corners.x2),
                        StoredFloat(corners.y2), corners.z};
  const bool x1Inside = c.x1 >= scissor.left && c.x1 <= scissor.right;
  const bool x2Inside = c.x2 >= scissor.left && c.x2 <= scissor.right;
  const bool y1Inside = c.y1 >= scissor.top && c.y1 <= scissor.bottom;
  const bool y2Inside = c.y2 >= scissor.top && c.y2 <= scissor.bottom;
  if (x1Inside && x2Inside && y1Inside && y2Inside) return SquareAgainstScissor::kInside;
  if ((c.x1 < scissor.left && c.x2 < scissor.left) || (c.x1 > scissor.right && c.x2 > scissor.right) ||
      (c.y1 < scissor.top && c.y2 < scissor.top) || (c.y1 > scissor.bottom && c.y2 > scissor.bottom)) {
    return SquareAgainstScissor::kOutside;
  }
  return SquareAgainstScissor::kCut;
}

// One vertex of a square: its position and depth, rhw 1, the colour, and the texture
// coordinates of the stages a vertex of this stride keeps.
template <std::uint32_t Stride>
[[gnu::always_inline]] inline void WriteCorner(std::byte* out, float x, float y, float z, std::uint32_t colour, const UvRect (&uv)[kVertex2DStages],
                 bool right, bool bottom) {
  const float position[4] = {x, y, z, 1.0f};
  std::memcpy(out, position, sizeof position);
  std::memcpy(out + 16, &colour, sizeof colour);
  for (std::uint32_t s = 0; s < kStoredStages<Stride>; ++s) {
    const float pair[2] = {right ? uv[s].right : uv[s].left, bottom ? uv[s].bottom : uv[s].top};
    std::memcpy(out + 20 + 8 * s, pair, sizeof pair);
  }
}

// The three stored vertices of a square's triangle 0 or 1, in BuildSquare's order:
// (top-left, top-right, bottom-right), (bottom-right, bottom-left, top-left).
template <std::uint32_t Stride>
[[gnu::always_inline]] inline void WriteSquareTriangle(std::byte* out, const SquareCorners& c, std::uint32_t colour,
                         const UvRect (&uv)[kVertex2DStages], int triangle) {
  if (triangle == 0) {
    WriteCorner<Stride>(out, c.x1, c.y1, c.z, colour, uv, false, false);
    WriteCorner<Stride>(out + Stride, c.x2, c.y1, c.z, colour, uv, true, false);
    WriteCorner<Stride>(out + 2 * Stride, c.x2, c.y2, c.z, colour, uv, true, true);
  } else {
    WriteCorner<Stride>(out, c.x2, c.y2, c.z, colour, uv, true, true);
    WriteCorner<Stride>(out + Stride, c.x1, c.y2, c.z, colour, uv, false, true);
    WriteCorner<Stride>(out + 2 * Stride, c.x1, c.y1, c.z, colour, uv, false, false);
  }
}

// Both triangles, one after the other.
template <std::uint32_t Stride>
[[gnu::always_inline]] inline void WriteSquare(std::byte* out, const SquareCorners& c, std::uint32_t colour, const UvRect (&uv)[kVertex2DStages]) {
  WriteSquareTriangle<Stride>(out, c, colour, uv, 0);
  WriteSquareTriangle<Stride>(out + 3 * Stride, c, colour, uv, 1);
}

inline Vertex2D TransformedCorner(float x, float y, float z, std::uint32_t colour, const UvRect (&uv)[kVertex2DStages],
                           bool right, bool bottom) {
  Vertex2D vertex;
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.rhw = 1.0f;
  vertex.diffuse = colour;
  for (std::uint32_t s = 0; s < kVertex2DStages; ++s) {
    vertex.uv[s] = {right ? uv[s].right : uv[s].left, bottom ? uv[s].bottom : uv[s].top};
  }
  return vertex;
}

// What TransformTriangle makes of BuildSquare's corners under the plain transform, and the
// corners of its two triangles: (top-left, top-right, bottom-right), (bottom-right,
// bottom-left, top-left).
struct TransformedSquare {
  static constexpr int kTriangles[2][3] = {{0, 1, 2}, {2, 3, 0}};
  Vertex2D corner[4];  // top-left, top-right, bottom-right, bottom-left
};

inline TransformedSquare BuildTransformedSquare(const SquareCorners& c, std::uint32_t colour,
                                         const UvRect (&uv)[kVertex2DStages]) {
  return {{TransformedCorner(c.x1, c.y1, c.z, colour, uv, false, false),
           TransformedCorner(c.x2, c.y1, c.z, colour, uv, true, false),
           TransformedCorner(c.x2, c.y2, c.z, colour, uv, true, true),
           TransformedCorner(c.x1, c.y2, c.z, colour, uv, false, true)}};
}

}  // namespace vela
