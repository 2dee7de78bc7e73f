// SaveToMemory: the surface read into A8R8G8B8 and written by the chosen file writer (see
// imagecodec.h).
#include <new>

#include "imagecodec/image_writers.h"
#include "imagecodec/imagecodec.h"
#include "imagecodec/pixel_format.h"
#include "imagecodec/surface_reader.h"

namespace vela::codec {
namespace {

// Packed formats carry alpha when they have an alpha channel; block formats when a pixel uses it.
bool NeedsAlpha(const FormatLayout& layout, const ArgbImage& image) {
  if (!IsBlockCompressed(layout)) return layout.a.bits != 0;
  const std::uint32_t* pixel = image.pixels();
  for (std::size_t i = 0; i < image.pixelCount(); ++i) {
    if ((pixel[i] >> 24) != 0xFF) return true;
  }
  return false;
}

Result Save(FileFormat format, const ConstSurfaceView& surface, std::vector<std::uint8_t>& file) {
  if (const Result checked = CheckSurfaceView(surface); !Succeeded(checked)) return checked;
  if (format == FileFormat::kDds) {
    WriteDds(surface, file);
    return Result::kOk;
  }
  if (format != FileFormat::kBmp && format != FileFormat::kPng && format != FileFormat::kTga) {
    return Result::kNotImplemented;
  }
  ArgbImage image;
  if (const Result read = ReadSurface(surface, image); !Succeeded(read)) return read;
  const bool withAlpha = NeedsAlpha(*FindFormatLayout(surface.format), image);
  switch (format) {
    case FileFormat::kBmp:
      WriteBmp(image, withAlpha, file);
      return Result::kOk;
    case FileFormat::kTga:
      WriteTga(image, withAlpha, file);
      return Result::kOk;
    default:
      return WritePng(image, withAlpha, file) ? Result::kOk : Result::kFail;
  }
}

}  // namespace

Result SaveToMemory(FileFormat format, const ConstSurfaceView& surface,
                    std::vector<std::uint8_t>& file) noexcept {
  try {
    file.clear();
    const Result saved = Save(format, surface, file);
    if (!Succeeded(saved)) file.clear();
    return saved;
  } catch (const std::bad_alloc&) {
    file.clear();
    return Result::kOutOfMemory;
  } catch (...) {
    file.clear();
    return Result::kFail;
  }
}

}  // namespace vela::codec
