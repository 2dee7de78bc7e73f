// Reads a surface of any format that the codec knows (packed or block-compressed) into an
// A8R8G8B8 image. The DDS reader uses it on the file's bytes, the savers on the caller's surface.
#pragma once

#include "imagecodec/argb_image.h"
#include "imagecodec/codec_types.h"

namespace vela::codec {

// kInvalidCall for a null or too small view or a pitch below the row size, kNotImplemented for
// a format without a layout, kInvalidData or kOutOfMemory from the image's allocation.
Result ReadSurface(const ConstSurfaceView& surface, ArgbImage& image);

// The same checks without reading: the view is well-formed for its format.
Result CheckSurfaceView(const ConstSurfaceView& surface);

}  // namespace vela::codec
