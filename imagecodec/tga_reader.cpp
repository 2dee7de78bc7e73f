// TGA: true-colour (15, 16, 24, 32 bits), grey (8 bits, or 16 with alpha) and colour-mapped
// (8- or 16-bit indices into a 15-, 16-, 24- or 32-bit map) images, uncompressed or run-length
// encoded, in any of the four corner orders. Alpha is read where the descriptor gives the image
// alpha bits (in 32-bit pixels always, with UndeclaredAlpha::kStored). TGA has no signature, so
// the header must be consistent to be taken for one. Uncompressed images are also read row by
// row (OpenTgaRows), which lets one wider or larger than an image held whole load scaled.
#include <algorithm>
#include <memory>

#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/row_source.h"

namespace vela::codec {
namespace {

constexpr std::size_t kHeaderSize = 18;

struct TgaHeader {
  std::uint8_t idLength = 0, mapType = 0, imageType = 0;
  std::uint16_t mapFirst = 0, mapLength = 0;
  std::uint8_t mapEntryBits = 0;
  std::uint16_t width = 0, height = 0;
  std::uint8_t pixelBits = 0, descriptor = 0;

  bool colourMapped() const { return (imageType & 7) == 1; }
  bool grey() const { return (imageType & 7) == 3; }
  bool runLength() const { return imageType >= 9; }
  unsigned alphaBits() const { return descriptor & 0x0F; }
  bool rightToLeft() const { return descriptor & 0x10; }
  bool topDown() const { return descriptor & 0x20; }
  std::size_t mapEntryBytes() const { return (mapEntryBits + 7u) / 8; }
  std::size_t pixelBytes() const { return (pixelBits + 7u) / 8; }
  std::size_t mapOffset() const { return kHeaderSize + idLength; }
  std::size_t mapBytes() const { return mapType == 1 ? mapLength * mapEntryBytes() : 0; }
  std::size_t dataOffset() const { return mapOffset() + mapBytes(); }
};

// True when the file holds the whole of an uncompressed image's pixels after its header and map.
bool HoldsUncompressedPixels(ByteSpan file, const TgaHeader& h) {
  const std::uint64_t bytes = std::uint64_t{h.width} * h.height * h.pixelBytes();
  return file.size >= h.dataOffset() && bytes <= file.size - h.dataOffset();
}

bool IsColourBits(std::uint8_t bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

bool ParseHeader(ByteSpan file, TgaHeader& h) {
  if (!file.Holds(0, kHeaderSize)) return false;
  h.idLength = file.data[0];
  h.mapType = file.data[1];
  h.imageType = file.data[2];
  file.Le16(3, h.mapFirst);
  file.Le16(5, h.mapLength);
  h.mapEntryBits = file.data[7];
  file.Le16(12, h.width);
  file.Le16(14, h.height);
  h.pixelBits = file.data[16];
  h.descriptor = file.data[17];
  if (h.mapType > 1 || (h.descriptor & 0xC0) != 0 || h.width == 0 || h.height == 0) return false;
  switch (h.imageType & 7) {
    case 1:
      if (h.imageType != 1 && h.imageType != 9) return false;
      if (h.mapType != 1 || (h.pixelBits != 8 && h.pixelBits != 16) || !IsColourBits(h.mapEntryBits)) return false;
      break;
    case 2:
      if ((h.imageType != 2 && h.imageType != 10) || !IsColourBits(h.pixelBits)) return false;
      break;
    case 3:
      if ((h.imageType != 3 && h.imageType != 11) || (h.pixelBits != 8 && h.pixelBits != 16)) return false;
      break;
    default:
      return false;
  }
  if (h.mapType == 1 && !IsColourBits(h.mapEntryBits)) return false;
  // Larger images can only be read row by row, which needs all their pixels in the file.
  return ImageSizeAllowed(h.width, h.height) ||
         (!h.runLength() && StreamedSizeAllowed(h.width, h.height) && HoldsUncompressedPixels(file, h));
}

std::uint32_t ReadColour(const std::uint8_t* p, unsigned bits, bool useAlpha) {
  switch (bits) {
    case 15:
    case 16: {
      const std::uint32_t v = p[0] | p[1] << 8;
      const std::uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
      const std::uint32_t a = useAlpha && bits == 16 ? (v & 0x8000 ? 0xFF : 0) : 0xFF;
      return PackArgb(a, (r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    case 24:
      return PackArgb(0xFF, p[2], p[1], p[0]);
    default:
      return PackArgb(useAlpha ? p[3] : 0xFF, p[2], p[1], p[0]);
  }
}

class PixelDecoder {
 public:
  PixelDecoder(const TgaHeader& h, ByteSpan map, UndeclaredAlpha alpha)
      : h_(h), map_(map), storedAlpha_(alpha == UndeclaredAlpha::kStored && h.pixelBits == 32) {}

  std::uint32_t Decode(const std::uint8_t* p) const {
    const bool useAlpha = h_.alphaBits() > 0 || storedAlpha_;
    if (h_.grey()) {
      const std::uint32_t a = h_.pixelBits == 16 ? p[1] : 0xFF;
      return PackArgb(a, p[0], p[0], p[0]);
    }
    if (!h_.colourMapped()) return ReadColour(p, h_.pixelBits, useAlpha);
    const std::uint32_t index = h_.pixelBits == 16 ? p[0] | p[1] << 8 : p[0];
    if (index < h_.mapFirst || index - h_.mapFirst >= h_.mapLength) return 0xFF000000u;
    // A 16-bit map entry's top bit is alpha only when the image says it has alpha bits.
    return ReadColour(map_.data + (index - h_.mapFirst) * h_.mapEntryBytes(), h_.mapEntryBits,
                      useAlpha || h_.mapEntryBits == 32);
  }

 private:
  const TgaHeader& h_;
  ByteSpan map_;
  bool storedAlpha_;  // 32-bit pixels carry alpha whatever the descriptor says
};

// Decodes the pixels in file order into `image` (rows and columns placed by the descriptor).
bool DecodePixels(ByteSpan data, const TgaHeader& h, const PixelDecoder& decoder, ArgbImage& image) {
  const std::size_t size = h.pixelBytes();
  const std::size_t total = image.pixelCount();
  auto place = [&](std::size_t n, std::uint32_t colour) {
    const std::uint32_t fileRow = static_cast<std::uint32_t>(n / h.width);
    const std::uint32_t fileColumn = static_cast<std::uint32_t>(n % h.width);
    const std::uint32_t y = h.topDown() ? fileRow : h.height - 1 - fileRow;
    const std::uint32_t x = h.rightToLeft() ? h.width - 1 - fileColumn : fileColumn;
    image.Row(y)[x] = colour;
  };
  std::size_t at = 0;
  if (!h.runLength()) {
    std::size_t bytes = 0;
    if (!CheckedMultiply(total, size, bytes) || !data.Holds(0, bytes)) return false;
    for (std::size_t n = 0; n < total; ++n) place(n, decoder.Decode(data.data + n * size));
    return true;
  }
  std::size_t n = 0;
  while (n < total) {
    std::uint8_t packet = 0;
    if (!data.U8(at++, packet)) return false;
    const std::size_t count = std::min<std::size_t>((packet & 0x7Fu) + 1u, total - n);
    if (packet & 0x80) {
      if (!data.Holds(at, size)) return false;
      const std::uint32_t colour = decoder.Decode(data.data + at);
      at += size;
      for (std::size_t i = 0; i < count; ++i) place(n++, colour);
    } else {
      if (!data.Holds(at, count * size)) return false;
      for (std::size_t i = 0; i < count; ++i, at += size) place(n++, decoder.Decode(data.data + at));
    }
  }
  return true;
}

PixelFormat ImageFormat(const TgaHeader& h) {
  if (h.colourMapped()) return PixelFormat::kP8;
  if (h.grey()) return h.pixelBits == 16 ? PixelFormat::kA8L8 : PixelFormat::kL8;
  switch (h.pixelBits) {
    case 15:
      return PixelFormat::kX1R5G5B5;
    case 16:
      return h.alphaBits() ? PixelFormat::kA1R5G5B5 : PixelFormat::kX1R5G5B5;
    case 24:
      return PixelFormat::kR8G8B8;
    default:
      return h.alphaBits() ? PixelFormat::kA8R8G8B8 : PixelFormat::kX8R8G8B8;
  }
}

// An uncompressed image's rows, top to bottom, decoded from the file's bytes one at a time.
class UncompressedRows final : public RowSource {
 public:
  UncompressedRows(ByteSpan file, const TgaHeader& header)
      : RowSource(header.width, header.height),
        header_(header),
        pixels_(file.From(header.dataOffset())),
        decoder_(header_, ByteSpan(file.data + header.mapOffset(), header.mapBytes()), UndeclaredAlpha::kIgnored) {}

  bool ReadRow(std::uint32_t* out) override {
    if (next_ >= height_) return false;
    const std::uint32_t fileRow = header_.topDown() ? next_ : height_ - 1 - next_;
    ++next_;
    const std::size_t size = header_.pixelBytes();
    // OpenTgaRows checked that every row is in the file.
    const std::uint8_t* in = pixels_.data + std::size_t{fileRow} * width_ * size;
    for (std::uint32_t x = 0; x < width_; ++x, in += size) {
      out[header_.rightToLeft() ? width_ - 1 - x : x] = decoder_.Decode(in);
    }
    return true;
  }

 private:
  TgaHeader header_;
  ByteSpan pixels_;
  PixelDecoder decoder_;  // refers to header_
  std::uint32_t next_ = 0;
};

}  // namespace

bool LooksLikeTga(ByteSpan file) {
  TgaHeader header;
  return ParseHeader(file, header);
}

Result ReadTgaInfo(ByteSpan file, ImageInfo& info) {
  TgaHeader header;
  if (!ParseHeader(file, header)) return Result::kInvalidData;
  info = ImageInfo{};
  info.width = header.width;
  info.height = header.height;
  info.format = ImageFormat(header);
  info.fileFormat = FileFormat::kTga;
  return Result::kOk;
}

Result DecodeTga(ByteSpan file, ArgbImage& image) { return DecodeTga(file, image, UndeclaredAlpha::kIgnored); }

Result OpenTgaRows(ByteSpan file, std::unique_ptr<RowSource>& source) {
  source.reset();
  TgaHeader header;
  if (!ParseHeader(file, header) || !file.Holds(header.mapOffset(), header.mapBytes())) return Result::kInvalidData;
  if (header.runLength()) return Result::kOk;
  if (!HoldsUncompressedPixels(file, header)) return Result::kInvalidData;
  source = std::make_unique<UncompressedRows>(file, header);
  return Result::kOk;
}

Result DecodeTga(ByteSpan file, ArgbImage& image, UndeclaredAlpha alpha) {
  TgaHeader header;
  if (!ParseHeader(file, header)) return Result::kInvalidData;
  const std::size_t mapOffset = header.mapOffset();
  const std::size_t mapBytes = header.mapBytes();
  if (!file.Holds(mapOffset, mapBytes)) return Result::kInvalidData;
  const ByteSpan data = file.From(mapOffset + mapBytes);
  // Checked before allocating: uncompressed data must be whole, and a run packet covers at
  // most 128 pixels.
  const std::size_t pixels = static_cast<std::size_t>(header.width) * header.height;
  const std::size_t leastBytes = header.runLength() ? (pixels + 127) / 128 * (1 + header.pixelBytes())
                                                    : pixels * header.pixelBytes();
  if (!data.Holds(0, leastBytes)) return Result::kInvalidData;
  if (const Result allocated = image.Allocate(header.width, header.height); !Succeeded(allocated)) return allocated;
  const PixelDecoder decoder(header, ByteSpan(file.data + mapOffset, mapBytes), alpha);
  return DecodePixels(data, header, decoder, image) ? Result::kOk : Result::kInvalidData;
}

}  // namespace vela::codec
