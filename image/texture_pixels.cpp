// CTexture's pixel access: lock and fill, copies between textures, the read-back of render
// targets, device contexts, the refresh of the default-pool texture and saving to a file.
#include <cstring>

#include "core/vela_debug.h"
#include "image/image_surface_io.h"
#include "image/texture.h"
#include "image/texture_sizing.h"

namespace vela {
namespace {

void SurfaceOf(IDirect3DTexture9* texture, IDirect3DSurface9** surface) {
  *surface = nullptr;
  if (texture) texture->GetSurfaceLevel(0, surface);
}

void HandOut(IDirect3DTexture9* texture, IDirect3DTexture9** out) {
  if (texture) texture->AddRef();
  *out = texture;
}

// A rectangle in image pixels of a texture, in that texture's own pixels.
RECT ToTexturePixels(const RECT& rect, std::uint32_t width, std::uint32_t height, std::uint32_t imageWidth,
                     std::uint32_t imageHeight) {
  const auto scale = [](LONG value, std::uint32_t size, std::uint32_t imageSize) {
    if (imageSize == 0) return value;
    return static_cast<LONG>(static_cast<std::uint32_t>(value) * size / imageSize);
  };
  return RECT{scale(rect.left, width, imageWidth), scale(rect.top, height, imageHeight),
              scale(rect.right, width, imageWidth), scale(rect.bottom, height, imageHeight)};
}

}  // namespace

void CTexture::GetSurface(IDirect3DSurface9** surface) {
  if (surface) SurfaceOf(texture_.Get(), surface);
}

void CTexture::GetSysSurface(IDirect3DSurface9** surface) {
  if (surface) SurfaceOf(sysTexture_.Get(), surface);
}

void CTexture::GetTexture(IDirect3DTexture9** texture) {
  if (texture) HandOut(texture_.Get(), texture);
}

IDirect3DBaseTexture9* CTexture::AcquireDeviceTexture() {
  IDirect3DTexture9* texture = nullptr;
  GetTexture(&texture);
  return texture;
}

void CTexture::GetSysTexture(IDirect3DTexture9** texture) {
  if (texture) HandOut(sysTexture_.Get(), texture);
}

float CTexture::ToU(float x) { return imageInfo_.width ? x / static_cast<float>(imageInfo_.width) : 0.0f; }

float CTexture::ToV(float y) { return imageInfo_.height ? y / static_cast<float>(imageInfo_.height) : 0.0f; }

void CTexture::UpdateTexture() {
  IDirect3DDevice9* device = GetDevice();
  if (!texture_ || !sysTexture_ || !device) return;
  texture_->AddDirtyRect(nullptr);
  sysTexture_->AddDirtyRect(nullptr);
  const HRESULT result = device->UpdateTexture(sysTexture_.Get(), texture_.Get());
  if (FAILED(result)) {
    LogError("UpdateTexture() に失敗しました [ %s ]", result);
  }
}

bool CTexture::ReadBack() {
  if (kind_ != TextureKind::kRenderTarget || !texture_ || !sysTexture_) return false;
  ComPtr<IDirect3DSurface9> target;
  ComPtr<IDirect3DSurface9> copy;
  HRESULT result = texture_->GetSurfaceLevel(0, target.Out());
  if (SUCCEEDED(result)) result = sysTexture_->GetSurfaceLevel(0, copy.Out());
  if (FAILED(result)) {
    LogError("サーフェイスの取得に失敗 [%s]", result);
    return false;
  }
  IDirect3DDevice9* device = GetDevice();
  result = device ? device->GetRenderTargetData(target.Get(), copy.Get()) : D3DERR_INVALIDCALL;
  if (FAILED(result)) {
    LogError("テクスチャのコピー処理に失敗 [%s]", result);
    return false;
  }
  return true;
}

// The texture that Lock and Unlock work on: the system-memory copy of a default-pool texture.
IDirect3DTexture9* CTexture::LockTarget() { return pool_ == D3DPOOL_DEFAULT ? sysTexture_.Get() : texture_.Get(); }

bool CTexture::Lock(const RECT* rect, void** bits, std::uint32_t* pitch, std::uint32_t* width, std::uint32_t* height,
                    D3DFORMAT* format) {
  if (!texture_) return locked_;
  if (locked_) {
    LogRed("テクスチャは既にロックされています");
    LogBreak();
    return true;
  }
  ReadBack();
  IDirect3DTexture9* target = LockTarget();
  D3DLOCKED_RECT locked = {};
  const HRESULT result = target ? target->LockRect(0, &locked, rect, 0) : D3DERR_INVALIDCALL;
  if (FAILED(result)) {
    LogError("テクスチャのロックに失敗しました [ %s ]", result);
    return false;
  }
  locked_ = true;
  if (format) *format = format_;
  if (width) *width = rect ? static_cast<std::uint32_t>(rect->right - rect->left) : width_;
  if (height) *height = rect ? static_cast<std::uint32_t>(rect->bottom - rect->top) : height_;
  if (bits) *bits = locked.pBits;
  if (pitch) *pitch = static_cast<std::uint32_t>(locked.Pitch);
  return true;
}

void CTexture::Unlock() {
  if (!locked_) return;
  if (IDirect3DTexture9* target = LockTarget()) target->UnlockRect(0);
  locked_ = false;
}

void CTexture::Fill(D3DCOLOR color) {
  void* bits = nullptr;
  std::uint32_t pitch = 0;
  std::uint32_t height = 0;
  if (!Lock(nullptr, &bits, &pitch, nullptr, &height, nullptr) || !bits) return;
  const std::uint32_t word = TextureFillWord(format_, color);
  // Block-compressed levels have a pitch per row of blocks: only a quarter as many rows.
  const std::uint32_t rows = IsBlockCompressed(format_) ? (height + 3) / 4 : height;
  auto* out = static_cast<std::uint8_t*>(bits);
  const std::size_t words = std::size_t{pitch / 4} * rows;
  for (std::size_t i = 0; i < words; ++i) std::memcpy(out + i * 4, &word, 4);
  Unlock();
  UpdateTexture();
}

bool CTexture::GetDC(HDC* dc) {
  ComPtr<IDirect3DSurface9> surface;
  GetSysSurface(surface.Out());
  return dc && surface && SUCCEEDED(surface->GetDC(dc));
}

void CTexture::ReleaseDC(HDC dc) {
  ComPtr<IDirect3DSurface9> surface;
  GetSysSurface(surface.Out());
  if (surface) surface->ReleaseDC(dc);
}

bool CTexture::CopyRect(const RECT* destRect, CTexture* source, const RECT* sourceRect, bool inImagePixels) {
  IDirect3DDevice9* device = GetDevice();
  if (!device || !source) return false;
  RECT destination = {};
  RECT from = {};
  if (inImagePixels) {
    if (destRect) destination = ToTexturePixels(*destRect, width_, height_, imageInfo_.width, imageInfo_.height);
    if (sourceRect) {
      from = ToTexturePixels(*sourceRect, source->width_, source->height_, source->imageInfo_.width,
                             source->imageInfo_.height);
    }
    if (destRect) destRect = &destination;
    if (sourceRect) sourceRect = &from;
  }
  ComPtr<IDirect3DSurface9> sourceSurface;
  ComPtr<IDirect3DSurface9> ownSurface;
  source->GetSurface(sourceSurface.Out());
  GetSurface(ownSurface.Out());
  if (!sourceSurface || !ownSurface) return false;
  HRESULT result = E_FAIL;
  for (D3DTEXTUREFILTERTYPE filter : {D3DTEXF_LINEAR, D3DTEXF_POINT, D3DTEXF_NONE}) {
    result = device->StretchRect(sourceSurface.Get(), sourceRect, ownSurface.Get(), destRect, filter);
    if (SUCCEEDED(result)) break;
  }
  return SUCCEEDED(result);
}

bool CTexture::SaveToFile(const char* fileName, codec::FileFormat fileFormat) {
  if (!texture_) return false;
  ReadBack();
  // A texture made by CreateEx has no copy; a lockable pool saves from the texture itself.
  IDirect3DTexture9* pixels = sysTexture_ ? sysTexture_.Get() : texture_.Get();
  return SUCCEEDED(SaveTextureToFile(fileName, fileFormat, pixels));
}

}  // namespace vela
