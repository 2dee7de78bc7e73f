// Images streamed row by row: block encoding on the worker pool against the calling thread,
// PNG headers and a BMP beyond the whole-image limits, JPEG decoded at a DCT-scaled size, 16-bit
// rounding edges.
#include <zlib.h>

#include "imagecodec/argb_image.h"
#include "imagecodec/image_file.h"
#include "imagecodec/surface_writer.h"
#include "imagecodec/worker_pool.h"
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A PNG built chunk by chunk: the header as given and the filtered rows deflated into one IDAT.
std::vector<std::uint8_t> Png(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                              const std::vector<std::uint8_t>& rows) {
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const auto chunk = [&file](const char* type, const std::vector<std::uint8_t>& data) {
    PutBigEndian(file, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    PutBigEndian(file, static_cast<std::uint32_t>(crc32(0, file.data() + start, static_cast<uInt>(file.size() - start))));
  };
  std::vector<std::uint8_t> header;
  PutBigEndian(header, width);
  PutBigEndian(header, height);
  header.insert(header.end(), {static_cast<std::uint8_t>(bitDepth), static_cast<std::uint8_t>(colourType), 0, 0, 0});
  chunk("IHDR", header);
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  std::vector<std::uint8_t> deflated(size);
  compress(deflated.data(), &size, rows.data(), static_cast<uLong>(rows.size()));
  deflated.resize(size);
  chunk("IDAT", deflated);
  chunk("IEND", {});
  return file;
}

TEST(ImageCodecStreaming, SixteenBitSamplesRoundToTheNearestEightBitValue) {
  // One RGBA pixel of 128, 129, 65406, 65407: (v * 255 + 32767) / 65535 gives 0, 1, 254, 255.
  const std::vector<std::uint8_t> row = {0, 0x00, 0x80, 0x00, 0x81, 0xFF, 0x7E, 0xFF, 0x7F};
  Pixels out;
  ASSERT_EQ(LoadNative(Png(1, 1, 16, 6, row), out), Result::kOk);
  EXPECT_EQ(out.at(0, 0), 0xFF0001FEu);
}

TEST(ImageCodecStreaming, BlocksEncodedOnTheWorkerPoolEqualThoseOfOneThread) {
  // Noise makes every block different, so a block written to another block's place shows.
  ArgbImage image;
  ASSERT_EQ(image.Allocate(301, 203), Result::kOk);
  std::uint32_t seed = 7;
  for (std::size_t i = 0; i < image.pixelCount(); ++i) image.pixels()[i] = seed = seed * 1664525u + 1013904223u;
  struct Case {
    PixelFormat format;
    std::uint32_t width, height;
  } cases[] = {{PixelFormat::kDxt1, 301, 203},   // the image's size: bands of 16 and 187 rows, partial edge blocks
               {PixelFormat::kDxt5, 512, 264},   // enlarged: three bands of 128, 128 and 8 rows
               {PixelFormat::kDxt5, 2048, 98}};  // shrunk in height: 13 bands of 8 rows, the last of 2
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    const std::ptrdiff_t pitch = (c.width + 3) / 4 * (c.format == PixelFormat::kDxt1 ? 8 : 16);
    std::vector<std::uint8_t> pooled(static_cast<std::size_t>(pitch) * ((c.height + 3) / 4), 0xAA);
    std::vector<std::uint8_t> single(pooled.size(), 0x55);
    for (auto* bytes : {&pooled, &single}) {
      ImageRows rows(image);
      const SurfaceView surface{c.format, c.width, c.height, pitch, bytes->data()};
      const auto threads = bytes == &pooled ? EncoderThreads::kPool : EncoderThreads::kCaller;
      ASSERT_EQ(WriteImage(rows, surface, PixelRect{0, 0, c.width, c.height}, threads), Result::kOk);
    }
    EXPECT_TRUE(pooled == single);
  }
  StopWorkers();
}

TEST(ImageCodecStreaming, PngHeadersOfUpToTwoGigapixelsReadWhateverTheirSides) {
  struct Case {
    std::uint32_t width, height;
    Result result;
  } cases[] = {{20000, 3, Result::kOk}, {65536, 32768, Result::kOk},  // 2^31 pixels
               {65536, 32769, Result::kInvalidData}, {0, 5, Result::kInvalidData}};
  for (const Case& c : cases) {
    EXPECT_EQ(ReadInfo(Png(c.width, c.height, 8, 2, {0, 99, 99, 99})), c.result) << c.width << " x " << c.height;
  }
}

