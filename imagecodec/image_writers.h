// The image file writers behind SaveToMemory. Each appends a whole file to `file`; they may throw
// std::bad_alloc (SaveToMemory catches it).
#pragma once

#include <cstdint>
#include <vector>

#include "imagecodec/argb_image.h"
#include "imagecodec/codec_types.h"

namespace vela::codec {

// `withAlpha` chooses 32-bit pixels with alpha over 24-bit ones.
void WriteBmp(const ArgbImage& image, bool withAlpha, std::vector<std::uint8_t>& file);
void WriteTga(const ArgbImage& image, bool withAlpha, std::vector<std::uint8_t>& file);
// False when libpng fails.
bool WritePng(const ArgbImage& image, bool withAlpha, std::vector<std::uint8_t>& file);
// The surface's own bytes behind a DDS header for its format; the view must have been checked.
void WriteDds(const ConstSurfaceView& surface, std::vector<std::uint8_t>& file);

// Little-endian appends shared by the writers.
inline void AppendLe16(std::vector<std::uint8_t>& file, std::uint32_t value) {
  file.push_back(static_cast<std::uint8_t>(value));
  file.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void AppendLe32(std::vector<std::uint8_t>& file, std::uint32_t value) {
  AppendLe16(file, value & 0xFFFF);
  AppendLe16(file, value >> 16);
}

}  // namespace vela::codec
