// BMP: core and Windows info headers (versions 1 to 5), bottom-up and top-down; 1-, 4- and 8-bit
// palettes, uncompressed or RLE4/RLE8; 16- and 32-bit with the default layout or bit fields; and
// 24-bit. The alpha byte of an uncompressed 32-bit file is ignored (it is mostly left as 0)
// unless the caller asks for UndeclaredAlpha::kStored; an explicit alpha mask is honoured. Pixels that an RLE file skips take palette entry 0.
#include <algorithm>
#include <cstring>
#include <memory>

#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/pixel_format.h"
#include "imagecodec/row_source.h"

namespace vela::codec {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct Mask {
  std::uint32_t shift = 0;
  std::uint32_t bits = 0;
};

struct BmpHeader {
  std::uint32_t width = 0, height = 0;
  bool topDown = false;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::uint32_t paletteCount = 0;
  std::uint32_t palette[256] = {};
  std::uint32_t dataOffset = 0;
};

// Bytes of one uncompressed row: the bits rounded up to whole 32-bit words.
std::uint64_t RowStride(const BmpHeader& header) {
  return (static_cast<std::uint64_t>(header.width) * header.bitCount + 31) / 32 * 4;
}

bool RunLength(const BmpHeader& header) { return header.compression == kRle8 || header.compression == kRle4; }

bool MaskToChannel(std::uint32_t mask, Mask& channel) {
  channel = {};
  if (mask == 0) return true;
  while (!(mask >> channel.shift & 1)) ++channel.shift;
  const std::uint32_t shifted = mask >> channel.shift;
  if ((shifted & (shifted + 1)) != 0) return false;  // not one run of ones
  while (channel.bits < 32 - channel.shift && (shifted >> channel.bits & 1)) ++channel.bits;
  return true;
}

bool ReadPalette(ByteSpan file, std::size_t offset, std::uint32_t entrySize, BmpHeader& header) {
  for (std::uint32_t i = 0; i < header.paletteCount; ++i) {
    if (!file.Holds(offset + i * entrySize, 3)) return false;
    const std::uint8_t* entry = file.data + offset + i * entrySize;
    header.palette[i] = PackArgb(0xFF, entry[2], entry[1], entry[0]);
  }
  return true;
}

bool ParseHeader(ByteSpan file, BmpHeader& header) {
  std::uint32_t infoSize = 0;
  if (!file.StartsWith("BM", 2) || !file.Le32(10, header.dataOffset) || !file.Le32(14, infoSize)) return false;
  std::uint32_t paletteEntrySize = 4;
  std::size_t masksOffset = 0;
  if (infoSize == 12) {
    std::uint16_t width = 0, height = 0, bitCount = 0;
    if (!file.Le16(18, width) || !file.Le16(20, height) || !file.Le16(24, bitCount)) return false;
    header.width = width;
    header.height = height;
    header.bitCount = bitCount;
    paletteEntrySize = 3;
  } else if (infoSize >= 40 && infoSize <= 256) {
    std::uint32_t width = 0, height = 0, colorsUsed = 0;
    std::uint16_t bitCount = 0;
    if (!file.Le32(18, width) || !file.Le32(22, height) || !file.Le16(28, bitCount) ||
        !file.Le32(30, header.compression) || !file.Le32(46, colorsUsed)) {
      return false;
    }
    const auto signedWidth = static_cast<std::int32_t>(width);
    auto signedHeight = static_cast<std::int32_t>(height);
    if (signedWidth <= 0 || signedHeight == 0 || signedHeight == INT32_MIN) return false;
    header.topDown = signedHeight < 0;
    header.width = static_cast<std::uint32_t>(signedWidth);
    header.height = static_cast<std::uint32_t>(header.topDown ? -signedHeight : signedHeight);
    header.bitCount = bitCount;
    header.paletteCount = colorsUsed;
    masksOffset = kFileHeaderSize + 40;
  } else {
    return false;
  }
  std::size_t paletteOffset = kFileHeaderSize + infoSize;
  if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
    if (header.bitCount != 16 && header.bitCount != 32) return false;
    const int maskCount = header.compression == kAlphaBitFields || infoSize >= 56 ? 4 : 3;
    for (int i = 0; i < maskCount; ++i) {
      if (!file.Le32(masksOffset + 4 * i, header.masks[i])) return false;
    }
    if (infoSize == 40) paletteOffset += 4 * maskCount;  // the masks follow a version-1 header
  } else if (header.compression == kRgb) {
    if (header.bitCount == 16) {
      header.masks[0] = 0x7C00, header.masks[1] = 0x03E0, header.masks[2] = 0x001F;
    } else if (header.bitCount == 32) {
      header.masks[0] = 0xFF0000, header.masks[1] = 0xFF00, header.masks[2] = 0xFF;
    } else if (header.bitCount != 1 && header.bitCount != 4 && header.bitCount != 8 && header.bitCount != 24) {
      return false;
    }
  } else if (!(header.compression == kRle8 && header.bitCount == 8) &&
             !(header.compression == kRle4 && header.bitCount == 4)) {
    return false;
  }
  if (header.topDown && (header.compression == kRle8 || header.compression == kRle4)) return false;
  if (header.bitCount <= 8) {
    const std::uint32_t full = 1u << header.bitCount;
    if (header.paletteCount == 0 || header.paletteCount > full) header.paletteCount = full;
    // Writers that leave the count at 0 sometimes store fewer entries than the depth allows:
    // take what fits before the pixels.
    if (header.dataOffset >= paletteOffset + paletteEntrySize) {
      header.paletteCount = std::min<std::uint32_t>(
          header.paletteCount, static_cast<std::uint32_t>((header.dataOffset - paletteOffset) / paletteEntrySize));
    }
    if (!ReadPalette(file, paletteOffset, paletteEntrySize, header)) return false;
  } else {
    header.paletteCount = 0;
  }
  Mask channel;
  for (const std::uint32_t mask : header.masks) {
    if (!MaskToChannel(mask, channel)) return false;
  }
  const std::uint64_t dataBytes = file.size > header.dataOffset ? file.size - header.dataOffset : 0;
  if (RunLength(header)) {
    // Decoded whole. Codes cover a run of up to 255 pixels, the rest of a row or a move: a file
    // that would need more than 4096 pixels from each byte is refused before the image is
    // allocated.
    return ImageSizeAllowed(header.width, header.height) &&
           static_cast<std::uint64_t>(header.width) * header.height <= dataBytes * 4096 + 65536;
  }
  // Uncompressed rows can be read one at a time, so only what can be counted bounds them; they
  // must all be in the file.
  return StreamedSizeAllowed(header.width, header.height) && RowStride(header) * header.height <= dataBytes;
}

