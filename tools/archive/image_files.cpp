#include "tools/archive/image_files.h"

#include <bit>
#include <cstring>

#include "files/little_endian.h"

namespace vela::archive_tool {
namespace {

bool Fail(std::string& error, const char* message) {
  error = message;
  return false;
}

bool CheckSize(std::uint64_t width, std::uint64_t height, std::string& error) {
  if (width == 0 || height == 0) return Fail(error, "the image has no pixels");
  if (width > kMaxImageSide || height > kMaxImageSide) {
    return Fail(error, "the image is wider or taller than 65535 pixels");
  }
  return true;
}

void Allocate(Image& image, std::uint32_t width, std::uint32_t height) {
  image.width = width;
  image.height = height;
  image.bgra.assign(std::size_t{width} * height * 4, 0);
}

// One channel of a bit-field pixel scaled to 8 bits; `fallback` when the mask is empty.
std::uint8_t MaskedChannel(std::uint32_t pixel, std::uint32_t mask, std::uint8_t fallback) {
  if (mask == 0) return fallback;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;  // masks need not be contiguous; scale by their span
  const std::uint64_t value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> file, Image& image, std::string& error) {
  constexpr std::size_t kFileHeader = 14;
  if (file.size() < kFileHeader + 40 || file[0] != 'B' || file[1] != 'M') {
    return Fail(error, "not a BMP file with a Windows info header");
  }
  const std::uint8_t* info = file.data() + kFileHeader;
  const std::uint32_t infoSize = LoadU32(info);
  const auto width = static_cast<std::int32_t>(LoadU32(info + 4));
  const auto height = static_cast<std::int32_t>(LoadU32(info + 8));
  const std::uint16_t bits = LoadU16(info + 14);
  const std::uint32_t compression = LoadU32(info + 16);
  const std::uint32_t pixelsAt = LoadU32(file.data() + 10);
  if (infoSize < 40 || infoSize > file.size() - kFileHeader) return Fail(error, "damaged BMP header");
  if (bits != 24 && bits != 32) return Fail(error, "only 24- and 32-bit BMP files can be read");

  // Masks of blue, green, red, alpha; for BI_BITFIELDS from the header or just behind it.
  std::uint32_t masks[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, bits == 32 ? 0xFF000000u : 0};
  if (compression == 3 && bits == 32) {
    const std::size_t at = kFileHeader + 40;
    if (file.size() < at + 12) return Fail(error, "damaged BMP header");
    masks[2] = LoadU32(file.data() + at);
    masks[1] = LoadU32(file.data() + at + 4);
    masks[0] = LoadU32(file.data() + at + 8);
    masks[3] = infoSize >= 56 ? LoadU32(file.data() + at + 12) : 0;
  } else if (compression != 0) {
    return Fail(error, "compressed BMP files cannot be read");
  }

  const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
  if (width <= 0) return Fail(error, "damaged BMP size");
  if (!CheckSize(static_cast<std::uint32_t>(width), static_cast<std::uint64_t>(rows), error)) return false;
  const std::uint64_t stride = (std::uint64_t{static_cast<std::uint32_t>(width)} * bits + 31) / 32 * 4;
  if (pixelsAt > file.size() || stride * rows > file.size() - pixelsAt) {
    return Fail(error, "the BMP file ends inside its pixels");
  }

  Allocate(image, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(rows));
  bool anyAlpha = false;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const std::uint32_t fileRow = height < 0 ? y : image.height - 1 - y;  // bottom-up unless negative
    const std::uint8_t* in = file.data() + pixelsAt + fileRow * stride;
    std::uint8_t* out = image.bgra.data() + std::size_t{y} * image.width * 4;
    for (std::uint32_t x = 0; x < image.width; ++x, out += 4) {
      const std::uint32_t pixel = bits == 32 ? LoadU32(in + 4 * x)
                                             : in[3 * x] | (in[3 * x + 1] << 8) | (in[3 * x + 2] << 16);
      for (int c = 0; c < 4; ++c) out[c] = MaskedChannel(pixel, masks[c], 255);
      anyAlpha |= masks[3] != 0 && out[3] != 0;
    }
  }
  // Most 32-bit BMP writers leave the fourth byte 0: such an image is opaque, not invisible.
  if (!anyAlpha) {
    for (std::size_t i = 3; i < image.bgra.size(); i += 4) image.bgra[i] = 255;
  }
  return true;
}

bool DecodeTga(std::span<const std::uint8_t> file, Image& image, std::string& error) {
  constexpr std::size_t kHeader = 18;
  if (file.size() < kHeader) return Fail(error, "not a TGA file");
  const std::uint8_t idLength = file[0];
  const std::uint8_t mapType = file[1];
  const std::uint8_t type = file[2];
  const std::uint16_t mapLength = LoadU16(&file[5]);
  const std::uint8_t mapBits = file[7];
  const std::uint16_t width = LoadU16(&file[12]);
  const std::uint16_t height = LoadU16(&file[14]);
  const std::uint8_t bits = file[16];
  const std::uint8_t descriptor = file[17];
  if (mapType > 1 || (type != 2 && type != 10)) {
    return Fail(error, "only true-colour TGA files (raw or RLE) can be read");
  }
  if (bits != 24 && bits != 32) return Fail(error, "only 24- and 32-bit TGA files can be read");
  if (!CheckSize(width, height, error)) return false;

  const std::size_t bytesPerPixel = bits / 8;
  std::size_t at = kHeader + idLength + (mapType ? std::size_t{mapLength} * ((mapBits + 7) / 8) : 0);
  const std::size_t pixels = std::size_t{width} * height;
  std::vector<std::uint8_t> stored(pixels * 4, 255);
  std::size_t done = 0;
  const auto take = [&](std::size_t count, bool repeat) {
    const std::size_t need = repeat ? bytesPerPixel : count * bytesPerPixel;
    if (at > file.size() || need > file.size() - at) return false;
    for (std::size_t i = 0; i < count; ++i) {
      std::memcpy(&stored[(done + i) * 4], &file[at + (repeat ? 0 : i * bytesPerPixel)], bytesPerPixel);
    }
    at += need;
    done += count;
    return true;
  };
  if (type == 2) {
    if (!take(pixels, false)) return Fail(error, "the TGA file ends inside its pixels");
  }
  while (done < pixels) {
    if (at >= file.size()) return Fail(error, "the TGA file ends inside its pixels");
    const std::uint8_t packet = file[at++];
    const std::size_t count = (packet & 0x7F) + 1u;
    if (count > pixels - done) return Fail(error, "a TGA run goes past the last pixel");
    if (!take(count, (packet & 0x80) != 0)) return Fail(error, "the TGA file ends inside its pixels");
  }

  Allocate(image, width, height);
  const bool topFirst = (descriptor & 0x20) != 0;
  const bool rightFirst = (descriptor & 0x10) != 0;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t sx = rightFirst ? width - 1 - x : x;
      const std::uint32_t sy = topFirst ? y : height - 1 - y;
      std::memcpy(&image.bgra[(std::size_t{y} * width + x) * 4], &stored[(std::size_t{sy} * width + sx) * 4], 4);
    }
  }
  return true;
}

bool DecodeRawBgra(std::span<const std::uint8_t> file, std::uint32_t width, std::uint32_t height,
                   Image& image, std::string& error) {
  if (!CheckSize(width, height, error)) return false;
  if (file.size() != std::uint64_t{width} * height * 4) {
    return Fail(error, "the raw file's size is not width x height x 4 bytes");
  }
  image.width = width;
  image.height = height;
  image.bgra.assign(file.begin(), file.end());
  return true;
}

std::vector<std::uint8_t> EncodeTga(const Image& image) {
  constexpr std::size_t kHeader = 18;
  std::vector<std::uint8_t> out(kHeader + image.bgra.size(), 0);
  out[2] = 2;  // uncompressed true colour
  StoreU16(&out[12], static_cast<std::uint16_t>(image.width));
  StoreU16(&out[14], static_cast<std::uint16_t>(image.height));
  out[16] = 32;
  out[17] = 0x28;  // 8 alpha bits, top row first
  if (!image.bgra.empty()) std::memcpy(&out[kHeader], image.bgra.data(), image.bgra.size());
  return out;
}

}  // namespace vela::archive_tool
