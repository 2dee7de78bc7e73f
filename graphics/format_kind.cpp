#include "graphics/format_kind.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace vela {
namespace {

using namespace format;

constexpr std::array kTextureCandidates = {
    kR5G6B5,      kX1R5G5B5,      kA1R5G5B5,     kA4R4G4B4,     kR8G8B8,      kA8R8G8B8,
    kX8R8G8B8,    kR3G3B2,        kA8,           kA8R3G3B2,     kX4R4G4B4,    kA2B10G10R10,
    kA2R10G10B10, kA16B16G16R16,  kA8P8,         kP8,           kL8,          kL16,
    kA8L8,        kA4L4,          kV8U8,         kQ8W8V8U8,     kV16U16,      kQ16W16V16U16,
    kCxV8U8,      kL6V5U5,        kX8L8V8U8,     kA2W10V10U10,  kG8R8_G8B8,   kR8G8_B8G8,
    kDXT5,        kDXT4,          kDXT3,         kDXT2,         kDXT1,        kUYVY,
    kYUY2,        kD16Lockable,   kD32,          kD15S1,        kD24S8,       kD24X8,
    kD24X4S4,     kD32FLockable,  kD24FS8,       kD16,          kVertexData,  kIndex16,
    kIndex32,     kR16F,          kG16R16F,      kA16B16G16R16F, kR32F,       kG32R32F,
    kA32B32G32R32F, kG16R16,
};
static_assert(kTextureCandidates.size() == 56);

constexpr std::array kDepthCandidates = {kD16, kD32, kD24S8, kD24X8, kD24X4S4, kD24FS8, kD15S1};

FormatCode FirstAccepted(std::initializer_list<FormatCode> candidates,
                         std::span<const FormatCode> accepted) {
  for (FormatCode candidate : candidates) {
    if (std::find(accepted.begin(), accepted.end(), candidate) != accepted.end()) return candidate;
  }
  return kUnknown;
}

FormatCode FirstResolved(std::initializer_list<std::int32_t> kinds, const AcceptedFormats& accepted) {
  for (std::int32_t kind : kinds) {
    if (FormatCode found = ResolveFormatKind(kind, kUnknown, accepted); found != kUnknown) {
      return found;
    }
  }
  return kUnknown;
}

}  // namespace

FormatCode ResolveFormatKind(std::int32_t kind, FormatCode given, const AcceptedFormats& accepted) {
  switch (kind) {
    case FORMAT_GIVEN: return given;
    case FORMAT_DEPTH16: return FirstAccepted({kD16Lockable, kD16, kD15S1}, accepted.depth);
    case FORMAT_DEPTH32:
      return FirstAccepted({kD32, kD24S8, kD24X8, kD24X4S4, kD24FS8}, accepted.depth);
    case FORMAT_DEPTHSTENCIL: return FirstAccepted({kD24S8, kD24X4S4, kD24FS8, kD15S1}, accepted.depth);
    case FORMAT_DXT1: return FirstAccepted({kDXT1}, accepted.texture);
    case FORMAT_DXT3: return FirstAccepted({kDXT3, kDXT1}, accepted.texture);
    case FORMAT_DXT5: return FirstAccepted({kDXT5, kDXT3, kDXT1}, accepted.texture);
    case FORMAT_BACKBUFFER: return accepted.windowed ? accepted.desktop : accepted.fullScreen16;
    case FORMAT_TARGET16:
      return FirstAccepted({kA4R4G4B4, kA1R5G5B5, kX1R5G5B5}, accepted.renderTarget);
    case FORMAT_TARGET32: return FirstAccepted({kA8R8G8B8, kX8R8G8B8}, accepted.renderTarget);
    case FORMAT_TARGETFLOAT:
      return FirstAccepted({kA32B32G32R32F, kA16B16G16R16F}, accepted.renderTarget);
    case FORMAT_ALPHAONLY:
      return FirstAccepted({kA8, kA8R3G3B2, kA8R8G8B8, kA4R4G4B4}, accepted.texture);
    case FORMAT_TEXTURE32: return FirstAccepted({kA8R8G8B8}, accepted.texture);
    case FORMAT_TEXTURE16: return FirstAccepted({kA4R4G4B4, kA1R5G5B5, kA8R3G3B2}, accepted.texture);
    case FORMAT_TEXTURE:
      return FirstResolved({FORMAT_TEXTURE32, FORMAT_TEXTURE16, FORMAT_DXT5, FORMAT_DXT3}, accepted);
    case FORMAT_TEXTURE_COMPRESSED:
      return FirstResolved({FORMAT_DXT5, FORMAT_DXT3, FORMAT_TEXTURE32, FORMAT_TEXTURE16}, accepted);
    default: return kUnknown;
  }
}

std::span<const FormatCode> TextureFormatCandidates() { return kTextureCandidates; }
std::span<const FormatCode> DepthFormatCandidates() { return kDepthCandidates; }

}  // namespace vela