PixelFormat ImageFormat(const BmpHeader& header) {
  if (header.bitCount <= 8) return PixelFormat::kP8;
  if (header.bitCount == 24) return PixelFormat::kR8G8B8;
  const PixelFormat byMasks =
      FindFormatByMasks(header.bitCount, header.masks[0], header.masks[1], header.masks[2], header.masks[3]);
  if (byMasks != PixelFormat::kUnknown) return byMasks;
  if (header.bitCount == 16) return PixelFormat::kX1R5G5B5;
  return header.masks[3] ? PixelFormat::kA8R8G8B8 : PixelFormat::kX8R8G8B8;
}

std::uint32_t ReadMasked(std::uint32_t raw, const Mask& channel, std::uint32_t absent) {
  if (channel.bits == 0) return absent;
  return ExpandTo8((raw >> channel.shift) & ((channel.bits == 32 ? 0 : 1u << channel.bits) - 1u), channel.bits);
}

// The rows of an uncompressed file, top to bottom, straight from the file's bytes.
class UncompressedRows final : public RowSource {
 public:
  UncompressedRows(ByteSpan file, const BmpHeader& header)
      : RowSource(header.width, header.height), file_(file), header_(header) {
    for (int i = 0; i < 4; ++i) MaskToChannel(header.masks[i], channels_[i]);  // checked by ParseHeader
  }

  bool ReadRow(std::uint32_t* out) override {
    if (next_ >= height_) return false;
    const std::uint32_t fileRow = header_.topDown ? next_ : height_ - 1 - next_;
    ++next_;
    // ParseHeader checked that the rows are in the file.
    DecodeRow(file_.data + header_.dataOffset + static_cast<std::size_t>(fileRow * RowStride(header_)), out);
    return true;
  }

 private:
  void DecodeRow(const std::uint8_t* in, std::uint32_t* out) const;

  ByteSpan file_;
  BmpHeader header_;
  Mask channels_[4];
  std::uint32_t next_ = 0;
};

void UncompressedRows::DecodeRow(const std::uint8_t* in, std::uint32_t* out) const {
  const std::uint32_t bits = header_.bitCount;
  for (std::uint32_t x = 0; x < width_; ++x) {
    switch (bits) {
      case 1:
      case 4:
      case 8: {
        const std::uint64_t bitOffset = std::uint64_t{x} * bits;
        const std::uint32_t index = (in[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1u << bits) - 1);
        out[x] = index < header_.paletteCount ? header_.palette[index] : 0xFF000000u;
        break;
      }
      case 24:
        out[x] = PackArgb(0xFF, in[std::size_t{x} * 3 + 2], in[std::size_t{x} * 3 + 1], in[std::size_t{x} * 3]);
        break;
      default: {
        std::uint32_t raw = 0;
        const std::uint32_t size = bits / 8;
        for (std::uint32_t i = 0; i < size; ++i) raw |= static_cast<std::uint32_t>(in[std::size_t{size} * x + i]) << (8 * i);
        out[x] = PackArgb(ReadMasked(raw, channels_[3], 0xFF), ReadMasked(raw, channels_[0], 0),
                          ReadMasked(raw, channels_[1], 0), ReadMasked(raw, channels_[2], 0));
      }
    }
  }
}

