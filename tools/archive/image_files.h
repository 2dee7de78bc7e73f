// The image files the archive tool reads without an image library: BMP with 24- or 32-bit pixels
// (uncompressed or with bit-field masks), TGA with 24- or 32-bit true-colour pixels (raw or
// run-length encoded), and bare 32-bit BGRA pixels of a size given by the user. It writes TGA
// (32-bit, top row first) when it extracts QPK entries.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vela::archive_tool {

// Pixels as four bytes each in the order blue, green, red, alpha (QPK code 1), top row first.
struct Image {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> bgra;
};

// The largest side the tool accepts: the reader's DDS header keeps 16 bits of each side.
inline constexpr std::uint32_t kMaxImageSide = 65535;

// Each answers false with a message in `error` for what it cannot read.
bool DecodeBmp(std::span<const std::uint8_t> file, Image& image, std::string& error);
bool DecodeTga(std::span<const std::uint8_t> file, Image& image, std::string& error);
bool DecodeRawBgra(std::span<const std::uint8_t> file, std::uint32_t width, std::uint32_t height,
                   Image& image, std::string& error);

std::vector<std::uint8_t> EncodeTga(const Image& image);

}  // namespace vela::archive_tool
