// CTextureManager: the one manager of textures. It makes every CTexture, names it (textures
// from files by the path under which the file was found, so that loading the same file again,
// whatever the case of its letters, hands out the same texture with one more reference), and
// holds offsetUV, the inset in image pixels that 2D drawing applies to its source rectangles.
//
// Each creation answers a texture with one reference for the caller, or null; a failed
// creation leaves nothing behind in the list. Device loss and reset reach every texture in list
// order (CResourceManager).
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "core/resource_manager.h"

namespace vela {

class CTexture;

class CTextureManager : public CResourceManager {
 public:
  explicit CTextureManager(IDirect3DDevice9* device) : CResourceManager(device) {}

  // The virtual operations of this class, in their fixed order.
  virtual CTexture* Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  virtual CTexture* CreateEx(std::uint32_t width, std::uint32_t height, std::uint32_t levels, DWORD usage,
                             D3DFORMAT format, D3DPOOL pool);
  virtual CTexture* CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  virtual CTexture* CreateCopy(CTexture* source);
  // Shared by the key "archive path[entry]"; a missing archive answers null without a log line.
  virtual CTexture* CreateFromQPK(const char* archive, const char* name, std::int32_t formatKind);
  // Shared by the resolved path; a missing file answers null without a log line.
  virtual CTexture* CreateFromFile(const char* name, std::int32_t formatKind, D3DCOLOR colorKey);
  virtual CTexture* CreateFromMemory(const void* data, std::uint32_t size, std::int32_t formatKind,
                                     D3DCOLOR colorKey);

  float GetOffsetUV() const { return offsetUV_; }
  void SetOffsetUV(float value) { offsetUV_ = value; }

 private:
  float offsetUV_ = 0.0f;
};

}  // namespace vela
