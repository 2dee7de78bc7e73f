// Saving surfaces to BMP, PNG, TGA and DDS and reading the files back.
#include "imagecodec/pixel_format.h"
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

TEST(ImageCodecSave, ArgbSurvivesEveryFileFormat) {
  const Pixels source = Gradient(19, 7);
  for (FileFormat format : {FileFormat::kBmp, FileFormat::kPng, FileFormat::kTga, FileFormat::kDds}) {
    SCOPED_TRACE(static_cast<int>(format));
    const auto file = Save(format, source);
    const ImageInfo info = InfoOf(file);
    EXPECT_EQ(info.fileFormat, format);
    EXPECT_EQ(info.format, PixelFormat::kA8R8G8B8);
    Pixels back;
    ASSERT_EQ(LoadNative(file, back), Result::kOk);
    EXPECT_EQ(back.argb, source.argb);
  }
}

TEST(ImageCodecSave, FormatsWithoutAlphaAreSavedOpaque) {
  // An X8R8G8B8 surface whose unused byte holds junk: the files carry the colours only.
  Pixels source = Gradient(5, 3);
  for (auto& p : source.argb) p = (p & 0x00FFFFFFu) | 0x17000000u;
  const ConstSurfaceView view(PixelFormat::kX8R8G8B8, 5, 3, 20, reinterpret_cast<const std::uint8_t*>(source.argb.data()));
  for (FileFormat format : {FileFormat::kBmp, FileFormat::kPng, FileFormat::kTga}) {
    std::vector<std::uint8_t> file;
    ASSERT_EQ(SaveToMemory(format, view, file), Result::kOk);
    Pixels back;
    ASSERT_EQ(LoadNative(file, back), Result::kOk);
    for (std::size_t i = 0; i < back.argb.size(); ++i) EXPECT_EQ(back.argb[i], source.argb[i] | 0xFF000000u);
  }
}

TEST(ImageCodecSave, DdsKeepsEachPackedFormatBitForBit) {
  for (PixelFormat format : {PixelFormat::kA8R8G8B8, PixelFormat::kX8R8G8B8, PixelFormat::kR5G6B5,
                             PixelFormat::kX1R5G5B5, PixelFormat::kA1R5G5B5, PixelFormat::kA4R4G4B4,
                             PixelFormat::kX4R4G4B4, PixelFormat::kA8R3G3B2, PixelFormat::kA8, PixelFormat::kR8G8B8}) {
    SCOPED_TRACE(static_cast<int>(format));
    const FormatLayout& layout = *FindFormatLayout(format);
    std::vector<std::uint8_t> bits(6 * 5 * layout.bytesPerPixel);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const std::ptrdiff_t pitch = 6 * layout.bytesPerPixel;
    const ConstSurfaceView view(format, 6, 5, pitch, bits.data());
    std::vector<std::uint8_t> dds;
    ASSERT_EQ(SaveToMemory(FileFormat::kDds, view, dds), Result::kOk);
    EXPECT_EQ(InfoOf(dds).format, format);
    // Loaded into a surface of the same format: the same bytes (X bits aside, which the copy keeps).
    std::vector<std::uint8_t> copy(bits.size());
    SurfaceView target{format, 6, 5, pitch, copy.data()};
    ASSERT_EQ(LoadSurfaceFromMemory(target, nullptr, dds.data(), dds.size(), 0), Result::kOk);
    EXPECT_EQ(copy, bits);
    // Loaded as A8R8G8B8: each pixel expanded from its own bits.
    Pixels argb;
    ASSERT_EQ(LoadNative(dds, argb), Result::kOk);
    for (std::uint32_t i = 0; i < 30; ++i) EXPECT_EQ(argb.argb[i], ReadPackedPixel(layout, bits.data() + i * layout.bytesPerPixel));
  }
}

TEST(ImageCodecSave, SixteenBitSurfaceToPngExpandsItsLevels) {
  const std::vector<std::uint16_t> bits = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410};
  const ConstSurfaceView view(PixelFormat::kR5G6B5, 3, 2, 6, reinterpret_cast<const std::uint8_t*>(bits.data()));
  std::vector<std::uint8_t> png;
  ASSERT_EQ(SaveToMemory(FileFormat::kPng, view, png), Result::kOk);
  EXPECT_EQ(InfoOf(png).format, PixelFormat::kX8R8G8B8);
  Pixels back;
  ASSERT_EQ(LoadNative(png, back), Result::kOk);
  EXPECT_EQ(back.argb, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF000000u, 0xFF848284u}));
}

TEST(ImageCodecSave, RefusedRequests) {
  const Pixels source = Gradient(4, 4);
  std::vector<std::uint8_t> file = {1, 2, 3};
  EXPECT_EQ(SaveToMemory(FileFormat::kJpg, source.View(), file), Result::kNotImplemented);
  EXPECT_TRUE(file.empty());
  ConstSurfaceView bad = source.View();
  bad.pitch = 3;
  EXPECT_EQ(SaveToMemory(FileFormat::kPng, bad, file), Result::kInvalidCall);
  bad = source.View();
  bad.format = PixelFormat::kP8;
  EXPECT_EQ(SaveToMemory(FileFormat::kBmp, bad, file), Result::kNotImplemented);
}

}  // namespace
}  // namespace vela::codec::testing
