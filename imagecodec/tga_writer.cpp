// TGA output: uncompressed true colour, 24-bit, or 32-bit with 8 alpha bits; rows top-down.
#include "imagecodec/image_writers.h"

namespace vela::codec {

void WriteTga(const ArgbImage& image, bool withAlpha, std::vector<std::uint8_t>& file) {
  file.reserve(file.size() + 18 + image.pixelCount() * (withAlpha ? 4 : 3));
  file.push_back(0);  // no image id
  file.push_back(0);  // no colour map
  file.push_back(2);  // uncompressed true colour
  file.insert(file.end(), 5, 0);  // colour map: first entry, length, entry size
  AppendLe16(file, 0);  // x origin
  AppendLe16(file, 0);  // y origin
  AppendLe16(file, image.width());
  AppendLe16(file, image.height());
  file.push_back(withAlpha ? 32 : 24);
  file.push_back(static_cast<std::uint8_t>(0x20 | (withAlpha ? 8 : 0)));  // top-down, alpha bits
  for (std::uint32_t y = 0; y < image.height(); ++y) {
    const std::uint32_t* row = image.Row(y);
    for (std::uint32_t x = 0; x < image.width(); ++x) {
      file.push_back(static_cast<std::uint8_t>(row[x]));
      file.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      file.push_back(static_cast<std::uint8_t>(row[x] >> 16));
      if (withAlpha) file.push_back(static_cast<std::uint8_t>(row[x] >> 24));
    }
  }
}

}  // namespace vela::codec
