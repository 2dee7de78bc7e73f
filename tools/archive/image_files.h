// The pictures of vela-archive, read and written through the image codec: the BMP and TGA files
// and the bare 32-bit BGRA pixels that the qpk command takes, and the 32-bit TGA files that
// extract writes of QPK entries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imagecodec/argb_image.h"
#include "imagecodec/codec_types.h"

namespace vela::archive_tool {

// Told apart by the extension, ignoring case: .bmp, .tga, or .raw and .bgra (pixels of
// rawWidth x rawHeight, 0 when the user gave no size). BMP and TGA alpha is read as image
// editors store it (codec::UndeclaredAlpha::kStored). False with a message in `error`.
bool ReadImageFile(const std::filesystem::path& path, std::uint32_t rawWidth, std::uint32_t rawHeight,
                   codec::ArgbImage& image, std::string& error);

// An uncompressed 32-bit TGA file, top row first, of A8R8G8B8 pixels. False with a message in
// `error` for pixels the codec cannot convert.
bool EncodeTga(const codec::ConstSurfaceView& pixels, std::vector<std::uint8_t>& file, std::string& error);

}  // namespace vela::archive_tool
