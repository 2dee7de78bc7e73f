// PNG and JPEG reading through the public entry points: files made with libpng and libjpeg,
// decoded and compared pixel by pixel; reported formats; broken files.
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

TEST(ImageCodecPng, TrueColourWithAndWithoutAlphaDecodesExactly) {
  PngRecipe rgb{5, 3, PNG_COLOR_TYPE_RGB, 8};
  PngRecipe rgba{5, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8};
  for (std::uint16_t i = 0; i < 15; ++i) {
    rgb.samples.insert(rgb.samples.end(), {static_cast<std::uint16_t>(i * 17), 200, static_cast<std::uint16_t>(255 - i)});
    rgba.samples.insert(rgba.samples.end(),
                        {static_cast<std::uint16_t>(i * 17), 200, static_cast<std::uint16_t>(255 - i), static_cast<std::uint16_t>(i * 16)});
  }
  const auto rgbFile = WritePngWithLibpng(rgb);
  const auto rgbaFile = WritePngWithLibpng(rgba);
  const ImageInfo info = InfoOf(rgbFile);
  EXPECT_EQ(info.width, 5u);
  EXPECT_EQ(info.height, 3u);
  EXPECT_EQ(info.depth, 1u);
  EXPECT_EQ(info.mipLevels, 1u);
  EXPECT_EQ(info.format, PixelFormat::kX8R8G8B8);
  EXPECT_EQ(info.resourceType, ResourceType::kTexture);
  EXPECT_EQ(info.fileFormat, FileFormat::kPng);
  EXPECT_EQ(InfoOf(rgbaFile).format, PixelFormat::kA8R8G8B8);

  Pixels fromRgb, fromRgba;
  ASSERT_EQ(LoadNative(rgbFile, fromRgb), Result::kOk);
  ASSERT_EQ(LoadNative(rgbaFile, fromRgba), Result::kOk);
  for (std::uint32_t i = 0; i < 15; ++i) {
    EXPECT_EQ(fromRgb.argb[i], PackArgbForTest(255, i * 17, 200, 255 - i));
    EXPECT_EQ(fromRgba.argb[i], PackArgbForTest(i * 16, i * 17, 200, 255 - i));
  }
}

TEST(ImageCodecPng, GreyDepthsExpandToFullRange) {
  struct Case {
    int depth;
    std::uint16_t sample;
    std::uint32_t grey;
    PixelFormat format;
  } cases[] = {{1, 1, 255, PixelFormat::kL8},      {2, 1, 85, PixelFormat::kL8},
               {4, 7, 119, PixelFormat::kL8},      {8, 93, 93, PixelFormat::kL8},
               {16, 0x1234, 18, PixelFormat::kL16}};  // 0x1234 / 257 = 18.1
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    PngRecipe recipe{3, 2, PNG_COLOR_TYPE_GRAY, c.depth};
    recipe.samples = {c.sample, 0, c.sample, 0, c.sample, 0};
    const auto file = WritePngWithLibpng(recipe);
    EXPECT_EQ(InfoOf(file).format, c.format);
    Pixels out;
    ASSERT_EQ(LoadNative(file, out), Result::kOk);
    EXPECT_EQ(out.at(0, 0), PackArgbForTest(255, c.grey, c.grey, c.grey));
    EXPECT_EQ(out.at(1, 0), 0xFF000000u);
    EXPECT_EQ(out.at(1, 1), PackArgbForTest(255, c.grey, c.grey, c.grey));
  }
}

TEST(ImageCodecPng, TransparencyChunkBecomesAlpha) {
  PngRecipe grey{2, 1, PNG_COLOR_TYPE_GRAY, 8};
  grey.samples = {40, 41};
  grey.transparentGrey = 40;
  const auto greyFile = WritePngWithLibpng(grey);
  EXPECT_EQ(InfoOf(greyFile).format, PixelFormat::kA8L8);
  Pixels out;
  ASSERT_EQ(LoadNative(greyFile, out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{0x00282828u, 0xFF292929u}));

  PngRecipe palette{4, 1, PNG_COLOR_TYPE_PALETTE, 4};
  palette.samples = {0, 1, 2, 1};
  palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  palette.paletteAlpha = {128, 0};  // entry 2 stays opaque
  const auto paletteFile = WritePngWithLibpng(palette);
  EXPECT_EQ(InfoOf(paletteFile).format, PixelFormat::kP8);
  ASSERT_EQ(LoadNative(paletteFile, out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{0x80FF0000u, 0x0000FF00u, 0xFF0000FFu, 0x0000FF00u}));
}

TEST(ImageCodecPng, InterlacedSixteenBitMatchesPlain) {
  PngRecipe recipe{13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 16};
  for (std::uint32_t i = 0; i < 13 * 11 * 4; ++i) recipe.samples.push_back(static_cast<std::uint16_t>(i * 7919u));
  const auto plain = WritePngWithLibpng(recipe);
  recipe.interlaced = true;
  const auto interlaced = WritePngWithLibpng(recipe);
  EXPECT_EQ(InfoOf(interlaced).format, PixelFormat::kA16B16G16R16);
  Pixels a, b;
  ASSERT_EQ(LoadNative(plain, a), Result::kOk);
  ASSERT_EQ(LoadNative(interlaced, b), Result::kOk);
  EXPECT_EQ(a.argb, b.argb);
  // 16-bit samples are rounded to 8 bits: pixel 0 is (0, 7919, 15838, 23757) as R, G, B, A.
  EXPECT_EQ(a.argb[0], PackArgbForTest(92, 0, 31, 62));
}

TEST(ImageCodecPng, BrokenFilesFailWithInvalidData) {
  PngRecipe recipe{8, 8, PNG_COLOR_TYPE_RGB, 8};
  recipe.samples.assign(8 * 8 * 3, 99);
  const auto file = WritePngWithLibpng(recipe);
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
