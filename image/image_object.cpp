#include "image/image_object.h"

#include "core/vela_debug.h"
#include "image/image_surface_io.h"
#include "imagecodec/imagecodec.h"

namespace vela {

HRESULT CImageObject::LoadImage(IDirect3DSurface9* surface, const void* data, std::uint32_t size,
                                std::uint32_t width, std::uint32_t height, D3DCOLOR colorKey) {
  const RECT destination = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
  return LoadSurfaceFromFileInMemory(surface, &destination, data, size, colorKey);
}

bool CImageObject::GetImageInfo(const void* data, std::uint32_t size) {
  const codec::Result result = codec::GetImageInfoFromMemory(data, size, imageInfo_);
  if (codec::Succeeded(result)) return true;
  LogError("ファイルの読み込みに失敗しました [ %s ]", static_cast<ResultCode>(result));
  return false;
}

void CImageObject::LogError(const char* format, ResultCode result) {
  LogRed(format, GetErrorText(result));
  LogBreak();
}

void CImageObject::LogOutcome(bool succeeded) {
  if (succeeded) {
    LogGreen("Success!");
  } else {
    LogRed("Failed!");
  }
  LogBreak();
}

}  // namespace vela
