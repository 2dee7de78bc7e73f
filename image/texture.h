// CTexture: a Direct3D texture that the library draws with and that survives device loss.
//
// A texture made from an image keeps two textures of one size and format: `texture_`, which
// the device samples (default pool), and `sysTexture_`, the system-memory copy that holds the
// pixels. After a device reset the default-pool texture is created again and refilled from the
// copy; a render-target texture comes back empty. Sizes are powers of two (halved while above
// the device's maximum); the image is scaled over the whole texture, and ToU/ToV divide by the
// image's own size, so drawing code speaks in image pixels.
//
// Every creation operation writes its outcome to the log; the caller (CTextureManager) releases
// the object when one answers false. Textures are used on the window's thread only.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "image/image_object.h"
#include "core/com_ptr.h"
#include "imagecodec/codec_types.h"

namespace vela {

class CTextureManager;

// What a device reset rebuilds.
enum class TextureKind : std::uint32_t {
  kRenderTarget = 0,    // created again, empty
  kWithSystemCopy = 2,  // created again and refilled from the system-memory copy
};

// Binds to a sampler stage as its default-pool texture (DeviceTexture).
class CTexture : public CImageObject, public DeviceTexture {
 public:
  explicit CTexture(CTextureManager* manager);
  ~CTexture() override;  // releases the system-memory copy, then the default-pool texture

  // CDeviceObject and CImageObject operations filled in here.
  void OnLostDevice() override;
  void OnResetDevice() override;
  bool SetRenderTarget() override;
  bool SetDepthStencil() override { return false; }

  // The virtual operations of this class, in their fixed order.
  virtual bool Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  virtual bool CreateEx(std::uint32_t width, std::uint32_t height, std::uint32_t levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool);
  virtual bool CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind);
  virtual bool CreateCopy(CTexture* source);
  // `archive` is a QPK file name, `name` an entry in it.
  virtual bool CreateFromQPK(const char* archive, const char* name, std::int32_t formatKind);
  virtual bool CreateFromFile(const char* name, std::int32_t formatKind, D3DCOLOR colorKey);
  virtual bool CreateFromMemory(const void* data, std::uint32_t size, std::int32_t formatKind, D3DCOLOR colorKey);
  virtual bool LoadFromMemory(const void* data, std::uint32_t size, std::int32_t formatKind, D3DCOLOR colorKey);
  virtual bool LoadFromFile(const char* name, std::int32_t formatKind, D3DCOLOR colorKey);
  // The heart of every load: image information already read into imageInfo_.
  virtual bool LoadFromImage(const void* data, std::uint32_t size, std::int32_t formatKind, D3DCOLOR colorKey);
  // Locks level 0 for pixel access (the system-memory copy of a default-pool texture, after a
  // read-back of a render target). Null out-values are not written; a null rect is the whole
  // level. A second Lock without Unlock logs and answers true.
  virtual bool Lock(const RECT* rect, void** bits, std::uint32_t* pitch, std::uint32_t* width,
                    std::uint32_t* height, D3DFORMAT* format);
  virtual void Unlock();  // the default-pool texture follows only at the next UpdateTexture
  // StretchRect from `source`; with `inImagePixels` both rectangles are in image pixels of
  // their own texture and are scaled to texture pixels.
  virtual bool CopyRect(const RECT* destRect, CTexture* source, const RECT* sourceRect, bool inImagePixels);
  virtual bool ReadBack();  // render targets only: the device's pixels into the copy
  virtual void Fill(D3DCOLOR color);
  virtual bool GetDC(HDC* dc);  // on the system-memory copy; follow with UpdateTexture
  virtual void ReleaseDC(HDC dc);
  virtual void UpdateTexture();  // the system-memory copy into the default-pool texture
  // Level 0 / the texture itself, each with a new reference for the caller, or null.
  virtual void GetSurface(IDirect3DSurface9** surface);
  virtual void GetSysSurface(IDirect3DSurface9** surface);
  virtual void GetTexture(IDirect3DTexture9** texture);
  virtual void GetSysTexture(IDirect3DTexture9** texture);
  virtual float ToU(float x);  // x / image width
  virtual float ToV(float y);  // y / image height
  virtual bool SaveToFile(const char* fileName, codec::FileFormat fileFormat);

  IDirect3DBaseTexture9* AcquireDeviceTexture() override;

  TextureKind GetKind() const { return kind_; }
  D3DPOOL GetPool() const { return pool_; }
  bool IsLocked() const { return locked_; }

 private:
  // One CreateTexture of width_ x height_ in format_ into `target`; D3DERR_INVALIDCALL without
  // a device.
  HRESULT CreateDeviceTexture(ComPtr<IDirect3DTexture9>& target, UINT levels, DWORD usage, D3DPOOL pool);
  // The same; a failure is logged in red as `failure` ("... [ %d x %d ] [ %s ]") with the size
  // and the error text, and a line break.
  bool CreateLoggedTexture(ComPtr<IDirect3DTexture9>& target, UINT levels, DWORD usage, D3DPOOL pool,
                           const char* failure);
  bool CreateSizedPair(DWORD usage, const char* systemFailure, const char* defaultFailure);
  void FitToDevice(std::uint32_t imageWidth, std::uint32_t imageHeight);
  // The first steps of the empty creations: format for the kind, image size, kind, pool and
  // the power-of-two size within the device's maximum.
  void PrepareEmpty(std::uint32_t width, std::uint32_t height, std::int32_t formatKind, TextureKind kind);
  bool FillSystemCopy(const void* data, std::uint32_t size, D3DCOLOR colorKey);
  IDirect3DTexture9* LockTarget();
  void LogSizeAndFormat();  // " : SIZE [ w x h ] FORMAT [ name ] : "

  TextureKind kind_ = TextureKind::kWithSystemCopy;
  ComPtr<IDirect3DTexture9> texture_;     // sampled by the device; in pool_
  ComPtr<IDirect3DTexture9> sysTexture_;  // the system-memory copy, or null
  D3DPOOL pool_ = D3DPOOL_DEFAULT;
};

}  // namespace vela