bool DecodeUncompressed(ByteSpan file, const BmpHeader& header, ArgbImage& image) {
  UncompressedRows rows(file, header);
  for (std::uint32_t y = 0; y < header.height; ++y) rows.ReadRow(image.Row(y));
  return true;
}

// RLE8 and RLE4: runs and literal groups of palette indices with end-of-line, end-of-bitmap and
// move escapes. Writes outside the image are dropped; a missing end marker ends the image.
bool DecodeRunLength(ByteSpan file, const BmpHeader& header, ArgbImage& image) {
  const std::uint32_t background = header.palette[0];
  std::fill_n(image.pixels(), image.pixelCount(), background);
  const bool nibbles = header.compression == kRle4;
  auto colour = [&](std::uint32_t index) {
    return index < header.paletteCount ? header.palette[index] : 0xFF000000u;
  };
  std::uint32_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](std::uint32_t index) {
    if (x < header.width && y < header.height) image.Row(header.height - 1 - y)[x] = colour(index);
    ++x;
  };
  std::size_t at = header.dataOffset;
  std::uint8_t count = 0, value = 0;
  while (y < header.height && file.U8(at, count) && file.U8(at + 1, value)) {
    at += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i) put(nibbles ? (i & 1 ? value & 0xF : value >> 4) : value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      std::uint8_t dx = 0, dy = 0;
      if (!file.U8(at, dx) || !file.U8(at + 1, dy)) return false;
      at += 2;
      x += dx, y += dy;
    } else {
      const std::uint32_t literalBytes = nibbles ? (value + 1u) / 2 : value;
      if (!file.Holds(at, literalBytes)) return false;
      for (std::uint32_t i = 0; i < value; ++i) {
        const std::uint8_t byte = file.data[at + (nibbles ? i / 2 : i)];
        put(nibbles ? (i & 1 ? byte & 0xF : byte >> 4) : byte);
      }
      at += (literalBytes + 1) & ~std::size_t{1};  // literal groups are padded to 16 bits
    }
  }
  return true;
}

// An image whose alpha is 0 in every pixel was written without alpha: it becomes opaque.
void OpaqueWhenAlphaIsZero(ArgbImage& image) {
  std::uint32_t* const begin = image.pixels();
  std::uint32_t* const end = begin + image.pixelCount();
  if (std::any_of(begin, end, [](std::uint32_t pixel) { return (pixel >> 24) != 0; })) return;
  for (std::uint32_t* pixel = begin; pixel != end; ++pixel) *pixel |= 0xFF000000u;
}

}  // namespace

bool LooksLikeBmp(ByteSpan file) { return file.StartsWith("BM", 2); }

Result ReadBmpInfo(ByteSpan file, ImageInfo& info) {
  BmpHeader header;
  if (!ParseHeader(file, header)) return Result::kInvalidData;
  info = ImageInfo{};
  info.width = header.width;
  info.height = header.height;
  info.format = ImageFormat(header);
  info.fileFormat = FileFormat::kBmp;
  return Result::kOk;
}

Result DecodeBmp(ByteSpan file, ArgbImage& image) { return DecodeBmp(file, image, UndeclaredAlpha::kIgnored); }

Result OpenBmpRows(ByteSpan file, std::unique_ptr<RowSource>& source) {
  source.reset();
  BmpHeader header;
  if (!ParseHeader(file, header)) return Result::kInvalidData;
  if (!RunLength(header)) source = std::make_unique<UncompressedRows>(file, header);
  return Result::kOk;
}

Result DecodeBmp(ByteSpan file, ArgbImage& image, UndeclaredAlpha alpha) {
  BmpHeader header;
  if (!ParseHeader(file, header)) return Result::kInvalidData;
  const bool storedAlpha = alpha == UndeclaredAlpha::kStored;
  if (storedAlpha && header.compression == kRgb && header.bitCount == 32) header.masks[3] = 0xFF000000;
  if (const Result allocated = image.Allocate(header.width, header.height); !Succeeded(allocated)) return allocated;
  const bool decoded = RunLength(header) ? DecodeRunLength(file, header, image) : DecodeUncompressed(file, header, image);
  if (!decoded) return Result::kInvalidData;
  if (storedAlpha) OpaqueWhenAlphaIsZero(image);
  return Result::kOk;
}

}  // namespace vela::codec
