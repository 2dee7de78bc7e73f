// CImageObject: a device object made from an image (textures, surfaces). It keeps the image's
// own information (or the size it was created with) beside the size and format of its
// video-memory resource, and reads image files through our codec in place of D3DX.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

#include "core/device_object.h"
#include "imagecodec/codec_types.h"

// windows.h maps LoadImage to LoadImageA or LoadImageW by the character set; the operation
// below must keep one name in every file. The Win32 function stays reachable as LoadImageA.
#undef LoadImage

namespace vela {

class CImageObject : public CDeviceObject {
 public:
  explicit CImageObject(CResourceManager* manager) : CDeviceObject(manager) {}

  // The virtual operations, in their fixed order after those of CDeviceObject.
  // The whole image in `data` scaled over (0, 0, width, height) of `surface` with the triangle
  // filter and dithering, in the surface's format; pixels of `colorKey` (0: none) become
  // transparent black.
  virtual HRESULT LoadImage(IDirect3DSurface9* surface, const void* data, std::uint32_t size, std::uint32_t width,
                            std::uint32_t height, D3DCOLOR colorKey);
  // Reads the image's information into imageInfo_; on failure logs the red
  // "ファイルの読み込みに失敗しました [ %s ]" with the error text and answers false.
  virtual bool GetImageInfo(const void* data, std::uint32_t size);
  virtual std::uint32_t GetImageWidth() { return imageInfo_.width; }
  virtual std::uint32_t GetImageHeight() { return imageInfo_.height; }
  virtual std::uint32_t GetWidth() { return width_; }
  virtual std::uint32_t GetHeight() { return height_; }
  virtual D3DFORMAT GetFormat() { return format_; }
  virtual bool SetRenderTarget() = 0;  // makes the object render target 0
  virtual bool SetDepthStencil() = 0;  // makes the object the depth-stencil surface

 protected:
  // A red `format` whose one %s is the error text of `result`, then a line break.
  void LogError(const char* format, ResultCode result);
  // A green "Success!" or a red "Failed!", then a line break: how a creation ended.
  static void LogOutcome(bool succeeded);

  codec::ImageInfo imageInfo_;  // laid out as D3DXIMAGE_INFO
  D3DFORMAT format_ = D3DFMT_UNKNOWN;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  bool locked_ = false;
};

}  // namespace vela
