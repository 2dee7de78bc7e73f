// BMP output: 24-bit rows with a version-1 info header, or 32-bit rows with a version-4 header
// whose bit fields name the alpha byte, so that readers keep the alpha. Rows bottom-up.
#include "imagecodec/image_writers.h"

namespace vela::codec {

void WriteBmp(const ArgbImage& image, bool withAlpha, std::vector<std::uint8_t>& file) {
  const std::uint32_t infoSize = withAlpha ? 108 : 40;
  const std::uint32_t stride = withAlpha ? image.width() * 4 : (image.width() * 3 + 3) / 4 * 4;
  const std::uint32_t dataOffset = 14 + infoSize;
  const std::uint32_t dataSize = stride * image.height();
  file.reserve(file.size() + dataOffset + dataSize);
  file.push_back('B');
  file.push_back('M');
  AppendLe32(file, dataOffset + dataSize);
  AppendLe32(file, 0);
  AppendLe32(file, dataOffset);
  AppendLe32(file, infoSize);
  AppendLe32(file, image.width());
  AppendLe32(file, image.height());
  AppendLe16(file, 1);                   // planes
  AppendLe16(file, withAlpha ? 32 : 24);
  AppendLe32(file, withAlpha ? 3 : 0);  // BI_BITFIELDS or BI_RGB
  AppendLe32(file, dataSize);
  AppendLe32(file, 2835);  // 72 dots per inch
  AppendLe32(file, 2835);
  AppendLe32(file, 0);
  AppendLe32(file, 0);
  if (withAlpha) {
    AppendLe32(file, 0x00FF0000);
    AppendLe32(file, 0x0000FF00);
    AppendLe32(file, 0x000000FF);
    AppendLe32(file, 0xFF000000);
    AppendLe32(file, 0x73524742);  // 'sRGB' colour space
    file.insert(file.end(), 36 + 12, 0);  // end points and gamma, unused with sRGB
  }
  for (std::uint32_t y = image.height(); y-- > 0;) {
    const std::uint32_t* row = image.Row(y);
    const std::size_t rowStart = file.size();
    for (std::uint32_t x = 0; x < image.width(); ++x) {
      file.push_back(static_cast<std::uint8_t>(row[x]));
      file.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      file.push_back(static_cast<std::uint8_t>(row[x] >> 16));
      if (withAlpha) file.push_back(static_cast<std::uint8_t>(row[x] >> 24));
    }
    file.resize(rowStart + stride, 0);
  }
}

}  // namespace vela::codec
