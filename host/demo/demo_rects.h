// Rectangles for the drawing exports: a picture of the atlas as a source, a square centred on
// a point as a destination.
#pragma once

#include "host/demo/demo_atlas.h"
#include "host/demo/demo_plugin.h"
#include "host/demo/demo_world.h"

namespace vela::demo {

inline Rect Source(const AtlasRect& area) {
  return {float(area.x), float(area.y), float(area.width), float(area.height)};
}

inline Rect Centred(Point centre, float size) {
  return {centre.x - size / 2, centre.y - size / 2, size, size};
}

}  // namespace vela::demo
