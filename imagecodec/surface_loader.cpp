// GetImageInfoFromMemory and LoadSurfaceFromMemory: file recognition, colour key, scaling and
// the write into the destination format (see imagecodec.h).
#include <algorithm>
#include <cstring>
#include <new>

#include "imagecodec/image_file.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/imagecodec.h"
#include "imagecodec/pixel_format.h"
#include "imagecodec/row_source.h"
#include "imagecodec/surface_writer.h"

namespace vela::codec {
namespace {

// A source whose pixels of the key colour read as transparent black.
class KeyedRows final : public RowSource {
 public:
  KeyedRows(RowSource& source, std::uint32_t colorKey)
      : RowSource(source.width(), source.height()), source_(source), colorKey_(colorKey) {}
  bool ReadRow(std::uint32_t* out) override {
    if (!source_.ReadRow(out)) return false;
    std::replace(out, out + width_, colorKey_, 0u);
    return true;
  }

 private:
  RowSource& source_;
  std::uint32_t colorKey_;
};

// Copies a DDS file's top level unchanged when it already is what the rectangle needs; false
// when it is not (the caller then decodes and converts).
bool CopySameFormat(ByteSpan file, const SurfaceView& destination, const PixelRect& rect) {
  ConstSurfaceView source;
  if (!LooksLikeDds(file) || !Succeeded(ViewDdsSurface(file, source))) return false;
  if (source.format != destination.format || source.width != rect.right - rect.left ||
      source.height != rect.bottom - rect.top) {
    return false;
  }
  const FormatLayout& layout = *FindFormatLayout(source.format);
  std::size_t rowBytes = 0;
  MinimumPitch(layout, source.width, rowBytes);
  const std::size_t firstByte = IsBlockCompressed(layout) ? rect.left / 4 * layout.bytesPerBlock
                                                          : static_cast<std::size_t>(rect.left) * layout.bytesPerPixel;
  const std::uint32_t firstRow = IsBlockCompressed(layout) ? rect.top / 4 : rect.top;
  for (std::uint32_t row = 0; row < StorageRows(layout, source.height); ++row) {
    std::memcpy(destination.bits + static_cast<std::ptrdiff_t>(firstRow + row) * destination.pitch + firstByte,
                source.bits + static_cast<std::ptrdiff_t>(row) * source.pitch, rowBytes);
  }
  return true;
}

Result Load(const SurfaceView& destination, const PixelRect* destinationRect, ByteSpan file,
            std::uint32_t colorKey) {
  const PixelRect rect = destinationRect ? *destinationRect : PixelRect{0, 0, destination.width, destination.height};
  if (const Result checked = CheckDestination(destination, rect); !Succeeded(checked)) return checked;
  if (file.size == 0) return Result::kInvalidCall;
  if (colorKey == 0 && CopySameFormat(file, destination, rect)) return Result::kOk;
  std::unique_ptr<RowSource> source;
  const Result opened = OpenRowSource(file, rect.right - rect.left, rect.bottom - rect.top, source);
  if (!Succeeded(opened)) return opened;
  if (colorKey == 0) return WriteImage(*source, destination, rect, EncoderThreads::kPool);
  KeyedRows keyed(*source, colorKey);
  return WriteImage(keyed, destination, rect, EncoderThreads::kPool);
}

}  // namespace

Result GetImageInfoFromMemory(const void* data, std::size_t size, ImageInfo& info) noexcept {
  if (!data || size == 0) return Result::kInvalidCall;
  try {
    return ReadImageInfo(ByteSpan(data, size), info);
  } catch (const std::bad_alloc&) {
    return Result::kOutOfMemory;
  } catch (...) {
    return Result::kFail;
  }
}

Result LoadSurfaceFromMemory(const SurfaceView& destination, const PixelRect* destinationRect,
                             const void* data, std::size_t size, std::uint32_t colorKey) noexcept {
  if (!data) return Result::kInvalidCall;
  try {
    return Load(destination, destinationRect, ByteSpan(data, size), colorKey);
  } catch (const std::bad_alloc&) {
    return Result::kOutOfMemory;
  } catch (...) {
    return Result::kFail;
  }
}

}  // namespace vela::codec
