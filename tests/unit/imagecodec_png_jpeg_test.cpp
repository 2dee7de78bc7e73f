// PNG and JPEG reading through the public entry points: libjpeg's files compared pixel by pixel,
// reported formats, broken files. The PNG variants are libpng's own (imagecodec_corpus_test).
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

TEST(ImageCodecPng, BrokenFilesFailWithInvalidData) {
  const auto file = Save(FileFormat::kPng, Gradient(8, 8));
  for (std::size_t length : {std::size_t{8}, std::size_t{20}, std::size_t{33}, file.size() - 20}) {
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    Pixels out;
    EXPECT_EQ(Load(cut, 8, 8, out), Result::kInvalidData) << length;
  }
  auto corrupt = file;
  corrupt[16] = 0x7F;  // width 0x7F000008: beyond the limits
  EXPECT_EQ(ReadInfo(corrupt), Result::kInvalidData);
}

TEST(ImageCodecJpeg, ColourGreyAndCmykDecodeCloseToTheirSource) {
  std::vector<std::uint8_t> colour;
  for (std::uint32_t i = 0; i < 16 * 16; ++i) {
    colour.insert(colour.end(), {static_cast<std::uint8_t>(i % 16 * 16), static_cast<std::uint8_t>(i / 16 * 16), 128});
  }
  const auto colourFile = WriteJpeg(16, 16, 3, colour);
  EXPECT_EQ(InfoOf(colourFile).format, PixelFormat::kX8R8G8B8);
  EXPECT_EQ(InfoOf(colourFile).fileFormat, FileFormat::kJpg);
  Pixels out;
  ASSERT_EQ(LoadNative(colourFile, out), Result::kOk);
  const Pixels expected = MakePixels(16, 16, [](std::uint32_t x, std::uint32_t y) {
    return 0xFF000080u | x * 16 << 16 | y * 16 << 8;
  });
  EXPECT_TRUE(PixelsNear(expected, out, 6));

  const auto greyFile = WriteJpeg(16, 16, 1, std::vector<std::uint8_t>(256, 77));
  EXPECT_EQ(InfoOf(greyFile).format, PixelFormat::kL8);
  ASSERT_EQ(LoadNative(greyFile, out), Result::kOk);
  EXPECT_TRUE(PixelsNear(MakePixels(16, 16, [](auto, auto) { return 0xFF4D4D4Du; }), out, 1));

  // Adobe CMYK with inverted inks (as libjpeg writes the Adobe marker): pure red is C=0 M=Y=K=max
  // stored as 255, 0, 0, 255.
  std::vector<std::uint8_t> cmyk;
  for (int i = 0; i < 256; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
  const auto cmykFile = WriteJpeg(16, 16, 4, cmyk);
  ASSERT_EQ(LoadNative(cmykFile, out), Result::kOk);
  EXPECT_TRUE(PixelsNear(MakePixels(16, 16, [](auto, auto) { return 0xFFFF0000u; }), out, 3));
}

TEST(ImageCodecJpeg, BrokenHeadersFailAndTruncatedScansStillLoad) {
  const auto file = WriteJpeg(16, 16, 3, std::vector<std::uint8_t>(16 * 16 * 3, 200));
  Pixels out;
  for (std::size_t length : {std::size_t{3}, std::size_t{40}, std::size_t{150}}) {
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Load(cut, 16, 16, out), Result::kInvalidData) << length;
  }
  // Cut inside the entropy-coded data: libjpeg pads the rest, and the image loads.
  const std::vector<std::uint8_t> cutScan(file.begin(), file.end() - 10);
  EXPECT_EQ(Load(cutScan, 16, 16, out), Result::kOk);
}

TEST(ImageCodecFiles, NonImagesAndBadArguments) {
  ImageInfo info;
  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ReadInfo(text), Result::kInvalidData);
  EXPECT_EQ(GetImageInfoFromMemory(nullptr, 10, info), Result::kInvalidCall);
  EXPECT_EQ(GetImageInfoFromMemory(text.data(), 0, info), Result::kInvalidCall);
  Pixels out;
  EXPECT_EQ(Load(text, 4, 4, out), Result::kInvalidData);
  EXPECT_EQ(Load({}, 4, 4, out), Result::kInvalidCall);
}

}  // namespace
}  // namespace vela::codec::testing
