#include "imagecodec/surface_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

#include "imagecodec/channel_quantizer.h"
#include "imagecodec/dxt_encoder.h"
#include "imagecodec/pixel_format.h"
#include "imagecodec/surface_reader.h"
#include "imagecodec/worker_pool.h"

namespace vela::codec {
namespace {

std::uint32_t PackChannel(float value, ChannelLayout channel, unsigned threshold) {
  if (channel.bits == 0) return 0;
  return QuantizeChannel(value, channel.bits, threshold) << channel.shift;
}

// One float pixel (red, green, blue, alpha) in the packed layout. A one-bit alpha is a threshold
// at half, as in DXT1, rather than a dither: a stipple on the edges of keyed sprites looks worse.
std::uint32_t PackPixel(const FormatLayout& layout, const float* pixel, unsigned threshold) {
  std::uint32_t packed = layout.unusedBits;
  packed |= PackChannel(pixel[kRed], layout.r, threshold);
  packed |= PackChannel(pixel[kGreen], layout.g, threshold);
  packed |= PackChannel(pixel[kBlue], layout.b, threshold);
  if (layout.a.bits == 1) {
    packed |= (RoundChannel(pixel[kAlpha]) >= 128 ? 1u : 0u) << layout.a.shift;
  } else {
    packed |= PackChannel(pixel[kAlpha], layout.a, threshold);
  }
  return packed;
}

std::uint32_t RoundPixel(const float* pixel) {
  return RoundChannel(pixel[kAlpha]) << 24 | RoundChannel(pixel[kRed]) << 16 | RoundChannel(pixel[kGreen]) << 8 |
         RoundChannel(pixel[kBlue]);
}

// Destination rows in order, as floats (red, green, blue, alpha) or as rounded A8R8G8B8: from
// the scaler, or straight from a source of the destination's size.
class DestinationRows {
 public:
  explicit DestinationRows(TriangleScaler& scaler) : scaler_(&scaler), width_(scaler.width()) {}
  explicit DestinationRows(RowSource& source) : source_(&source), width_(source.width()) {}

  std::uint32_t width() const { return width_; }

  bool NextFloats(float* out) {
    if (scaler_) return scaler_->Row(next_++, out);
    argb_.resize(width_);
    if (!source_->ReadRow(argb_.data())) return false;
    for (const std::uint32_t pixel : argb_) {
      *out++ = static_cast<float>((pixel >> 16) & 0xFF);
      *out++ = static_cast<float>((pixel >> 8) & 0xFF);
      *out++ = static_cast<float>(pixel & 0xFF);
      *out++ = static_cast<float>(pixel >> 24);
    }
    return true;
  }

  bool NextArgb(std::uint32_t* out) {
    if (source_) return source_->ReadRow(out);
    floats_.resize(static_cast<std::size_t>(width_) * 4);
    if (!scaler_->Row(next_++, floats_.data())) return false;
    for (std::uint32_t x = 0; x < width_; ++x) out[x] = RoundPixel(floats_.data() + x * 4);
    return true;
  }