TEST(ImageCodecStreaming, UncompressedBmpAndTgaWiderThanAnImageHeldWholeLoadScaled) {
  // 20000 x 2, 24-bit: the top row red then blue, the bottom row green then white. The BMP is
  // stored bottom-up, the TGA top-down and right to left.
  constexpr std::uint32_t kWidth = 20000;
  const std::uint32_t top[2] = {0xFF0000, 0x0000FF}, bottom[2] = {0x00FF00, 0xFFFFFF};
  const auto appendRow = [&](std::vector<std::uint8_t>& file, const std::uint32_t (&row)[2], bool reversed) {
    for (std::uint32_t i = 0; i < kWidth; ++i) {
      const std::uint32_t x = reversed ? kWidth - 1 - i : i;
      const std::uint32_t rgb = row[x < kWidth / 2 ? 0 : 1];
      file.insert(file.end(), {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                               static_cast<std::uint8_t>(rgb >> 16)});
    }
  };
  std::vector<std::uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
  for (const std::uint32_t value : {kWidth, 2u, 1u | 24u << 16, 0u, 0u, 0u, 0u, 0u, 0u}) {
    for (int shift = 0; shift < 32; shift += 8) bmp.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  appendRow(bmp, bottom, false);
  appendRow(bmp, top, false);
  std::vector<std::uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, kWidth & 0xFF, kWidth >> 8, 2, 0, 24, 0x30};
  appendRow(tga, top, true);
  appendRow(tga, bottom, true);
  for (const auto* file : {&bmp, &tga}) {
    SCOPED_TRACE(file == &bmp ? "BMP" : "TGA");
    EXPECT_EQ(InfoOf(*file).width, kWidth);
    Pixels out;
    ASSERT_EQ(Load(*file, 100, 2, out), Result::kOk);
    EXPECT_EQ(out.at(10, 0), 0xFFFF0000u);
    EXPECT_EQ(out.at(90, 0), 0xFF0000FFu);
    EXPECT_EQ(out.at(10, 1), 0xFF00FF00u);
    EXPECT_EQ(out.at(90, 1), 0xFFFFFFFFu);
  }
  tga.pop_back();  // one byte short: no longer a consistent TGA of that size
  Pixels out;
  EXPECT_EQ(Load(tga, 100, 2, out), Result::kInvalidData);
}

TEST(ImageCodecStreaming, JpegDecodesAtTheSmallestDctSizeThatCoversTheDestination) {
  std::vector<std::uint8_t> samples;
  for (std::uint32_t y = 0; y < 600; ++y) {
    for (std::uint32_t x = 0; x < 1000; ++x) {
      samples.insert(samples.end(), {static_cast<std::uint8_t>(x * 255 / 1000), static_cast<std::uint8_t>(y * 255 / 600), 90});
    }
  }
  const auto file = WriteJpeg(1000, 600, 3, samples);
  struct Case {
    std::uint32_t wantedWidth, wantedHeight, width, height;
  } cases[] = {{250, 150, 250, 150}, {251, 150, 375, 225}, {125, 10, 125, 75}, {2000, 10, 1000, 600}};
  for (const Case& c : cases) {
    std::unique_ptr<RowSource> source;
    ASSERT_EQ(OpenRowSource(ByteSpan(file.data(), file.size()), c.wantedWidth, c.wantedHeight, source), Result::kOk);
    EXPECT_EQ(source->width(), c.width) << c.wantedWidth;
    EXPECT_EQ(source->height(), c.height) << c.wantedWidth;
  }
  // Decoded at 375 x 225 and scaled on, the gradients land where they lie in the picture.
  Pixels reduced;
  ASSERT_EQ(Load(file, 256, 128, reduced), Result::kOk);
  const Pixels expected = MakePixels(256, 128, [](std::uint32_t x, std::uint32_t y) {
    return 0xFF00005Au | (2 * x + 1) * 255 / 512 << 16 | (2 * y + 1) * 255 / 256 << 8;
  });
  EXPECT_TRUE(PixelsNear(expected, reduced, 6));
}

}  // namespace
}  // namespace vela::codec::testing
