// The name table of the Direct3D 9 formats that the library logs.
#include <array>

#include "graphics/format_codes.h"

namespace vela {
namespace {

struct NamedFormat {
  FormatCode code;
  const char* name;
};

using namespace format;

constexpr std::array kFormatNames = {
    NamedFormat{kUnknown, "UNKNOWN"},
    NamedFormat{kR8G8B8, "R8G8B8"},
    NamedFormat{kA8R8G8B8, "A8R8G8B8"},
    NamedFormat{kX8R8G8B8, "X8R8G8B8"},
    NamedFormat{kR5G6B5, "R5G6B5"},
    NamedFormat{kX1R5G5B5, "X1R5G5B5"},
    NamedFormat{kA1R5G5B5, "A1R5G5B5"},
    NamedFormat{kA4R4G4B4, "A4R4G4B4"},
    NamedFormat{kR3G3B2, "R3G3B2"},
    NamedFormat{kA8, "A8"},
    NamedFormat{kA8R3G3B2, "A8R3G3B2"},
    NamedFormat{kX4R4G4B4, "X4R4G4B4"},
    NamedFormat{kA2B10G10R10, "A2B10G10R10"},
    NamedFormat{kA8B8G8R8, "A8B8G8R8"},
    NamedFormat{kX8B8G8R8, "X8B8G8R8"},
    NamedFormat{kG16R16, "G16R16"},
    NamedFormat{kA2R10G10B10, "A2R10G10B10"},
    NamedFormat{kA16B16G16R16, "A16B16G16R16"},
    NamedFormat{kA8P8, "A8P8"},
    NamedFormat{kP8, "P8"},
    NamedFormat{kL8, "L8"},
    NamedFormat{kA8L8, "A8L8"},
    NamedFormat{kA4L4, "A4L4"},
    NamedFormat{kV8U8, "V8U8"},
    NamedFormat{kL6V5U5, "L6V5U5"},
    NamedFormat{kX8L8V8U8, "X8L8V8U8"},
    NamedFormat{kQ8W8V8U8, "Q8W8V8U8"},
    NamedFormat{kV16U16, "V16U16"},
    NamedFormat{kA2W10V10U10, "A2W10V10U10"},
    NamedFormat{kD16Lockable, "D16_LOCKABLE"},
    NamedFormat{kD32, "D32"},
    NamedFormat{kD15S1, "D15S1"},
    NamedFormat{kD24S8, "D24S8"},
    NamedFormat{kD24X8, "D24X8"},
    NamedFormat{kD24X4S4, "D24X4S4"},
    NamedFormat{kD16, "D16"},
    NamedFormat{kL16, "L16"},
    NamedFormat{kD32FLockable, "D32F_LOCKABLE"},
    NamedFormat{kD24FS8, "D24FS8"},
    NamedFormat{kVertexData, "VERTEXDATA"},
    NamedFormat{kIndex16, "INDEX16"},
    NamedFormat{kIndex32, "INDEX32"},
    NamedFormat{kQ16W16V16U16, "Q16W16V16U16"},
    NamedFormat{kR16F, "R16F"},
    NamedFormat{kG16R16F, "G16R16F"},
    NamedFormat{kA16B16G16R16F, "A16B16G16R16F"},
    NamedFormat{kR32F, "R32F"},
    NamedFormat{kG32R32F, "G32R32F"},
    NamedFormat{kA32B32G32R32F, "A32B32G32R32F"},
    NamedFormat{kCxV8U8, "CxV8U8"},
    NamedFormat{kUYVY, "UYVY"},
    NamedFormat{kR8G8_B8G8, "R8G8_B8G8"},
    NamedFormat{kYUY2, "YUY2"},
    NamedFormat{kG8R8_G8B8, "G8R8_G8B8"},
    NamedFormat{kDXT1, "DXT1"},
    NamedFormat{kDXT2, "DXT2"},
    NamedFormat{kDXT3, "DXT3"},
    NamedFormat{kDXT4, "DXT4"},
    NamedFormat{kDXT5, "DXT5"},
};

}  // namespace

const char* FindFormatName(FormatCode format) {
  for (const NamedFormat& entry : kFormatNames) {
    if (entry.code == format) return entry.name;
  }
  return nullptr;
}

}  // namespace vela
