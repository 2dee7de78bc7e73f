// Scaling the whole image over the whole destination with the triangle filter, and the colour
// key, observed through LoadSurfaceFromMemory into A8R8G8B8.
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

Pixels Scale(const Pixels& source, std::uint32_t width, std::uint32_t height, std::uint32_t colorKey = 0) {
  Pixels out;
  EXPECT_EQ(Load(Save(FileFormat::kPng, source), width, height, out, colorKey), Result::kOk);
  return out;
}

std::uint32_t Grey(std::uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }

TEST(ImageCodecScaling, HalvingIsTheBoxAverage) {
  const Pixels source = MakePixels(6, 4, [](std::uint32_t x, std::uint32_t y) {
    return (x * 40 + y * 3) << 24 | (x * 37) << 16 | (y * 61) << 8 | ((x + y) * 19);
  });
  const Pixels half = Scale(source, 3, 2);
  for (std::uint32_t y = 0; y < 2; ++y) {
    for (std::uint32_t x = 0; x < 3; ++x) {
      std::uint32_t expected = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t sum = 0;
        for (std::uint32_t dy = 0; dy < 2; ++dy) {
          for (std::uint32_t dx = 0; dx < 2; ++dx) sum += (source.at(2 * x + dx, 2 * y + dy) >> shift) & 0xFF;
        }
        expected |= ((sum + 2) / 4) << shift;  // average, rounded half up
      }
      EXPECT_EQ(half.at(x, y), expected) << x << "," << y;
    }
  }
}

TEST(ImageCodecScaling, DoublingAveragesTheTentReconstruction) {
  // Two pixels 0 and 255: the linear reconstruction between the centres (0.5 and 1.5), held
  // beyond them, averaged over quarter-pixel footprints gives 0, 63.75, 191.25 and 255.
  const Pixels source = MakePixels(2, 1, [](std::uint32_t x, std::uint32_t) { return Grey(x * 255); });
  const Pixels wide = Scale(source, 4, 3);
  for (std::uint32_t y = 0; y < 3; ++y) {
    EXPECT_EQ(wide.at(0, y), Grey(0));
    EXPECT_EQ(wide.at(1, y), Grey(64));
    EXPECT_EQ(wide.at(2, y), Grey(191));
    EXPECT_EQ(wide.at(3, y), Grey(255));
  }
}

TEST(ImageCodecColorKey, KeyedPixelsBecomeTransparentBlack) {
  constexpr std::uint32_t kMagenta = 0xFFFF00FFu;
  const Pixels source = MakePixels(4, 4, [](std::uint32_t x, std::uint32_t y) {
    return (x + y) % 3 == 0 ? kMagenta : 0xFF204060u;
  });
  const Pixels keyed = Scale(source, 4, 4, kMagenta);
  for (std::uint32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(keyed.argb[i], source.argb[i] == kMagenta ? 0u : 0xFF204060u) << i;
  }
  // No key, or a key that differs only in alpha, leaves the pixels alone.
  EXPECT_EQ(Scale(source, 4, 4, 0).argb, source.argb);
  EXPECT_EQ(Scale(source, 4, 4, 0x00FF00FFu).argb, source.argb);
}

TEST(ImageCodecColorKey, KeyIsAppliedBeforeScaling) {
  // Left half keyed: halving averages a transparent black pixel with an opaque white one.
  const Pixels source = MakePixels(2, 2, [](std::uint32_t x, auto) { return x == 0 ? 0xFF00FF00u : 0xFFFFFFFFu; });
  const Pixels out = Scale(source, 1, 1, 0xFF00FF00u);
  EXPECT_EQ(out.argb[0], 0x80808080u);
}

}  // namespace
}  // namespace vela::codec::testing
