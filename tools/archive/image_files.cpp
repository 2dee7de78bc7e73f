#include "tools/archive/image_files.h"

#include <algorithm>

#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/imagecodec.h"
#include "imagecodec/surface_reader.h"
#include "tools/archive/file_io.h"

namespace vela::archive_tool {
namespace {

enum class ImageType { kUnknown, kBmp, kTga, kRawBgra };

ImageType TypeOf(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  if (extension == ".bmp") return ImageType::kBmp;
  if (extension == ".tga") return ImageType::kTga;
  if (extension == ".raw" || extension == ".bgra") return ImageType::kRawBgra;
  return ImageType::kUnknown;
}

std::string SizeLimits() {
  return std::to_string(codec::kMaxImageSide) + " pixels a side or " + std::to_string(codec::kMaxImagePixels) +
         " pixels in all";
}

// True for a codec success; otherwise false with `message`, or the one for memory.
bool Check(codec::Result result, const std::string& message, std::string& error) {
  if (codec::Succeeded(result)) return true;
  error = result == codec::Result::kOutOfMemory ? "not enough memory for the image" : message;
  return false;
}

std::string Unreadable(const char* type) {
  return std::string("cannot be read as a ") + type + " file (damaged, cut short, of a kind the image codec does not " +
         "take, or over " + SizeLimits() + ")";
}

bool DecodeRawBgra(const std::vector<std::uint8_t>& file, std::uint32_t width, std::uint32_t height,
                   codec::ArgbImage& image, std::string& error) {
  if (width == 0) {
    error = "raw BGRA images need --raw-size WIDTHxHEIGHT";
    return false;
  }
  if (file.size() != std::uint64_t{width} * height * 4) {
    error = "the raw file's size is not width x height x 4 bytes";
    return false;
  }
  const codec::ConstSurfaceView pixels(codec::PixelFormat::kA8R8G8B8, width, height,
                                       static_cast<std::ptrdiff_t>(width) * 4, file.data());
  return Check(codec::ReadSurface(pixels, image), "--raw-size is over " + SizeLimits(), error);
}

}  // namespace

bool ReadImageFile(const std::filesystem::path& path, std::uint32_t rawWidth, std::uint32_t rawHeight,
                   codec::ArgbImage& image, std::string& error) {
  std::vector<std::uint8_t> file;
  if (!ReadWholeFile(path, file, error)) return false;
  const codec::ByteSpan bytes(file.data(), file.size());
  constexpr codec::UndeclaredAlpha kAlpha = codec::UndeclaredAlpha::kStored;
  switch (TypeOf(path)) {
    case ImageType::kBmp:
      return Check(codec::DecodeBmp(bytes, image, kAlpha), Unreadable("BMP"), error);
    case ImageType::kTga:
      return Check(codec::DecodeTga(bytes, image, kAlpha), Unreadable("TGA"), error);
    case ImageType::kRawBgra:
      return DecodeRawBgra(file, rawWidth, rawHeight, image, error);
    default:
      error = "unknown image type (expected .bmp, .tga, .raw or .bgra)";
      return false;
  }
}

bool EncodeTga(const codec::ConstSurfaceView& pixels, std::vector<std::uint8_t>& file, std::string& error) {
  return Check(codec::SaveToMemory(codec::FileFormat::kTga, pixels, file),
               "too large for the image codec (over " + SizeLimits() + ")", error);
}

}  // namespace vela::archive_tool
