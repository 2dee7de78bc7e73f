#include "image/image_surface_io.h"

#include <cstdint>
#include <vector>

#include "core/vela_core.h"
#include "core/com_ptr.h"
#include "imagecodec/imagecodec.h"

namespace vela {
namespace {

HRESULT ToHResult(codec::Result result) { return static_cast<HRESULT>(result); }

// A locked rectangle that unlocks itself.
class SurfaceLock {
 public:
  SurfaceLock(IDirect3DSurface9* surface, DWORD flags) : surface_(surface) {
    result_ = surface_->LockRect(&locked_, nullptr, flags);
  }
  ~SurfaceLock() {
    if (SUCCEEDED(result_)) surface_->UnlockRect();
  }
  SurfaceLock(const SurfaceLock&) = delete;
  SurfaceLock& operator=(const SurfaceLock&) = delete;

  HRESULT Result() const { return result_; }
  codec::SurfaceView View(const D3DSURFACE_DESC& desc) const {
    return {static_cast<codec::PixelFormat>(desc.Format), desc.Width, desc.Height, locked_.Pitch,
            static_cast<std::uint8_t*>(locked_.pBits)};
  }

 private:
  IDirect3DSurface9* surface_;
  D3DLOCKED_RECT locked_ = {};
  HRESULT result_;
};

// Decodes into the locked surface; `lockFailed` tells a failed lock from a failed decode.
HRESULT DecodeInto(IDirect3DSurface9* surface, const D3DSURFACE_DESC& desc, const codec::PixelRect& area,
                   const void* data, UINT size, D3DCOLOR colorKey, bool& lockFailed) {
  const SurfaceLock lock(surface, 0);
  lockFailed = FAILED(lock.Result());
  if (lockFailed) return lock.Result();
  return ToHResult(codec::LoadSurfaceFromMemory(lock.View(desc), &area, data, size, colorKey));
}

// For a default-pool surface that cannot be locked: decode into a system-memory surface of the
// same format and size, then let the device copy the rectangle over.
HRESULT DecodeThroughSystemMemory(IDirect3DSurface9* surface, const D3DSURFACE_DESC& desc,
                                  const codec::PixelRect& area, const void* data, UINT size, D3DCOLOR colorKey) {
  ComPtr<IDirect3DDevice9> device;
  HRESULT result = surface->GetDevice(device.Out());
  if (FAILED(result)) return result;
  ComPtr<IDirect3DSurface9> staging;
  result = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                               staging.Out(), nullptr);
  if (FAILED(result)) return result;
  bool lockFailed = false;
  result = DecodeInto(staging.Get(), desc, area, data, size, colorKey, lockFailed);
  if (FAILED(result)) return result;
  RECT source = {static_cast<LONG>(area.left), static_cast<LONG>(area.top), static_cast<LONG>(area.right),
                 static_cast<LONG>(area.bottom)};
  POINT origin = {source.left, source.top};
  return device->UpdateSurface(staging.Get(), &source, surface, &origin);
}

bool ToPixelRect(const RECT* rect, const D3DSURFACE_DESC& desc, codec::PixelRect& area) {
  if (!rect) {
    area = {0, 0, desc.Width, desc.Height};
    return true;
  }
  if (rect->left < 0 || rect->top < 0 || rect->right <= rect->left || rect->bottom <= rect->top) return false;
  area = {static_cast<std::uint32_t>(rect->left), static_cast<std::uint32_t>(rect->top),
          static_cast<std::uint32_t>(rect->right), static_cast<std::uint32_t>(rect->bottom)};
  return area.right <= desc.Width && area.bottom <= desc.Height;
}

HRESULT WriteWholeFile(const char* fileName, const std::vector<std::uint8_t>& bytes) {
  RestoreWorkingDirectory();
  const HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return E_FAIL;
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  const BOOL closed = CloseHandle(file);
  return wrote && closed && written == bytes.size() ? S_OK : E_FAIL;
}

}  // namespace

HRESULT LoadSurfaceFromFileInMemory(IDirect3DSurface9* surface, const RECT* destinationRect, const void* data,
                                    UINT size, D3DCOLOR colorKey) {
  if (!surface || !data || size == 0) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc = {};
  HRESULT result = surface->GetDesc(&desc);
  if (FAILED(result)) return result;
  codec::PixelRect area;
  if (!ToPixelRect(destinationRect, desc, area)) return D3DERR_INVALIDCALL;
  bool lockFailed = false;
  result = DecodeInto(surface, desc, area, data, size, colorKey, lockFailed);
  if (!lockFailed || desc.Pool != D3DPOOL_DEFAULT) return result;
  return DecodeThroughSystemMemory(surface, desc, area, data, size, colorKey);
}

HRESULT SaveTextureToFile(const char* fileName, codec::FileFormat fileFormat, IDirect3DBaseTexture9* texture) {
  if (!fileName || !texture) return D3DERR_INVALIDCALL;
  if (texture->GetType() != D3DRTYPE_TEXTURE) return E_NOTIMPL;  // cube and volume textures
  auto* texture2d = static_cast<IDirect3DTexture9*>(texture);
  ComPtr<IDirect3DSurface9> level;
  HRESULT result = texture2d->GetSurfaceLevel(0, level.Out());
  if (FAILED(result)) return result;
  D3DSURFACE_DESC desc = {};
  result = level->GetDesc(&desc);
  if (FAILED(result)) return result;
  std::vector<std::uint8_t> file;
  {
    const SurfaceLock lock(level.Get(), D3DLOCK_READONLY);
    if (FAILED(lock.Result())) return lock.Result();
    result = ToHResult(codec::SaveToMemory(fileFormat, lock.View(desc), file));
  }
  return SUCCEEDED(result) ? WriteWholeFile(fileName, file) : result;
}

}  // namespace vela
