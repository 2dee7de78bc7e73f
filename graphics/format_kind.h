// Format kinds: the small integers that creation operations pass instead of a concrete
// Direct3D format. Each kind names an ordered list of candidates; the resolver answers the
// first candidate that the adapter accepted (found during enumeration), or 0 (UNKNOWN).
#pragma once

#include <cstdint>
#include <span>

#include "graphics/format_codes.h"

namespace vela {

enum FormatKind : std::int32_t {
  FORMAT_GIVEN = 0,
  FORMAT_DEPTH16 = 1,
  FORMAT_DEPTH32 = 2,
  FORMAT_DEPTHSTENCIL = 3,
  FORMAT_DXT1 = 4,
  FORMAT_DXT3 = 5,
  FORMAT_DXT5 = 6,
  FORMAT_BACKBUFFER = 7,
  FORMAT_TARGET16 = 8,
  FORMAT_TARGET32 = 9,
  FORMAT_TARGETFLOAT = 10,
  FORMAT_ALPHAONLY = 11,
  FORMAT_TEXTURE32 = 12,
  FORMAT_TEXTURE16 = 13,
  FORMAT_TEXTURE = 14,
  FORMAT_TEXTURE_COMPRESSED = 15,
};

// What the adapter accepted, as enumerated at start-up, and the back-buffer formats.
struct AcceptedFormats {
  std::span<const FormatCode> texture;
  std::span<const FormatCode> renderTarget;
  std::span<const FormatCode> depth;
  FormatCode desktop = format::kUnknown;
  FormatCode fullScreen16 = format::kUnknown;
  bool windowed = true;
};

// The concrete format for a kind; `given` is answered unchanged for FORMAT_GIVEN.
FormatCode ResolveFormatKind(std::int32_t kind, FormatCode given, const AcceptedFormats& accepted);

// Every format checked for textures and render-target textures, in the order checked (56).
std::span<const FormatCode> TextureFormatCandidates();
// Every format checked for depth-stencil surfaces, in the order checked (7).
std::span<const FormatCode> DepthFormatCandidates();

}  // namespace vela
