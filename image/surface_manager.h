// CSurfaceManager: the one manager of surfaces. It makes each kind of CSurface, names it, and
// hands device loss and reset on to every surface it lists (CResourceManager).
//
// Unlike textures, surfaces are never shared: loading the same file twice makes two surfaces.
// A creation that fails answers null; the half-made surface is released at once, which logs
// its destruct line with an empty name.
#pragma once

#include <cstdint>

#include "core/resource_manager.h"

namespace vela {

class CSurface;

class CSurfaceManager : public CResourceManager {
 public:
  explicit CSurfaceManager(IDirect3DDevice9* device) : CResourceManager(device) {}

  // The virtual operations, in their fixed order after those of CResourceManager.
  // Named "OFFSCREEN [WxH] FORMAT".
  virtual CSurface* Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  // Named with the resolved path; a name that resolves to no file answers null and logs nothing.
  virtual CSurface* CreateFromFile(const char* name, std::int32_t formatKind);
  // Named "RENDER_TARGET [WxH] FORMAT".
  virtual CSurface* CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  // Named "DEPTH_STENCIL [WxH] FORMAT".
  virtual CSurface* CreateDepthStencil(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
};

}  // namespace vela
