// Direct3D 9 format codes as plain numbers, so that the format tables and the format-kind
// resolver build without the Direct3D headers (natively too). The values are the D3DFORMAT
// enumerators; the Direct3D side checks them against the SDK headers at compile time.
#pragma once

#include <cstdint>

namespace vela {

using FormatCode = std::uint32_t;

constexpr FormatCode MakeFourCC(char a, char b, char c, char d) {
  return static_cast<FormatCode>(static_cast<unsigned char>(a)) |
         static_cast<FormatCode>(static_cast<unsigned char>(b)) << 8 |
         static_cast<FormatCode>(static_cast<unsigned char>(c)) << 16 |
         static_cast<FormatCode>(static_cast<unsigned char>(d)) << 24;
}

namespace format {
inline constexpr FormatCode kUnknown = 0;
inline constexpr FormatCode kR8G8B8 = 20;
inline constexpr FormatCode kA8R8G8B8 = 21;
inline constexpr FormatCode kX8R8G8B8 = 22;
inline constexpr FormatCode kR5G6B5 = 23;
inline constexpr FormatCode kX1R5G5B5 = 24;
inline constexpr FormatCode kA1R5G5B5 = 25;
inline constexpr FormatCode kA4R4G4B4 = 26;
inline constexpr FormatCode kR3G3B2 = 27;
inline constexpr FormatCode kA8 = 28;
inline constexpr FormatCode kA8R3G3B2 = 29;
inline constexpr FormatCode kX4R4G4B4 = 30;
inline constexpr FormatCode kA2B10G10R10 = 31;
inline constexpr FormatCode kA8B8G8R8 = 32;
inline constexpr FormatCode kX8B8G8R8 = 33;
inline constexpr FormatCode kG16R16 = 34;
inline constexpr FormatCode kA2R10G10B10 = 35;
inline constexpr FormatCode kA16B16G16R16 = 36;
inline constexpr FormatCode kA8P8 = 40;
inline constexpr FormatCode kP8 = 41;
inline constexpr FormatCode kL8 = 50;
inline constexpr FormatCode kA8L8 = 51;
inline constexpr FormatCode kA4L4 = 52;
inline constexpr FormatCode kV8U8 = 60;
inline constexpr FormatCode kL6V5U5 = 61;
inline constexpr FormatCode kX8L8V8U8 = 62;
inline constexpr FormatCode kQ8W8V8U8 = 63;
inline constexpr FormatCode kV16U16 = 64;
inline constexpr FormatCode kA2W10V10U10 = 67;
inline constexpr FormatCode kD16Lockable = 70;
inline constexpr FormatCode kD32 = 71;
inline constexpr FormatCode kD15S1 = 73;
inline constexpr FormatCode kD24S8 = 75;
inline constexpr FormatCode kD24X8 = 77;
inline constexpr FormatCode kD24X4S4 = 79;
inline constexpr FormatCode kD16 = 80;
inline constexpr FormatCode kL16 = 81;
inline constexpr FormatCode kD32FLockable = 82;
inline constexpr FormatCode kD24FS8 = 83;
inline constexpr FormatCode kVertexData = 100;
inline constexpr FormatCode kIndex16 = 101;
inline constexpr FormatCode kIndex32 = 102;
inline constexpr FormatCode kQ16W16V16U16 = 110;
inline constexpr FormatCode kR16F = 111;
inline constexpr FormatCode kG16R16F = 112;
inline constexpr FormatCode kA16B16G16R16F = 113;
inline constexpr FormatCode kR32F = 114;
inline constexpr FormatCode kG32R32F = 115;
inline constexpr FormatCode kA32B32G32R32F = 116;
inline constexpr FormatCode kCxV8U8 = 117;
inline constexpr FormatCode kUYVY = MakeFourCC('U', 'Y', 'V', 'Y');
inline constexpr FormatCode kR8G8_B8G8 = MakeFourCC('R', 'G', 'B', 'G');
inline constexpr FormatCode kYUY2 = MakeFourCC('Y', 'U', 'Y', '2');
inline constexpr FormatCode kG8R8_G8B8 = MakeFourCC('G', 'R', 'G', 'B');
inline constexpr FormatCode kDXT1 = MakeFourCC('D', 'X', 'T', '1');
inline constexpr FormatCode kDXT2 = MakeFourCC('D', 'X', 'T', '2');
inline constexpr FormatCode kDXT3 = MakeFourCC('D', 'X', 'T', '3');
inline constexpr FormatCode kDXT4 = MakeFourCC('D', 'X', 'T', '4');
inline constexpr FormatCode kDXT5 = MakeFourCC('D', 'X', 'T', '5');
}  // namespace format

// The enumerator name without its D3DFMT_ prefix ("X8R8G8B8", "DXT1"); null for a value
// outside the table.
const char* FindFormatName(FormatCode format);

}  // namespace vela
