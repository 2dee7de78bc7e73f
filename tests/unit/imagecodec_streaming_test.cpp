// Images streamed row by row: block encoding on the worker pool against the calling thread,
// PNG headers beyond the whole-image limits, JPEG decoded at a DCT-scaled size, 16-bit rounding edges.
#include <cstdio>  // jpeglib.h needs FILE first

#include <jpeglib.h>
#include <zlib.h>

#include "imagecodec/argb_image.h"
#include "imagecodec/image_file.h"
#include "imagecodec/surface_writer.h"
#include "imagecodec/worker_pool.h"
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

std::vector<std::uint8_t> WriteRgbJpeg(std::uint32_t width, std::uint32_t height) {
  jpeg_compress_struct encoder;
  jpeg_error_mgr errors;
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&encoder, &buffer, &size);
  encoder.image_width = width;
  encoder.image_height = height;
  encoder.input_components = 3;
  encoder.in_color_space = JCS_RGB;
  jpeg_set_defaults(&encoder);
  jpeg_start_compress(&encoder, TRUE);
  std::vector<std::uint8_t> row(std::size_t{width} * 3);
  while (encoder.next_scanline < height) {
    for (std::uint32_t x = 0; x < width; ++x) {
      row[x * 3] = static_cast<std::uint8_t>(x * 255 / width);
      row[x * 3 + 1] = static_cast<std::uint8_t>(encoder.next_scanline * 255 / height);
      row[x * 3 + 2] = 90;
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&encoder, &pointer, 1);
  }
  jpeg_finish_compress(&encoder);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&encoder);
  std::free(buffer);
  return file;
}

TEST(ImageCodecStreaming, SixteenBitSamplesRoundToTheNearestEightBitValue) {
  PngRecipe recipe{1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16};
  recipe.samples = {128, 129, 65406, 65407};  // (v * 255 + 32767) / 65535: 0, 1, 254, 255
  Pixels out;
  ASSERT_EQ(LoadNative(WritePngWithLibpng(recipe), out), Result::kOk);
  EXPECT_EQ(out.at(0, 0), PackArgbForTest(255, 0, 1, 254));
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
  } cases[] = {{PixelFormat::kDxt1, 301, 203},    // the image's size: one band, partial edge blocks
               {PixelFormat::kDxt5, 512, 264}};  // scaled: three bands of 128, 128 and 8 rows
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

// A PNG file with its IHDR's size replaced (and the chunk's CRC made to match).
std::vector<std::uint8_t> WithPngSize(std::vector<std::uint8_t> file, std::uint32_t width, std::uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    file[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    file[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, file.data() + 12, 17));
  for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  return file;
}

TEST(ImageCodecStreaming, PngHeadersOfUpToTwoGigapixelsReadWhateverTheirSides) {
  PngRecipe recipe{8, 8, PNG_COLOR_TYPE_RGB, 8};
  recipe.samples.assign(8 * 8 * 3, 99);
  const auto file = WritePngWithLibpng(recipe);
  struct Case {
    std::uint32_t width, height;
    Result result;
  } cases[] = {{20000, 3, Result::kOk}, {65536, 32768, Result::kOk},  // 2^31 pixels
               {65536, 32769, Result::kInvalidData}, {0, 5, Result::kInvalidData}};
  for (const Case& c : cases) {
    const auto sized = WithPngSize(file, c.width, c.height);
    ImageInfo info;
    EXPECT_EQ(GetImageInfoFromMemory(sized.data(), sized.size(), info), c.result) << c.width << " x " << c.height;
  }
}

TEST(ImageCodecStreaming, JpegDecodesAtTheSmallestDctSizeThatCoversTheDestination) {
  const auto file = WriteRgbJpeg(1000, 600);
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
    return PackArgbForTest(255, (2 * x + 1) * 255 / 512, (2 * y + 1) * 255 / 256, 90);
  });
  EXPECT_TRUE(PixelsNear(expected, reduced, 6));
}

}  // namespace
}  // namespace vela::codec::testing
