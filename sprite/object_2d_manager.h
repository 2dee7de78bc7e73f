// CObject2DManager: the base of the managers of 2D vertex objects. It hands the screen-wide 2D
// settings (scissor, zoom, perspective) to every object it lists at that moment and stores
// nothing itself, so an object made later starts with every setting off. Vela3D reaches it
// through the 2D broadcast (graphics/settings_2d.h).
#pragma once

#include "core/resource_manager.h"
#include "graphics/settings_2d.h"
#include "graphics/viewport_clip.h"

namespace vela {

class CObject2DManager : public CResourceManager, public Object2DManager {
 public:
  using CResourceManager::CResourceManager;

  // The virtual operations of this class, in their fixed order. A null rectangle switches the
  // scissor off.
  virtual void ScissorBroadcast(const PixelRect* rectangle);
  virtual void ZoomBroadcast(bool on, float centreX, float centreY, float factor);
  virtual void PerspectiveBroadcast(bool on, float centreX, float centreY, float depthFactor);

  // From Vela3D's broadcast.
  void OnScissoring(bool enable, const PixelRect& rectangle) override;
  void OnPerspective(bool enable, float centreX, float centreY, float strength) override;
  void OnZoom(bool enable, float centreX, float centreY, float factor) override;
};

}  // namespace vela
