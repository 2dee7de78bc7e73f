// Constants of the DDS file header, shared by the reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::codec::dds {

inline constexpr std::uint32_t kMagic = 0x20534444;  // "DDS "
inline constexpr std::uint32_t kHeaderSize = 124;
inline constexpr std::uint32_t kPixelFormatSize = 32;
inline constexpr std::uint32_t kDataOffset = 4 + kHeaderSize;

// Offsets from the start of the file.
inline constexpr std::size_t kSizeOffset = 4;
inline constexpr std::size_t kFlagsOffset = 8;
inline constexpr std::size_t kHeightOffset = 12;
inline constexpr std::size_t kWidthOffset = 16;
inline constexpr std::size_t kPitchOffset = 20;
inline constexpr std::size_t kDepthOffset = 24;
inline constexpr std::size_t kMipCountOffset = 28;
inline constexpr std::size_t kPixelFormatOffset = 76;
inline constexpr std::size_t kPixelFlagsOffset = 80;
inline constexpr std::size_t kFourCCOffset = 84;
inline constexpr std::size_t kBitCountOffset = 88;
inline constexpr std::size_t kRedMaskOffset = 92;
inline constexpr std::size_t kGreenMaskOffset = 96;
inline constexpr std::size_t kBlueMaskOffset = 100;
inline constexpr std::size_t kAlphaMaskOffset = 104;
inline constexpr std::size_t kCapsOffset = 108;
inline constexpr std::size_t kCaps2Offset = 112;

// Header flags.
inline constexpr std::uint32_t kCaps = 0x1, kHeight = 0x2, kWidth = 0x4, kPitch = 0x8;
inline constexpr std::uint32_t kPixelFormat = 0x1000, kMipMapCount = 0x20000;
inline constexpr std::uint32_t kLinearSize = 0x80000, kDepth = 0x800000;
// Pixel format flags.
inline constexpr std::uint32_t kAlphaPixels = 0x1, kAlphaOnly = 0x2, kFourCC = 0x4, kRgb = 0x40;
// Caps.
inline constexpr std::uint32_t kCapsTexture = 0x1000;
inline constexpr std::uint32_t kCaps2CubeMap = 0x200, kCaps2Volume = 0x200000;

}  // namespace vela::codec::dds
