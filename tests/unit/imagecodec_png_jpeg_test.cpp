// PNG and JPEG reading through the public entry points: JPEG files made with libjpeg, decoded and
// compared pixel by pixel; reported formats; broken files. The PNG variants are read from libpng's
// own test suite (imagecodec_corpus_test).
#include <cstdio>
#include <jpeglib.h>

#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

ImageInfo InfoOf(const std::vector<std::uint8_t>& file) {
  ImageInfo info;
  EXPECT_EQ(GetImageInfoFromMemory(file.data(), file.size(), info), Result::kOk);
  return info;
}

TEST(ImageCodecPng, BrokenFilesFailWithInvalidData) {
  const auto file = Save(FileFormat::kPng, Gradient(8, 8));
  for (std::size_t length : {std::size_t{8}, std::size_t{20}, std::size_t{33}, file.size() - 20}) {
    SCOPED_TRACE(length);
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    Pixels out;
    EXPECT_EQ(Load(cut, 8, 8, out), Result::kInvalidData);
  }
  auto corrupt = file;
  corrupt[16] = 0x7F;  // width 0x7F000008: beyond the limits
  ImageInfo info;
  EXPECT_EQ(GetImageInfoFromMemory(corrupt.data(), corrupt.size(), info), Result::kInvalidData);
}

// --- JPEG ---

struct JpegRecipe {
  std::uint32_t width = 16, height = 16;
  J_COLOR_SPACE inSpace = JCS_RGB;
  int components = 3;
  int quality = 100;
  std::vector<std::uint8_t> samples;
};

std::vector<std::uint8_t> WriteJpeg(const JpegRecipe& recipe) {
  jpeg_compress_struct encoder;
  jpeg_error_mgr errors;
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&encoder, &buffer, &size);
  encoder.image_width = recipe.width;
  encoder.image_height = recipe.height;
  encoder.input_components = recipe.components;
  encoder.in_color_space = recipe.inSpace;
  jpeg_set_defaults(&encoder);
  jpeg_set_quality(&encoder, recipe.quality, TRUE);
  if (recipe.inSpace == JCS_RGB) {  // no chroma subsampling: keeps the round trip close
    for (int i = 0; i < encoder.num_components; ++i) encoder.comp_info[i].h_samp_factor = encoder.comp_info[i].v_samp_factor = 1;
  }
  jpeg_start_compress(&encoder, TRUE);
  while (encoder.next_scanline < encoder.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(recipe.samples.data() + encoder.next_scanline * recipe.width * recipe.components);
    jpeg_write_scanlines(&encoder, &row, 1);
  }
  jpeg_finish_compress(&encoder);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&encoder);
  std::free(buffer);
  return file;
}

TEST(ImageCodecJpeg, ColourGreyAndCmykDecodeCloseToTheirSource) {
  JpegRecipe colour;
  for (std::uint32_t i = 0; i < 16 * 16; ++i) {
    colour.samples.insert(colour.samples.end(), {static_cast<std::uint8_t>(i % 16 * 16), static_cast<std::uint8_t>(i / 16 * 16), 128});
  }
  const auto colourFile = WriteJpeg(colour);
  EXPECT_EQ(InfoOf(colourFile).format, PixelFormat::kX8R8G8B8);
  EXPECT_EQ(InfoOf(colourFile).fileFormat, FileFormat::kJpg);
  Pixels out;
  ASSERT_EQ(LoadNative(colourFile, out), Result::kOk);
  const Pixels expected = MakePixels(16, 16, [](std::uint32_t x, std::uint32_t y) {
    return PackArgbForTest(255, x * 16, y * 16, 128);
  });
  EXPECT_TRUE(PixelsNear(expected, out, 6));

  JpegRecipe grey{16, 16, JCS_GRAYSCALE, 1};
  grey.samples.assign(256, 77);
  const auto greyFile = WriteJpeg(grey);
  EXPECT_EQ(InfoOf(greyFile).format, PixelFormat::kL8);
  ASSERT_EQ(LoadNative(greyFile, out), Result::kOk);
  EXPECT_TRUE(PixelsNear(MakePixels(16, 16, [](auto, auto) { return 0xFF4D4D4Du; }), out, 1));

  // Adobe CMYK with inverted inks (as libjpeg writes the Adobe marker): pure red is C=0 M=Y=K=max
  // stored as 255, 0, 0, 255.
  JpegRecipe cmyk{16, 16, JCS_CMYK, 4};
  for (int i = 0; i < 256; ++i) cmyk.samples.insert(cmyk.samples.end(), {255, 0, 0, 255});
  const auto cmykFile = WriteJpeg(cmyk);
  ASSERT_EQ(LoadNative(cmykFile, out), Result::kOk);
  EXPECT_TRUE(PixelsNear(MakePixels(16, 16, [](auto, auto) { return 0xFFFF0000u; }), out, 3));
}

TEST(ImageCodecJpeg, BrokenHeadersFailAndTruncatedScansStillLoad) {
  JpegRecipe recipe;
  recipe.samples.assign(16 * 16 * 3, 200);
  const auto file = WriteJpeg(recipe);
  Pixels out;
  for (std::size_t length : {std::size_t{3}, std::size_t{40}, std::size_t{150}}) {
    SCOPED_TRACE(length);
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Load(cut, 16, 16, out), Result::kInvalidData);
  }
  // Cut inside the entropy-coded data: libjpeg pads the rest, and the image loads.
  const std::vector<std::uint8_t> cutScan(file.begin(), file.end() - 10);
  EXPECT_EQ(Load(cutScan, 16, 16, out), Result::kOk);
}

TEST(ImageCodecFiles, NonImagesAndBadArguments) {
  ImageInfo info;
  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(GetImageInfoFromMemory(text.data(), text.size(), info), Result::kInvalidData);
  EXPECT_EQ(GetImageInfoFromMemory(nullptr, 10, info), Result::kInvalidCall);
  EXPECT_EQ(GetImageInfoFromMemory(text.data(), 0, info), Result::kInvalidCall);
  Pixels out;
  EXPECT_EQ(Load(text, 4, 4, out), Result::kInvalidData);
  EXPECT_EQ(Load({}, 4, 4, out), Result::kInvalidCall);
}

}  // namespace
}  // namespace vela::codec::testing
