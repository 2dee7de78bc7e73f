// Scales a whole image to a whole destination size with the triangle filter, one destination row
// at a time, in floating point. The source rows are pulled from a RowSource as the rows asked
// for need them; only the few that the vertical filter of one destination row spans are held.
//
// Along each axis separately:
//  - enlarging: the source is the tent-shaped (linear) reconstruction through the pixel centres,
//    held constant beyond the outer centres, and each destination pixel is its average over the
//    destination pixel's footprint;
//  - shrinking: each destination pixel is the box average of the source pixels its footprint
//    covers, every covered pixel weighing by the part of it that is covered;
//  - the same size: an exact copy.
// Channels are filtered independently (alpha is not premultiplied), which keeps keyed pixels,
// already transparent black, from bleeding colour into their neighbours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imagecodec/argb_image.h"
#include "imagecodec/row_source.h"

namespace vela::codec {

// The filter of one axis: destination pixel j is the sum over k < count[j] of
// weights[offset[j] + k] * source[first[j] + k].
struct AxisFilter {
  std::vector<std::uint32_t> first;
  std::vector<std::uint32_t> count;
  std::vector<std::uint32_t> offset;
  std::vector<float> weights;
};

// Elements of `perPixel` 4-byte values for `rows` rows of `width` pixels; throws std::bad_alloc
// where their bytes cannot be counted (a source 2^31 pixels wide in a 32-bit build).
std::size_t SourceRowsElements(std::uint32_t rows, std::uint32_t width, std::uint32_t perPixel);

// May throw std::bad_alloc.
AxisFilter MakeAxisFilter(std::uint32_t sourceSize, std::uint32_t destinationSize);

// Channel order of the float rows.
enum FloatChannel { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };

class TriangleScaler {
 public:
  // The source must outlive the scaler. May throw std::bad_alloc.
  TriangleScaler(const ArgbImage& source, std::uint32_t destinationWidth,
                 std::uint32_t destinationHeight);
  TriangleScaler(RowSource& source, std::uint32_t destinationWidth, std::uint32_t destinationHeight);

  std::uint32_t width() const { return destinationWidth_; }
  std::uint32_t height() const { return destinationHeight_; }

  // Writes destination row y as width() * 4 floats (red, green, blue, alpha; 0 to 255). Rows
  // are asked for in increasing order. False when the source's data turned out broken.
  bool Row(std::uint32_t y, float* out);

  // For callers that read the source themselves (through source()) and filter rows on several
  // threads: destination row y is filtered from source rows FirstSourceRow(y) to
  // LastSourceRow(y), both rising with y. FilterRow reads source row r from `ring` at slot
  // r % ringRows (rows of the source's width) and uses `column` (source width * 4 floats) as
  // scratch; it changes nothing of the scaler's, so several threads may call it at once.
  RowSource& source() { return source_; }
  std::uint32_t FirstSourceRow(std::uint32_t y) const { return vertical_.first[y]; }
  std::uint32_t LastSourceRow(std::uint32_t y) const { return vertical_.first[y] + vertical_.count[y] - 1; }
  void FilterRow(std::uint32_t y, const std::uint32_t* ring, std::uint32_t ringRows, float* column,
                 float* out) const;

 private:
  TriangleScaler(std::unique_ptr<ImageRows> ownRows, RowSource* source, std::uint32_t destinationWidth,
                 std::uint32_t destinationHeight);
  // Reads source rows until row `last` is held; false on broken data.
  bool ReadThrough(std::uint32_t last);

  std::unique_ptr<ImageRows> ownRows_;  // the source when made from a whole image
  RowSource& source_;
  std::uint32_t destinationWidth_;
  std::uint32_t destinationHeight_;
  AxisFilter horizontal_;
  AxisFilter vertical_;
  std::vector<float> column_;  // the vertically filtered source row, 4 floats per source pixel
  std::vector<std::uint32_t> held_;  // a ring of source rows, row y at slot y % heldRows_
  std::uint32_t heldRows_ = 0;
  std::uint32_t rowsRead_ = 0;
};

}  // namespace vela::codec
