#include "host/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE first
#include <cstdlib>

#include <jpeglib.h>

namespace vela::host {
namespace {

struct Layout {
  int components;
  J_COLOR_SPACE space;
};

Layout LayoutOf(JpegSamples samples) {
  switch (samples) {
    case JpegSamples::kGrey:
      return {1, JCS_GRAYSCALE};
    case JpegSamples::kCmyk:
      return {4, JCS_CMYK};
    case JpegSamples::kBgrx:
      return {4, JCS_EXT_BGRX};
    case JpegSamples::kRgb:
      break;
  }
  return {3, JCS_RGB};
}

struct Errors {
  jpeg_error_mgr manager;
  std::jmp_buf escape;
};

[[noreturn]] void OnError(j_common_ptr info) { std::longjmp(reinterpret_cast<Errors*>(info->err)->escape, 1); }

// libjpeg reports errors by longjmp: this frame holds no object with a destructor.
bool Compress(jpeg_compress_struct& encoder, Errors& errors, const JpegSettings& settings, std::uint8_t* row,
              const JpegRowFiller& fillRow, unsigned char** buffer, unsigned long* size) {
  encoder.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = OnError;
  if (setjmp(errors.escape)) return false;
  jpeg_create_compress(&encoder);
  jpeg_mem_dest(&encoder, buffer, size);
  const Layout layout = LayoutOf(settings.samples);
  encoder.image_width = settings.width;
  encoder.image_height = settings.height;
  encoder.input_components = layout.components;
  encoder.in_color_space = layout.space;
  jpeg_set_defaults(&encoder);
  jpeg_set_quality(&encoder, settings.quality, TRUE);
  if (settings.fullChroma) {
    for (int i = 0; i < encoder.num_components; ++i) encoder.comp_info[i].h_samp_factor = encoder.comp_info[i].v_samp_factor = 1;
  }
  jpeg_start_compress(&encoder, TRUE);
  while (encoder.next_scanline < settings.height) {
    fillRow(encoder.next_scanline, row);
    jpeg_write_scanlines(&encoder, &row, 1);
  }
  jpeg_finish_compress(&encoder);
  return true;
}

}  // namespace

std::vector<std::uint8_t> WriteJpeg(const JpegSettings& settings, const JpegRowFiller& fillRow) {
  std::vector<std::uint8_t> row(std::size_t{settings.width} * LayoutOf(settings.samples).components);
  jpeg_compress_struct encoder{};
  Errors errors;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool written = Compress(encoder, errors, settings, row.data(), fillRow, &buffer, &size);
  std::vector<std::uint8_t> file;
  if (written) file.assign(buffer, buffer + size);
  jpeg_destroy_compress(&encoder);
  std::free(buffer);
  return file;
}

}  // namespace vela::host
