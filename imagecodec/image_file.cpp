#include "imagecodec/image_file.h"

#include <cstring>
#include <utility>

#include "imagecodec/image_readers.h"
#include "imagecodec/row_source.h"

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

// A file that cannot be read row by row, decoded whole and read back from memory.
class DecodedRows final : public RowSource {
 public:
  explicit DecodedRows(ArgbImage image)
      : RowSource(image.width(), image.height()), image_(std::move(image)), rows_(image_) {}
  bool ReadRow(std::uint32_t* out) override { return rows_.ReadRow(out); }

 private:
  ArgbImage image_;
  ImageRows rows_;
};

}  // namespace

bool ImageRows::ReadRow(std::uint32_t* out) {
  if (next_ >= height_) return false;
  std::memcpy(out, image_.Row(next_++), std::size_t{width_} * 4);
  return true;
}

Result OpenRowSource(ByteSpan file, std::uint32_t wantedWidth, std::uint32_t wantedHeight,
                     std::unique_ptr<RowSource>& source) {
  source.reset();
  if (LooksLikeJpeg(file)) return OpenJpegRows(file, wantedWidth, wantedHeight, source);
  if (LooksLikePng(file)) {
    if (const Result opened = OpenPngRows(file, source); !Succeeded(opened) || source) return opened;
  }
  if (LooksLikeBmp(file)) {
    if (const Result opened = OpenBmpRows(file, source); !Succeeded(opened) || source) return opened;
  }
  if (const Reader* reader = FindReader(file); reader && reader->looksLike == LooksLikeTga) {
    if (const Result opened = OpenTgaRows(file, source); !Succeeded(opened) || source) return opened;
  }
  ArgbImage image;
  if (const Result decoded = DecodeImage(file, image); !Succeeded(decoded)) return decoded;
  source = std::make_unique<DecodedRows>(std::move(image));
  return Result::kOk;
}

Result ReadImageInfo(ByteSpan file, ImageInfo& info) {
  const Reader* reader = FindReader(file);
  return reader ? reader->readInfo(file, info) : Result::kInvalidData;
}

Result DecodeImage(ByteSpan file, ArgbImage& image) {
  const Reader* reader = FindReader(file);
  return reader ? reader->decode(file, image) : Result::kInvalidData;
}

}  // namespace vela::codec
