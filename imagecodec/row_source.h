// An image handed out one row at a time, top to bottom, as A8R8G8B8 pixels.
//
// PNG (not interlaced), JPEG and uncompressed BMP and TGA files decode row by row straight from
// the file's bytes, so an image far larger than memory allows as a whole still loads: only the
// decoder's own state and the rows the scaler is looking at are held. JPEG can also decode at a
// reduced size through its DCT scaling. Every other file (DDS, interlaced PNG, run-length BMP
// and TGA) is decoded whole first and read back from memory.
#pragma once

#include <cstdint>
#include <memory>

#include "imagecodec/argb_image.h"
#include "imagecodec/byte_span.h"
#include "imagecodec/codec_types.h"

namespace vela::codec {

class RowSource {
 public:
  RowSource(std::uint32_t width, std::uint32_t height) : width_(width), height_(height) {}
  virtual ~RowSource() = default;
  RowSource(const RowSource&) = delete;
  RowSource& operator=(const RowSource&) = delete;

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }

  // Writes the next row's width() pixels into `out`; false when the data turns out broken (the
  // rows after that are undefined). Called at most height() times.
  virtual bool ReadRow(std::uint32_t* out) = 0;

 protected:
  std::uint32_t width_;
  std::uint32_t height_;
};

// The rows of an image decoded whole; the image must outlive the source.
class ImageRows final : public RowSource {
 public:
  explicit ImageRows(const ArgbImage& image) : RowSource(image.width(), image.height()), image_(image) {}
  bool ReadRow(std::uint32_t* out) override;

 private:
  const ArgbImage& image_;
  std::uint32_t next_ = 0;
};

// Opens `file` for reading row by row. A JPEG larger than `wantedWidth` x `wantedHeight` is
// decoded at the smallest of its DCT-scaled sizes (n/8 of the full size) that still covers
// both; every other source has the image's own size. kInvalidData for a file that no reader
// accepts, kOutOfMemory when the heap refuses. May throw std::bad_alloc.
Result OpenRowSource(ByteSpan file, std::uint32_t wantedWidth, std::uint32_t wantedHeight,
                     std::unique_ptr<RowSource>& source);

// The readers' row sources (see OpenRowSource). A PNG that is interlaced, or a run-length BMP
// or TGA, answers kOk with a null `source`: it cannot be read row by row.
Result OpenPngRows(ByteSpan file, std::unique_ptr<RowSource>& source);
Result OpenBmpRows(ByteSpan file, std::unique_ptr<RowSource>& source);
Result OpenTgaRows(ByteSpan file, std::unique_ptr<RowSource>& source);
Result OpenJpegRows(ByteSpan file, std::uint32_t wantedWidth, std::uint32_t wantedHeight,
                    std::unique_ptr<RowSource>& source);

}  // namespace vela::codec
