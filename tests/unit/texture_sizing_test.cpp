// The power-of-two sides of textures and the fill words of Fill, per pixel format.
#include <gtest/gtest.h>

#include "image/texture_sizing.h"
#include "imagecodec/codec_types.h"

namespace vela {
namespace {

constexpr auto Format(codec::PixelFormat format) { return static_cast<std::uint32_t>(format); }

TEST(TextureSizing, SidesAreTheNextPowerOfTwoHalvedWhileAboveTheDeviceMaximum) {
  EXPECT_EQ(TextureSide(100, 16384), 128u);
  EXPECT_EQ(TextureSide(60, 16384), 64u);
  EXPECT_EQ(TextureSide(64, 16384), 64u);
  EXPECT_EQ(TextureSide(1, 16384), 1u);
  EXPECT_EQ(TextureSide(0, 16384), 1u);
  EXPECT_EQ(TextureSide(300, 256), 256u);
  EXPECT_EQ(TextureSide(300, 200), 128u) << "a maximum that is no power of two";
  EXPECT_EQ(TextureSide(0xFFFFFFFFu, 0), 0x80000000u) << "no endless doubling at the top";
}

TEST(TextureSizing, FillWordsPackTheColourForEachFormat) {
  const std::uint32_t colour = 0x80FF8000;
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kA4R4G4B4), colour), 0x8F808F80u);
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kX4R4G4B4), colour), 0x8F808F80u);
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kA8R8G8B8), colour), colour);
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kX8R8G8B8), colour), colour);
  // R5G6B5: 11111 100000 00000.
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kR5G6B5), colour), 0xFC00FC00u);
  // A1R5G5B5: the alpha bit is set above 127: 1 11111 10000 00000, and clear at 127.
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kA1R5G5B5), colour), 0xFE00FE00u);
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kX1R5G5B5), 0x7FFF8000), 0x7E007E00u);
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kDxt5), colour), 0u);
  EXPECT_EQ(TextureFillWord(Format(codec::PixelFormat::kL8), colour), 0u);
}

TEST(TextureSizing, OnlyDxtFormatsAreBlockCompressed) {
  EXPECT_TRUE(IsBlockCompressed(Format(codec::PixelFormat::kDxt1)));
  EXPECT_TRUE(IsBlockCompressed(Format(codec::PixelFormat::kDxt5)));
  EXPECT_FALSE(IsBlockCompressed(Format(codec::PixelFormat::kA8R8G8B8)));
}

}  // namespace
}  // namespace vela