 private:
  TriangleScaler* scaler_ = nullptr;
  RowSource* source_ = nullptr;
  std::uint32_t width_;
  std::uint32_t next_ = 0;
  std::vector<std::uint32_t> argb_;
  std::vector<float> floats_;
};

bool WritePackedRows(DestinationRows& rows, std::uint32_t height, const FormatLayout& layout,
                     const SurfaceView& surface, const PixelRect& rect) {
  const std::uint32_t width = rows.width();
  std::vector<float> row(static_cast<std::size_t>(width) * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    if (!rows.NextFloats(row.data())) return false;
    const std::uint32_t surfaceY = rect.top + y;
    std::uint8_t* out = surface.bits + static_cast<std::ptrdiff_t>(surfaceY) * surface.pitch +
                        static_cast<std::size_t>(rect.left) * layout.bytesPerPixel;
    for (std::uint32_t x = 0; x < width; ++x, out += layout.bytesPerPixel) {
      const unsigned threshold = kBayer4x4[surfaceY & 3][(rect.left + x) & 3];
      const std::uint32_t packed = PackPixel(layout, row.data() + x * 4, threshold);
      for (unsigned i = 0; i < layout.bytesPerPixel; ++i) out[i] = static_cast<std::uint8_t>(packed >> (8 * i));
    }
  }
  return true;
}

// Block `bx` (in pixels) of a row of blocks from up to four rows of pixels; a partial block at
// the edge repeats its last row and column.
void GatherBlock(const std::uint32_t* pixels, std::uint32_t width, std::uint32_t rows, std::uint32_t bx,
                 std::uint32_t block[16]) {
  const std::uint32_t columns = std::min<std::uint32_t>(4, width - bx);
  if (columns == 4 && rows == 4) {  // a whole block: four rows of four pixels
    for (std::uint32_t y = 0; y < 4; ++y) std::memcpy(block + 4 * y, pixels + std::size_t{y} * width + bx, 16);
    return;
  }
  for (std::uint32_t i = 0; i < 16; ++i) {
    const std::uint32_t y = std::min<std::uint32_t>(i / 4, rows - 1);
    const std::uint32_t x = std::min<std::uint32_t>(i % 4, columns - 1);
    block[i] = pixels[y * width + bx + x];
  }
}

// One row of 4 x 4 blocks, gathered a few at a time so that the encoder can fit them together.
void EncodeBlockRow(PixelFormat format, std::uint8_t bytesPerBlock, const std::uint32_t* pixels,
                    std::uint32_t width, std::uint32_t rows, std::uint8_t* out) {
  constexpr std::uint32_t kGathered = 64;
  std::uint32_t blocks[kGathered][16];
  for (std::uint32_t bx = 0; bx < width; bx += 4 * kGathered, out += kGathered * bytesPerBlock) {
    const std::uint32_t count = std::min(kGathered, (width - bx + 3) / 4);
    for (std::uint32_t b = 0; b < count; ++b) GatherBlock(pixels, width, rows, bx + 4 * b, blocks[b]);
    EncodeDxtBlocks(format, blocks, count, out);
  }
}

// Rows of a band: about 256 KiB of pixels, a whole number of block rows.
std::uint32_t BandRows(std::uint32_t width) {
  constexpr std::uint32_t kBandPixels = 64 * 1024;
  return std::max<std::uint32_t>(4, kBandPixels / std::max<std::uint32_t>(width, 1) / 4 * 4);
}

// Two bands take turns: one is encoded on the pool while the other is read. The first band is
// a short one, so that the workers start early instead of waiting for a whole band.
bool WriteBlockRows(DestinationRows& rows, std::uint32_t height, const FormatLayout& layout,
                    const SurfaceView& surface, const PixelRect& rect, EncoderThreads threads) {
  const std::uint32_t width = rows.width();
  const std::uint32_t bandRows = std::min(BandRows(width), (height + 3) / 4 * 4);
  const std::uint32_t firstRows = std::min<std::uint32_t>(bandRows, 16);
  // Everything is allocated before the first band is posted: nothing may throw while a batch
  // that uses it is still on the pool.
  std::vector<std::uint32_t> bands[2];
  for (auto& pixels : bands) pixels.resize(static_cast<std::size_t>(bandRows) * width);
  std::optional<JobBatch> encoding[2];
  const auto finish = [&](int band) {
    if (encoding[band]) WaitFor(*encoding[band]);
    encoding[band].reset();
  };
  bool complete = true;
  int band = 0;
  std::uint32_t count = 0;
  for (std::uint32_t top = 0; top < height && complete; top += count, band ^= 1) {
    finish(band);
    count = std::min(top == 0 ? firstRows : bandRows, height - top);
    for (std::uint32_t y = 0; y < count && complete; ++y) complete = rows.NextArgb(bands[band].data() + std::size_t{y} * width);
    if (!complete) break;
    std::uint8_t* out = surface.bits + static_cast<std::ptrdiff_t>((rect.top + top) / 4) * surface.pitch +
                        static_cast<std::size_t>(rect.left / 4) * layout.bytesPerBlock;
    const std::uint32_t* pixels = bands[band].data();
    encoding[band].emplace((count + 3) / 4, [&layout, &surface, pixels, width, count, out](std::size_t i) {
      const auto blockRow = static_cast<std::uint32_t>(i);
      EncodeBlockRow(layout.format, layout.bytesPerBlock, pixels + std::size_t{blockRow} * 4 * width, width,
                     std::min<std::uint32_t>(4, count - blockRow * 4), out + blockRow * surface.pitch);
    });
    if (threads == EncoderThreads::kPool) Post(*encoding[band]);
  }
  finish(0);
  finish(1);
  return complete;
}

// Scratch for one block row of a scaled band: the filter's column, four rows of floats and four
// of pixels.
struct BlockRowScratch {
  std::vector<float> column;
  std::vector<float> floats;
  std::vector<std::uint32_t> pixels;
};

// A scaled image on the pool. The calling thread only reads: the source rows that a band's
// filter spans go into a ring, while the workers filter, round and encode the band before it,
// each block row by itself. The ring holds what two neighbouring bands span, so the next band's
// rows never overwrite rows of the band still being encoded. Filtering is the same arithmetic
// as in TriangleScaler::Row, so the blocks equal those of one thread.
bool WriteScaledBlockRows(TriangleScaler& scaler, const FormatLayout& layout, const SurfaceView& surface,
                          const PixelRect& rect) {
  const std::uint32_t width = scaler.width();
  const std::uint32_t height = scaler.height();
  RowSource& source = scaler.source();
  const std::uint32_t sourceWidth = source.width();
  const std::uint32_t bandRows = std::min(BandRows(width), (height + 3) / 4 * 4);
  std::uint32_t ringRows = 1;
  for (std::uint32_t top = 0; top < height; top += bandRows) {
    const std::uint32_t last = std::min(height, top + 2 * bandRows) - 1;
    ringRows = std::max(ringRows, scaler.LastSourceRow(last) - scaler.FirstSourceRow(top) + 1);
  }
  std::vector<std::uint32_t> ring(SourceRowsElements(ringRows, sourceWidth, 1));
  const std::uint32_t blockRowsPerBand = bandRows / 4;
  std::vector<BlockRowScratch> scratch(2 * std::size_t{blockRowsPerBand});
  for (BlockRowScratch& s : scratch) {
    s.column.resize(SourceRowsElements(1, sourceWidth, 4));
    s.floats.resize(static_cast<std::size_t>(width) * 4);
    s.pixels.resize(static_cast<std::size_t>(width) * 4);
  }
  std::optional<JobBatch> encoding[2];
  const auto finish = [&](int band) {
    if (encoding[band]) WaitFor(*encoding[band]);
    encoding[band].reset();
  };
  std::uint32_t rowsRead = 0;
  bool complete = true;
  int band = 0;
  for (std::uint32_t top = 0; top < height && complete; top += bandRows, band ^= 1) {
    finish(band);
    const std::uint32_t count = std::min(bandRows, height - top);
    for (; rowsRead <= scaler.LastSourceRow(top + count - 1) && complete; ++rowsRead) {
      complete = source.ReadRow(ring.data() + static_cast<std::size_t>(rowsRead % ringRows) * sourceWidth);
    }
    if (!complete) break;
    std::uint8_t* out = surface.bits + static_cast<std::ptrdiff_t>((rect.top + top) / 4) * surface.pitch +
                        static_cast<std::size_t>(rect.left / 4) * layout.bytesPerBlock;
    BlockRowScratch* bandScratch = scratch.data() + static_cast<std::size_t>(band) * blockRowsPerBand;
    encoding[band].emplace((count + 3) / 4, [&, top, count, out, bandScratch](std::size_t i) {
      const auto blockRow = static_cast<std::uint32_t>(i);
      const std::uint32_t rows = std::min<std::uint32_t>(4, count - blockRow * 4);
      BlockRowScratch& own = bandScratch[i];
      for (std::uint32_t r = 0; r < rows; ++r) {
        scaler.FilterRow(top + blockRow * 4 + r, ring.data(), ringRows, own.column.data(), own.floats.data());
        std::uint32_t* pixels = own.pixels.data() + std::size_t{r} * width;
        for (std::uint32_t x = 0; x < width; ++x) pixels[x] = RoundPixel(own.floats.data() + x * 4);
      }
      EncodeBlockRow(layout.format, layout.bytesPerBlock, own.pixels.data(), width, rows,
                     out + static_cast<std::ptrdiff_t>(blockRow) * surface.pitch);
    });
    Post(*encoding[band]);
  }
  finish(0);
  finish(1);
  return complete;
}

bool WriteRows(DestinationRows& rows, std::uint32_t height, const SurfaceView& surface, const PixelRect& rect,
               EncoderThreads threads) {
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  return IsBlockCompressed(layout) ? WriteBlockRows(rows, height, layout, surface, rect, threads)
                                   : WritePackedRows(rows, height, layout, surface, rect);
}

}  // namespace

Result CheckDestination(const SurfaceView& surface, const PixelRect& rect) {
  if (const Result checked = CheckSurfaceView(surface); !Succeeded(checked)) return checked;
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  // Premultiplied DXT2 and DXT4 are read but not written.
  if (surface.format == PixelFormat::kDxt2 || surface.format == PixelFormat::kDxt4) {
    return Result::kNotImplemented;
  }
  if (rect.left >= rect.right || rect.top >= rect.bottom || rect.right > surface.width ||
      rect.bottom > surface.height) {
    return Result::kInvalidCall;
  }
  if (IsBlockCompressed(layout)) {
    const bool alignedRight = rect.right % 4 == 0 || rect.right == surface.width;
    const bool alignedBottom = rect.bottom % 4 == 0 || rect.bottom == surface.height;
    if (rect.left % 4 != 0 || rect.top % 4 != 0 || !alignedRight || !alignedBottom) return Result::kInvalidCall;
  }
  return Result::kOk;
}

Result WriteImage(RowSource& source, const SurfaceView& surface, const PixelRect& rect, EncoderThreads threads) {
  const std::uint32_t width = rect.right - rect.left;
  const std::uint32_t height = rect.bottom - rect.top;
  if (source.width() == width && source.height() == height) {
    DestinationRows rows(source);
    return WriteRows(rows, height, surface, rect, threads) ? Result::kOk : Result::kInvalidData;
  }
  TriangleScaler scaler(source, width, height);
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  if (IsBlockCompressed(layout) && threads == EncoderThreads::kPool) {
    return WriteScaledBlockRows(scaler, layout, surface, rect) ? Result::kOk : Result::kInvalidData;
  }
  DestinationRows rows(scaler);
  return WriteRows(rows, height, surface, rect, threads) ? Result::kOk : Result::kInvalidData;
}

void WriteScaledImage(TriangleScaler& scaler, const SurfaceView& surface, const PixelRect& rect) {
  DestinationRows rows(scaler);
  WriteRows(rows, scaler.height(), surface, rect, EncoderThreads::kCaller);
}

}  // namespace vela::codec
