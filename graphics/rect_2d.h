// Rect2D: the rectangle of the 2D drawing operations, four floats x, y, width, height.
// Destinations are in back-buffer pixels, sources in pixels of the image a texture was loaded
// from. Widths and heights may be negative (a mirrored drawing); nothing normalises them.
#pragma once

namespace vela {

struct Rect2D {
  float x;
  float y;
  float width;
  float height;
};

static_assert(sizeof(Rect2D) == 16, "Rect2D is the 16 bytes the host passes");

}  // namespace vela
