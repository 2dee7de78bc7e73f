// Recognises an image file by its contents and hands it to the matching reader.
#pragma once

#include "imagecodec/argb_image.h"
#include "imagecodec/byte_span.h"
#include "imagecodec/codec_types.h"

namespace vela::codec {

// kInvalidData when no reader recognises the bytes.
Result ReadImageInfo(ByteSpan file, ImageInfo& info);
Result DecodeImage(ByteSpan file, ArgbImage& image);

}  // namespace vela::codec
