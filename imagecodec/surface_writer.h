// Writes the scaled image into a rectangle of the destination surface in the surface's own
// format: packed formats with ordered dithering where a channel has fewer than 8 bits, DXT
// formats through the block encoder.
#pragma once

#include "imagecodec/codec_types.h"
#include "imagecodec/triangle_scaler.h"

namespace vela::codec {

// The rectangle must lie inside the surface and have the scaler's size; for DXT formats its
// left and top are multiples of 4 and its right and bottom multiples of 4 or the surface's edge.
// kInvalidCall otherwise, kNotImplemented for a format the codec cannot write.
Result CheckDestination(const SurfaceView& surface, const PixelRect& rect);

// Writes after CheckDestination succeeded. May throw std::bad_alloc.
void WriteScaledImage(TriangleScaler& scaler, const SurfaceView& surface, const PixelRect& rect);

}  // namespace vela::codec
