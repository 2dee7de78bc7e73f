// JPEG through libjpeg-turbo: baseline, progressive and arithmetic-coded, 8-bit samples; grey,
// YCbCr/RGB and CMYK/YCCK (converted to RGB), decoded straight into B, G, R, A bytes.
// libjpeg reports fatal errors through error_exit, which must not return: ours longjmps back to
// the decoding function, whose frame holds no object with a destructor. Warnings (corrupt but
// decodable data) are silenced and the image is kept, as other decoders do.
#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

#include <csetjmp>

#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"

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

// Reads the header and, when `image` is given, the pixels. The ImageInfo is filled from the
// header either way.
Result Decode(ByteSpan file, ImageInfo& info, ArgbImage* image) {
  jpeg_decompress_struct decoder;
  ErrorManager errors;
  jpeg_progress_mgr progress;
  decoder.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  errors.base.output_message = OnOutputMessage;
  progress.progress_monitor = OnProgress;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&decoder);
    return Result::kInvalidData;
  }
  jpeg_create_decompress(&decoder);
  decoder.progress = &progress;
  decoder.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&decoder, file.data, static_cast<unsigned long>(file.size));
  if (jpeg_read_header(&decoder, TRUE) != JPEG_HEADER_OK ||
      !ImageSizeAllowed(decoder.image_width, decoder.image_height) ||
      !ScanDataCanHold(file, decoder.image_width, decoder.image_height)) {
    jpeg_destroy_decompress(&decoder);
    return Result::kInvalidData;
  }
  const bool grey = decoder.jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = decoder.jpeg_color_space == JCS_CMYK || decoder.jpeg_color_space == JCS_YCCK;
  info = ImageInfo{};
  info.width = decoder.image_width;
  info.height = decoder.image_height;
  info.format = grey ? PixelFormat::kL8 : PixelFormat::kX8R8G8B8;
  info.fileFormat = FileFormat::kJpg;
  if (!image) {
    jpeg_destroy_decompress(&decoder);
    return Result::kOk;
  }
  decoder.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  if (const Result allocated = image->Allocate(decoder.image_width, decoder.image_height);
      !Succeeded(allocated)) {
    jpeg_destroy_decompress(&decoder);
    return allocated;
  }
  jpeg_start_decompress(&decoder);
  if (decoder.output_width != image->width() || decoder.output_height != image->height() ||
      decoder.output_components != 4) {
    jpeg_destroy_decompress(&decoder);
    return Result::kInvalidData;
  }
  while (decoder.output_scanline < decoder.output_height) {
    const std::uint32_t y = decoder.output_scanline;
    JSAMPROW row = reinterpret_cast<JSAMPROW>(image->Row(y));
    if (jpeg_read_scanlines(&decoder, &row, 1) != 1) break;  // cannot happen with a memory source
    if (cmyk) CmykToArgb(row, image->width(), decoder.saw_Adobe_marker);
  }
  // The rest of the file (trailing markers) does not matter for the pixels.
  jpeg_abort_decompress(&decoder);
  jpeg_destroy_decompress(&decoder);
  return Result::kOk;
}

}  // namespace

bool LooksLikeJpeg(ByteSpan file) {
  static constexpr std::uint8_t kStart[3] = {0xFF, 0xD8, 0xFF};
  return file.StartsWith(kStart, sizeof kStart);
}

Result ReadJpegInfo(ByteSpan file, ImageInfo& info) {
  if (!LooksLikeJpeg(file)) return Result::kInvalidData;
  return Decode(file, info, nullptr);
}

Result DecodeJpeg(ByteSpan file, ArgbImage& image) {
  if (!LooksLikeJpeg(file)) return Result::kInvalidData;
  ImageInfo info;
  return Decode(file, info, &image);
}

}  // namespace vela::codec
