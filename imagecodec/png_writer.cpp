// PNG output through libpng: 8-bit RGB or RGBA, not interlaced, default compression.
// libpng reports errors by longjmp: the writing function's frame holds no object with a
// destructor, and the output callback turns a failed append into a libpng error.
#include <png.h>

#include <csetjmp>
#include <memory>
#include <new>

#include "imagecodec/image_writers.h"

namespace vela::codec {
namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t count) {
  auto* file = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  try {
    file->insert(file->end(), data, data + count);
  } catch (...) {
    png_error(png, "out of memory");
  }
}
void Flush(png_structp) {}
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

bool WriteRows(png_structp png, png_infop info, const ArgbImage& image, bool withAlpha,
               std::vector<std::uint8_t>& file, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &file, AppendToVector, Flush);
  png_set_IHDR(png, info, image.width(), image.height(), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);  // the rows are B, G, R, A bytes
  if (!withAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drop the fourth byte
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool WritePng(const ArgbImage& image, bool withAlpha, std::vector<std::uint8_t>& file) {
  std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[image.height()]);
  if (!rows) return false;
  for (std::uint32_t y = 0; y < image.height(); ++y) {
    rows[y] = reinterpret_cast<png_bytep>(const_cast<std::uint32_t*>(image.Row(y)));
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  const bool written = info && WriteRows(png, info, image, withAlpha, file, rows.get());
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return written;
}

}  // namespace vela::codec
