// Writes an image into a rectangle of the destination surface in the surface's own format:
// packed formats with ordered dithering where a channel has fewer than 8 bits, DXT formats
// through the block encoder.
//
// The image streams through in bands of rows about the size of a core's cache: a band is read
// (an image of the rectangle's size goes from the decoder into the band unconverted), then its
// rows of 4 x 4 blocks are encoded on the worker pool while the next band is read. When the
// rectangle has another size, the pool also scales: the caller only reads the source rows that
// a band's filter spans. Every block lands at a place of its own and is computed the same way
// on any thread, so the bytes are the same however many threads ran.
#pragma once

#include "imagecodec/codec_types.h"
#include "imagecodec/row_source.h"
#include "imagecodec/triangle_scaler.h"

namespace vela::codec {

// The rectangle must lie inside the surface and have the scaler's size; for DXT formats its
// left and top are multiples of 4 and its right and bottom multiples of 4 or the surface's edge.
// kInvalidCall otherwise, kNotImplemented for a format the codec cannot write.
Result CheckDestination(const SurfaceView& surface, const PixelRect& rect);

enum class EncoderThreads {
  kPool,    // DXT blocks on the worker pool (worker_pool.h)
  kCaller,  // everything on the calling thread
};

// Writes the source scaled over the rectangle, after CheckDestination succeeded. kInvalidData
// when the source's data breaks off (the rectangle then holds part of the image). May throw
// std::bad_alloc.
Result WriteImage(RowSource& source, const SurfaceView& surface, const PixelRect& rect, EncoderThreads threads);

// The scaler's rows written on the calling thread, after CheckDestination succeeded. May throw
// std::bad_alloc.
void WriteScaledImage(TriangleScaler& scaler, const SurfaceView& surface, const PixelRect& rect);

}  // namespace vela::codec
