#include "image/surface_manager.h"

#include <cstdio>

#include "graphics/vela3d.h"
#include "image/surface.h"
#include "files/vela_file.h"

namespace vela {
namespace {

using SizedCreation = bool (CSurface::*)(std::uint32_t, std::uint32_t, std::int32_t);

// A surface made on `manager` by `create`, or null (the failed surface released again).
CSurface* MakeSized(CSurfaceManager* manager, SizedCreation create, const char* prefix, std::uint32_t width,
                    std::uint32_t height, std::int32_t formatKind) {
  auto* surface = new CSurface(manager);
  if (!surface) return nullptr;
  if (!(surface->*create)(width, height, formatKind)) {
    surface->Release();
    return nullptr;
  }
  char name[kObjectNameSize];
  std::snprintf(name, sizeof name, "%s [%dx%d] %s", prefix, static_cast<int>(width), static_cast<int>(height),
                Vela3D::FormatName(Vela3D::ResolveFormat(formatKind, D3DFMT_UNKNOWN)));
  surface->SetName(name);
  return surface;
}

}  // namespace

CSurface* CSurfaceManager::Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  return MakeSized(this, &CSurface::Create, "OFFSCREEN", width, height, formatKind);
}

CSurface* CSurfaceManager::CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  return MakeSized(this, &CSurface::CreateRenderTarget, "RENDER_TARGET", width, height, formatKind);
}

CSurface* CSurfaceManager::CreateDepthStencil(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  return MakeSized(this, &CSurface::CreateDepthStencil, "DEPTH_STENCIL", width, height, formatKind);
}

CSurface* CSurfaceManager::CreateFromFile(const char* name, std::int32_t formatKind) {
  char path[kMaxPath];
  if (!name || !FileResolve(path, name)) return nullptr;
  auto* surface = new CSurface(this);
  if (!surface) return nullptr;
  if (!surface->CreateFromFile(path, formatKind)) {
    surface->Release();
    return nullptr;
  }
  surface->SetName(path);
  return surface;
}

}  // namespace vela
