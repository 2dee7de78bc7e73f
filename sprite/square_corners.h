// SquareCorners: a square's transformed corners, when the transform is the plain one (no
// perspective, no zoom): the destination's two x and two y values scaled to the screen and
// shifted by half a pixel, and the depth scaled to 0..1. The four corners of the square's two
// triangles take every combination of them, so each value is computed once, with the same
// operations and roundings as TransformVertex applies to each of the six vertices.
//
// Against a scissor rectangle both triangles of such a square fall the same way: each uses
// both x and both y values, so either both lie inside, both lie wholly beyond one edge, or both
// have to be cut.
#pragma once

#include "graphics/rect_2d.h"
#include "sprite/object_2d_settings.h"
#include "sprite/stored_float.h"
#include "sprite/triangle_transform.h"

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

}  // namespace vela
