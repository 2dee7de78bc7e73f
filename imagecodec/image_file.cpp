#include "imagecodec/image_file.h"

#include "imagecodec/image_readers.h"

namespace vela::codec {
namespace {

struct Reader {
  bool (*looksLike)(ByteSpan);
  Result (*readInfo)(ByteSpan, ImageInfo&);
  Result (*decode)(ByteSpan, ArgbImage&);
};

// Formats with a signature first; TGA, recognised by a consistent header, last.
constexpr Reader kReaders[] = {
    {LooksLikePng, ReadPngInfo, DecodePng},
    {LooksLikeJpeg, ReadJpegInfo, DecodeJpeg},
    {LooksLikeDds, ReadDdsInfo, DecodeDds},
    {LooksLikeBmp, ReadBmpInfo, DecodeBmp},
    {LooksLikeTga, ReadTgaInfo, DecodeTga},
};

const Reader* FindReader(ByteSpan file) {
  for (const Reader& reader : kReaders) {
    if (reader.looksLike(file)) return &reader;
  }
  return nullptr;
}

}  // namespace

Result ReadImageInfo(ByteSpan file, ImageInfo& info) {
  const Reader* reader = FindReader(file);
  return reader ? reader->readInfo(file, info) : Result::kInvalidData;
}

Result DecodeImage(ByteSpan file, ArgbImage& image) {
  const Reader* reader = FindReader(file);
  return reader ? reader->decode(file, image) : Result::kInvalidData;
}

}  // namespace vela::codec
