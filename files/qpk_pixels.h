// Pixels of QPK image archives: the format codes, their sizes, conversion among them, ordered
// dithering for reduction to 4 and 5 bits, and the DDS header that the QPK reader puts in front
// of its 32-bit pixels.
//
// Codes (pixels row by row without padding; four channels c0..c3 each):
//   0  one u16 per pixel: c0 in bits 12-15, c1 in 8-11, c2 in 4-7, c3 in 0-3
//   1  four bytes c0, c1, c2, c3 (as a little-endian word: A8R8G8B8, c0 blue ... c3 alpha)
//   2  four u16
//   3  four 32-bit floats, 0.0 to 1.0
//   4-7 the same pixels as code - 4, stored as a raw LZSS stream
// Codes above 7 have no pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vela::qpk {

inline constexpr std::uint32_t kCodeNibbles = 0;
inline constexpr std::uint32_t kCodeBytes = 1;
inline constexpr std::uint32_t kCodeWords = 2;
inline constexpr std::uint32_t kCodeFloats = 3;
inline constexpr std::uint32_t kCompressedBase = 4;
inline constexpr std::uint32_t kLastCode = 7;

// 2, 4, 8 or 16 for codes 0-7; 0 above.
std::uint32_t BytesPerPixel(std::uint32_t code);

// width x height x bytes per pixel, exact (no 32-bit wrap).
std::uint64_t GetDataSize(std::uint32_t width, std::uint32_t height, std::uint32_t code);

bool IsCompressed(std::uint32_t code);

// Converts every channel of every pixel separately (codes 4-7 count as 0-3):
//   to 4 bits:  c x 15 / 255, c x 15 / 65535, or c x 15.0 truncated
//   to 8 bits:  c x 17, c x 255 / 65535, or c x 255.0 truncated
//   to 16 bits: c x 65535 / 15, c x 65535 / 255, or c x 65535.0 truncated
//   to float:   c / 15, c / 255, c / 65535
// Integer divisions truncate. A float is truncated as the x86 conversion instruction does (NaN
// and values beyond 32 bits give 0x80000000) and its low bits are stored, so values outside
// 0.0-1.0 wrap instead of saturating. Writes nothing and answers false when a code is above 7
// or a buffer is shorter than the pixels need.
bool Convert(std::uint32_t width, std::uint32_t height, std::uint32_t sourceCode,
             std::span<const std::uint8_t> source, std::uint32_t destinationCode,
             std::span<std::uint8_t> destination);

// Ordered 4 x 4 dithering of an 8-bit value at pixel (x, y): the answer (0 to 255) shifted right
// by 4 or by 3 gives the reduced value.
std::uint32_t Dither4(std::uint32_t value, std::uint32_t x, std::uint32_t y);
std::uint32_t Dither5(std::uint32_t value, std::uint32_t x, std::uint32_t y);

// The 128-byte header of a DDS file with uncompressed 32-bit A8R8G8B8 pixels.
inline constexpr std::size_t kDdsHeaderSize = 128;
void WriteDdsHeader(std::uint32_t width, std::uint32_t height, std::span<std::uint8_t, kDdsHeaderSize> out);

}  // namespace vela::qpk
