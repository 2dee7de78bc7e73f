// CSurface: a Direct3D surface in the device's default pool, for whole pictures copied with
// StretchRect rather than sampled: an off-screen plain surface (loaded from an image file or
// empty), a render target or a depth-stencil surface. Sizes are the image's or the asked ones,
// never rounded to powers of two.
//
// A surface loaded from a file keeps a system-memory copy of its pixels (`sysSurface_`), from
// which the default-pool surface is refilled after a device reset; every other kind comes back
// with undefined contents. Between a device loss and the reset the surface has no default-pool
// surface, and operations that need one answer false or null.
//
// Every creation operation writes its outcome to the log; the caller (CSurfaceManager) releases
// the object when one answers false, which writes the red destruct line. Surfaces are used on
// the window's thread only.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "image/image_object.h"
#include "core/com_ptr.h"

namespace vela {

class CSurfaceManager;

class CSurface : public CImageObject {
 public:
  explicit CSurface(CSurfaceManager* manager);
  // Logs "CSurface Destruct [name]", releases the system-memory copy, then the surface.
  ~CSurface() override;

  // CDeviceObject and CImageObject operations filled in here.
  void OnLostDevice() override;
  void OnResetDevice() override;
  // Make the surface render target 0 / the depth-stencil surface; false while it has none.
  bool SetRenderTarget() override;
  bool SetDepthStencil() override;

  // The virtual operations of this class, in their fixed order.
  virtual bool Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  // `path` is a resolved file name (system code page).
  virtual bool CreateFromFile(const char* path, std::int32_t formatKind);
  virtual bool CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  virtual bool CreateDepthStencil(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  // StretchRect from `source` into this surface, both rectangles cut to the viewport first
  // (null: the whole surface); linear filtering, and no filtering when the device refuses it.
  virtual bool CopyRect(const RECT* destRect, CSurface* source, const RECT* sourceRect);
  virtual HDC GetDC();  // null when the surface cannot give one
  virtual void ReleaseDC(HDC dc);
  // The default-pool surface with a new reference for the caller, or null.
  virtual void GetSurface(IDirect3DSurface9** surface);

  std::int32_t GetFormatKind() const { return formatKind_; }
  D3DFORMAT GetSurfaceFormat() const { return surfaceFormat_; }
  bool IsRenderTarget() const { return isRenderTarget_; }
  bool IsDepthStencil() const { return isDepthStencil_; }
  bool HasSystemCopy() const { return static_cast<bool>(sysSurface_); }

 private:
  // Resolves the format and takes the size, then logs them in `layout`.
  void BeginCreation(const char* layout, std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  bool LogCreationFailure(HRESULT result);  // answers false
  void Created(std::int32_t formatKind);
  // Create, CreateRenderTarget and CreateDepthStencil: BeginCreation, then `create` makes
  // surface_, then the outcome is logged.
  bool CreateEmpty(const char* layout, std::uint32_t width, std::uint32_t height, std::int32_t formatKind,
                   HRESULT (CSurface::*create)(IDirect3DSurface9** out));
  HRESULT CreatePlain(D3DPOOL pool, IDirect3DSurface9** out);
  HRESULT CreateOffscreen(IDirect3DSurface9** out);  // a plain surface in the default pool
  HRESULT CreateTarget(IDirect3DSurface9** out);
  HRESULT CreateDepth(IDirect3DSurface9** out);
  HRESULT RecreateSurface();
  bool LoadFileIntoSurfaces(const std::uint8_t* data, std::uint32_t size, std::int32_t formatKind);

  std::int32_t formatKind_ = 0;
  ComPtr<IDirect3DSurface9> surface_;     // default pool
  ComPtr<IDirect3DSurface9> sysSurface_;  // system-memory copy, only for surfaces loaded from files
  D3DFORMAT surfaceFormat_ = D3DFMT_UNKNOWN;
  bool isRenderTarget_ = false;
  bool isDepthStencil_ = false;
};

}  // namespace vela
