// The per-object 2D settings (scissoring, perspective, zoom) that Vela3D hands on to every
// manager of 2D objects. Each manager passes a setting to every object it holds at that
// moment; nothing is stored here, so objects created later start with their own defaults.
// Managers join the broadcast when they are created and leave it when destroyed; it always
// runs in the fixed order of the slots, whatever the order of joining.
#pragma once

#include <cstdint>

#include "graphics/viewport_clip.h"

namespace vela {

class Object2DManager {
 public:
  // The rectangle is in back-buffer pixels (left, top, right, bottom); a disabled call still
  // carries one, which the objects need not store.
  virtual void OnScissoring(bool enable, const PixelRect& rectangle) = 0;
  virtual void OnPerspective(bool enable, float centreX, float centreY, float strength) = 0;
  virtual void OnZoom(bool enable, float centreX, float centreY, float factor) = 0;

 protected:
  ~Object2DManager() = default;
};

enum class Object2DSlot { kPrimitives, kSprites, kLines, kPoints, kCount };

void JoinObject2DBroadcast(Object2DSlot slot, Object2DManager* manager);
void LeaveObject2DBroadcast(Object2DSlot slot);

void BroadcastScissoring(bool enable, const PixelRect& rectangle);
void BroadcastPerspective(bool enable, float centreX, float centreY, float strength);
void BroadcastZoom(bool enable, float centreX, float centreY, float factor);

// Virtual coordinates to back-buffer pixels, in place: left and right times scaleX, top and
// bottom times scaleY, minus 0.5, truncated toward zero (so 10 becomes 9 at scale 1).
void ScissorToDevicePixels(PixelRect& rectangle, float scaleX, float scaleY);

}  // namespace vela
