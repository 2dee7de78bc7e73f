// JPEG through libjpeg-turbo: baseline, progressive and arithmetic-coded, 8-bit samples; grey,
// YCbCr/RGB and CMYK/YCCK (converted to RGB), decoded straight into B, G, R, A bytes, row by row,
// at the full size or at n/8 of it through the decoder's DCT scaling.
// libjpeg reports fatal errors through error_exit, which must not return: ours longjmps back to
// the member function that called it, whose frame holds no object with a destructor. Warnings (corrupt but
// decodable data) are silenced and the image is kept, as other decoders do.
#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

#include <csetjmp>

#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/row_source.h"

namespace vela::codec {
namespace {

// Progressive files with thousands of tiny scans make decoding slow without bound.
constexpr int kMaxScans = 1000;
constexpr long kMaxDecoderMemory = 512L << 20;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr common) {
  std::longjmp(reinterpret_cast<ErrorManager*>(common->err)->jump, 1);
}
void OnMessage(j_common_ptr, int) {}
void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr common) {
  auto* decoder = reinterpret_cast<j_decompress_ptr>(common);
  if (decoder->input_scan_number > kMaxScans) OnError(common);
}

// Every 8 x 8 block costs at least one bit of entropy-coded data, so a file far too short for
// its size is refused before the image is allocated (libjpeg would pad the missing data).
bool ScanDataCanHold(ByteSpan file, std::uint32_t width, std::uint32_t height) {
  return static_cast<std::uint64_t>(width) * height <= static_cast<std::uint64_t>(file.size) * 512 + 65536;
}

// Adobe's CMYK JPEGs store the inks inverted; others store them plainly.
void CmykToArgb(std::uint8_t* row, std::uint32_t width, bool inverted) {
  for (std::uint32_t x = 0; x < width; ++x, row += 4) {
    std::uint32_t c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    row[0] = static_cast<std::uint8_t>(y * k / 255);  // blue
    row[1] = static_cast<std::uint8_t>(m * k / 255);  // green
    row[2] = static_cast<std::uint8_t>(c * k / 255);  // red
    row[3] = 0xFF;
  }
}

// The smallest n for which n/8 of the image, rounded up as libjpeg rounds, still covers the
// wanted size on both axes; 8 when nothing smaller does.
unsigned ScaleNumerator(std::uint32_t width, std::uint32_t height, std::uint32_t wantedWidth,
                        std::uint32_t wantedHeight) {
  const auto scaled = [](std::uint64_t size, unsigned n) { return (size * n + 7) / 8; };
  for (unsigned n = 1; n < 8; ++n) {
    if (scaled(width, n) >= wantedWidth && scaled(height, n) >= wantedHeight) return n;
  }
  return 8;
}

class JpegRows final : public RowSource {
 public:
  JpegRows() : RowSource(0, 0) {
    decoder_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnError;
    errors_.base.emit_message = OnMessage;
    errors_.base.output_message = OnOutputMessage;
    progress_.progress_monitor = OnProgress;
  }
  ~JpegRows() override {
    if (created_) jpeg_destroy_decompress(&decoder_);
  }

  // Reads the header into `info`.
  Result ReadHeader(ByteSpan file, ImageInfo& info) {
    if (setjmp(errors_.jump)) return Result::kInvalidData;
    jpeg_create_decompress(&decoder_);
    created_ = true;
    decoder_.progress = &progress_;
    decoder_.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&decoder_, file.data, static_cast<unsigned long>(file.size));
    if (jpeg_read_header(&decoder_, TRUE) != JPEG_HEADER_OK ||
        !StreamedSizeAllowed(decoder_.image_width, decoder_.image_height) ||
        !ScanDataCanHold(file, decoder_.image_width, decoder_.image_height)) {
      return Result::kInvalidData;
    }
    cmyk_ = decoder_.jpeg_color_space == JCS_CMYK || decoder_.jpeg_color_space == JCS_YCCK;
    info = ImageInfo{};
    info.width = decoder_.image_width;
    info.height = decoder_.image_height;
    info.format = decoder_.jpeg_color_space == JCS_GRAYSCALE ? PixelFormat::kL8 : PixelFormat::kX8R8G8B8;
    info.fileFormat = FileFormat::kJpg;
    return Result::kOk;
  }

  // Starts decoding at the smallest DCT-scaled size that covers the wanted one.
  Result Start(std::uint32_t wantedWidth, std::uint32_t wantedHeight) {
    if (setjmp(errors_.jump)) return Result::kInvalidData;
    decoder_.out_color_space = cmyk_ ? JCS_CMYK : JCS_EXT_BGRA;
    decoder_.scale_num = ScaleNumerator(decoder_.image_width, decoder_.image_height, wantedWidth, wantedHeight);
    decoder_.scale_denom = 8;
    jpeg_start_decompress(&decoder_);
    if (decoder_.output_components != 4 || decoder_.output_width == 0 || decoder_.output_height == 0) {
      return Result::kInvalidData;
    }
    width_ = decoder_.output_width;
    height_ = decoder_.output_height;
    return Result::kOk;
  }

  bool ReadRow(std::uint32_t* out) override {
    if (setjmp(errors_.jump)) return false;
    JSAMPROW row = reinterpret_cast<JSAMPROW>(out);
    if (jpeg_read_scanlines(&decoder_, &row, 1) != 1) return false;  // cannot happen with a memory source
    if (cmyk_) CmykToArgb(row, width_, decoder_.saw_Adobe_marker);
    return true;
  }

 private:
  jpeg_decompress_struct decoder_;
  ErrorManager errors_;
  jpeg_progress_mgr progress_;
  bool created_ = false;
  bool cmyk_ = false;
};

}  // namespace

bool LooksLikeJpeg(ByteSpan file) {
  static constexpr std::uint8_t kStart[3] = {0xFF, 0xD8, 0xFF};
  return file.StartsWith(kStart, sizeof kStart);
}

Result ReadJpegInfo(ByteSpan file, ImageInfo& info) {
  if (!LooksLikeJpeg(file)) return Result::kInvalidData;
  JpegRows rows;
  return rows.ReadHeader(file, info);
}

Result OpenJpegRows(ByteSpan file, std::uint32_t wantedWidth, std::uint32_t wantedHeight,
                    std::unique_ptr<RowSource>& source) {
  source.reset();
  if (!LooksLikeJpeg(file)) return Result::kInvalidData;
  auto rows = std::make_unique<JpegRows>();
  ImageInfo info;
  if (const Result read = rows->ReadHeader(file, info); !Succeeded(read)) return read;
  if (const Result started = rows->Start(wantedWidth, wantedHeight); !Succeeded(started)) return started;
  source = std::move(rows);
  return Result::kOk;
}

Result DecodeJpeg(ByteSpan file, ArgbImage& image) {
  if (!LooksLikeJpeg(file)) return Result::kInvalidData;
  JpegRows rows;
  ImageInfo info;
  if (const Result read = rows.ReadHeader(file, info); !Succeeded(read)) return read;
  if (const Result allocated = image.Allocate(info.width, info.height); !Succeeded(allocated)) return allocated;
  if (const Result started = rows.Start(info.width, info.height); !Succeeded(started)) return started;
  for (std::uint32_t y = 0; y < image.height(); ++y) {
    if (!rows.ReadRow(image.Row(y))) return Result::kInvalidData;
  }
  return Result::kOk;
}

}  // namespace vela::codec
