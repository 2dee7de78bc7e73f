// The image file readers. Each answers the file's information without decoding the pixels, and
// decodes the whole image into A8R8G8B8. Every one bounds its reads by the span; a file that is
// not of its kind, truncated or inconsistent answers kInvalidData.
#pragma once

#include "imagecodec/argb_image.h"
#include "imagecodec/byte_span.h"
#include "imagecodec/codec_types.h"

namespace vela::codec {

// What the BMP and TGA readers make of the fourth byte of 32-bit pixels whose header does not
// declare it as alpha (a BI_RGB bitmap, a TGA descriptor without alpha bits).
enum class UndeclaredAlpha {
  kIgnored,  // the pixels are opaque, as Direct3D reads such files (what textures are made of)
  kStored,   // the byte is alpha, as image editors write it; a BMP whose alpha is 0 in every
             // pixel counts as opaque, since most BMP writers leave the byte 0
};

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
Result DecodeBmp(ByteSpan file, ArgbImage& image);  // UndeclaredAlpha::kIgnored
Result DecodeBmp(ByteSpan file, ArgbImage& image, UndeclaredAlpha alpha);

// TGA has no signature: LooksLikeTga checks that the header is a consistent one.
bool LooksLikeTga(ByteSpan file);
Result ReadTgaInfo(ByteSpan file, ImageInfo& info);
Result DecodeTga(ByteSpan file, ArgbImage& image);  // UndeclaredAlpha::kIgnored
Result DecodeTga(ByteSpan file, ArgbImage& image, UndeclaredAlpha alpha);

}  // namespace vela::codec
