// PNG through libpng: every colour type, bit depth and interlace, expanded to A8R8G8B8 (16-bit
// samples scaled to 8 bits with rounding, (v * 255 + 32767) / 65535, which is libpng's
// scale_16; no gamma correction, as the file's samples stand). Images that are not interlaced
// are read row by row, so their size is bounded only by the streamed limit.
// libpng reports errors by longjmp: each step that can fail is a function of its own whose
// frame holds no object with a destructor, and all allocation happens between those steps.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/row_source.h"

namespace vela::codec {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_byte kIgnoredChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";

struct MemorySource {
  ByteSpan file;
  std::size_t offset = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (!source->file.Holds(source->offset, count)) png_error(png, "truncated");
  std::memcpy(out, source->file.data + source->offset, count);
  source->offset += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

class PngReader {
 public:
  explicit PngReader(ByteSpan file) : source_{file, 0} {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngReader() {
    if (png_) png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
  }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool ok() const { return png_ && info_; }

  // Reads the chunks up to the image data; false on any error.
  bool ReadHeader() {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_set_read_fn(png_, &source_, ReadFromMemory);
    png_set_user_limits(png_, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png_, kMaxChunkBytes);
    // Colour management, text and the like do not change the samples we hand out: skip those
    // chunks unread, which also keeps huge or broken ones from costing time.
    png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                                static_cast<int>(sizeof kIgnoredChunks / 5));
    png_read_info(png_, info_);
    return true;
  }

  png_uint_32 width() const { return png_get_image_width(png_, info_); }
  png_uint_32 height() const { return png_get_image_height(png_, info_); }
  int colorType() const { return png_get_color_type(png_, info_); }
  int bitDepth() const { return png_get_bit_depth(png_, info_); }
  int channels() const { return png_get_channels(png_, info_); }
  bool hasTransparency() const { return png_get_valid(png_, info_, PNG_INFO_tRNS) != 0; }
  bool interlaced() const { return png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE; }
  // Whole images are bounded by what memory holds; row by row, by what can be counted.
  bool sizeAllowed() const {
    return interlaced() ? ImageSizeAllowed(width(), height()) : StreamedSizeAllowed(width(), height());
  }

  // Asks libpng for 8-bit B, G, R, A bytes per pixel: A8R8G8B8 in memory. False on an error.
  bool RequestArgb() {
    if (setjmp(png_jmpbuf(png_))) return false;
    const int type = colorType();
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
    if (type == PNG_COLOR_TYPE_GRAY && bitDepth() < 8) png_set_expand_gray_1_2_4_to_8(png_);
    if (hasTransparency()) png_set_tRNS_to_alpha(png_);
    if (bitDepth() == 16) png_set_scale_16(png_);
    if (!(type & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png_);
    png_set_bgr(png_);
    png_set_filler(png_, 0xFF, PNG_FILLER_AFTER);
    if (interlaced()) png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    return png_get_rowbytes(png_, info_) == static_cast<png_size_t>(width()) * 4;
  }

  bool ReadRows(png_bytepp rows) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_image(png_, rows);
    return true;
  }

  bool ReadRow(png_bytep row) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_row(png_, row, nullptr);
    return true;
  }

 private:
  MemorySource source_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Deflate packs at most 1032 bytes into one, so a file far too short for its image cannot be
// one; checked on the file's own sample layout, before the image is allocated.
bool CompressedDataCanHold(ByteSpan file, const PngReader& reader) {
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(reader.width()) * reader.channels() * reader.bitDepth() + 7) / 8;
  return (rowBytes + 1) * reader.height() <= static_cast<std::uint64_t>(file.size) * 1032;
}

PixelFormat ImageFormat(int colorType, int bitDepth, bool transparency) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
      if (transparency) return PixelFormat::kA8L8;
      return bitDepth == 16 ? PixelFormat::kL16 : PixelFormat::kL8;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return PixelFormat::kA8L8;
    case PNG_COLOR_TYPE_PALETTE:
      return PixelFormat::kP8;
    case PNG_COLOR_TYPE_RGB:
      if (bitDepth == 16) return PixelFormat::kA16B16G16R16;
      return transparency ? PixelFormat::kA8R8G8B8 : PixelFormat::kX8R8G8B8;
    default:
      return bitDepth == 16 ? PixelFormat::kA16B16G16R16 : PixelFormat::kA8R8G8B8;
  }
}

}  // namespace

bool LooksLikePng(ByteSpan file) { return file.StartsWith(kPngSignature, sizeof kPngSignature); }

Result ReadPngInfo(ByteSpan file, ImageInfo& info) {
  if (!LooksLikePng(file)) return Result::kInvalidData;
  PngReader reader(file);
  if (!reader.ok()) return Result::kOutOfMemory;
  if (!reader.ReadHeader() || !reader.sizeAllowed()) return Result::kInvalidData;
  info = ImageInfo{};
  info.width = reader.width();
  info.height = reader.height();
  info.format = ImageFormat(reader.colorType(), reader.bitDepth(), reader.hasTransparency());
  info.fileFormat = FileFormat::kPng;
  return Result::kOk;
}

namespace {

class PngRows final : public RowSource {
 public:
  explicit PngRows(ByteSpan file) : RowSource(0, 0), reader_(file) {}

  Result Open(ByteSpan file) {
    if (!reader_.ok()) return Result::kOutOfMemory;
    if (!reader_.ReadHeader() || !reader_.sizeAllowed()) return Result::kInvalidData;
    if (!CompressedDataCanHold(file, reader_) || !reader_.RequestArgb()) return Result::kInvalidData;
    width_ = reader_.width();
    height_ = reader_.height();
    return Result::kOk;
  }
  bool interlaced() const { return reader_.interlaced(); }
  bool ReadRow(std::uint32_t* out) override { return reader_.ReadRow(reinterpret_cast<png_bytep>(out)); }
  bool ReadImage(ArgbImage& image) {
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[image.height()]);
    if (!rows) return false;
    for (std::uint32_t y = 0; y < image.height(); ++y) rows[y] = reinterpret_cast<png_bytep>(image.Row(y));
    return reader_.ReadRows(rows.get());
  }

 private:
  PngReader reader_;
};

}  // namespace

Result OpenPngRows(ByteSpan file, std::unique_ptr<RowSource>& source) {
  source.reset();
  if (!LooksLikePng(file)) return Result::kInvalidData;
  auto rows = std::make_unique<PngRows>(file);
  if (const Result opened = rows->Open(file); !Succeeded(opened)) return opened;
  if (!rows->interlaced()) source = std::move(rows);
  return Result::kOk;
}

Result DecodePng(ByteSpan file, ArgbImage& image) {
  if (!LooksLikePng(file)) return Result::kInvalidData;
  PngRows rows(file);
  if (const Result opened = rows.Open(file); !Succeeded(opened)) return opened;
  if (const Result allocated = image.Allocate(rows.width(), rows.height()); !Succeeded(allocated)) {
    return allocated;
  }
  return rows.ReadImage(image) ? Result::kOk : Result::kInvalidData;
}

}  // namespace vela::codec
