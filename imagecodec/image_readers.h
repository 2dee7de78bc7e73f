// The image file readers. Each answers the file's information without decoding the pixels, and
// decodes the whole image into A8R8G8B8. Every one bounds its reads by the span; a file that is
// not of its kind, truncated or inconsistent answers kInvalidData.
#pragma once

#include "imagecodec/argb_image.h"
#include "imagecodec/byte_span.h"
#include "imagecodec/codec_types.h"

namespace vela::codec {

bool LooksLikePng(ByteSpan file);
Result ReadPngInfo(ByteSpan file, ImageInfo& info);
Result DecodePng(ByteSpan file, ArgbImage& image);

bool LooksLikeJpeg(ByteSpan file);
Result ReadJpegInfo(ByteSpan file, ImageInfo& info);
Result DecodeJpeg(ByteSpan file, ArgbImage& image);

bool LooksLikeDds(ByteSpan file);
Result ReadDdsInfo(ByteSpan file, ImageInfo& info);
Result DecodeDds(ByteSpan file, ArgbImage& image);
// The top-level image of a DDS file as a surface view over the file's bytes (for copying blocks
// unchanged when the destination has the same format and size).
Result ViewDdsSurface(ByteSpan file, ConstSurfaceView& surface);

bool LooksLikeBmp(ByteSpan file);
Result ReadBmpInfo(ByteSpan file, ImageInfo& info);
Result DecodeBmp(ByteSpan file, ArgbImage& image);

// TGA has no signature: LooksLikeTga checks that the header is a consistent one.
bool LooksLikeTga(ByteSpan file);
Result ReadTgaInfo(ByteSpan file, ImageInfo& info);
Result DecodeTga(ByteSpan file, ArgbImage& image);

}  // namespace vela::codec
