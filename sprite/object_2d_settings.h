// The per-object settings that shape a 2D object's triangles before they are stored: the
// scissor rectangle they are clipped against, the perspective that pulls far vertices toward a
// centre, the zoom about a centre, and the screen scale from library coordinates to back-buffer
// pixels. Every setting starts off; the 2D broadcasts (graphics/settings_2d.h) switch them.
#pragma once

namespace vela {

// Back-buffer pixels; a vertex on an edge is inside.
struct ScissorSetting {
  bool on = false;
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};

struct PerspectiveSetting {
  bool on = false;
  float centreX = 0.0f;
  float centreY = 0.0f;
  float depthFactor = 0.0f;
};

struct ZoomSetting {
  bool on = false;
  float centreX = 0.0f;
  float centreY = 0.0f;
  float factor = 0.0f;
};

struct ScreenScale {
  float x = 1.0f;
  float y = 1.0f;
};

struct TransformSettings {
  PerspectiveSetting perspective;
  ZoomSetting zoom;
  ScreenScale scale;
};

}  // namespace vela
