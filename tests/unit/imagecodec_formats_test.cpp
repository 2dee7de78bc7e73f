// Writing into each destination format: bit packing of known colours, ordered dithering,
// rectangles and pitches, and the calls that are refused.
#include <cstring>

#include "imagecodec/pixel_format.h"
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

// Loads a flat-coloured file into a surface of the format; answers the first pixel's raw bits.
std::uint32_t PackedColour(PixelFormat format, std::uint32_t argb) {
  const FormatLayout* layout = FindFormatLayout(format);
  EXPECT_NE(layout, nullptr);
  std::vector<std::uint8_t> bits(4 * 4 * 4, 0xCD);
  SurfaceView surface{format, 4, 4, 16, bits.data()};
  const auto file = Save(FileFormat::kPng, MakePixels(4, 4, [&](auto, auto) { return argb; }));
  EXPECT_EQ(LoadSurfaceFromMemory(surface, nullptr, file.data(), file.size(), 0), Result::kOk);
  std::uint32_t raw = 0;
  for (unsigned i = 0; i < layout->bytesPerPixel; ++i) raw |= static_cast<std::uint32_t>(bits[i]) << (8 * i);
  // Every pixel of a flat colour that the format holds exactly is the same.
  for (std::uint32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(std::memcmp(bits.data() + y * 16, bits.data(), 4 * layout->bytesPerPixel), 0);
  }
  return raw;
}

TEST(ImageCodecFormats, KnownColoursPackIntoEachFormat) {
  struct Case {
    PixelFormat format;
    std::uint32_t argb;
    std::uint32_t raw;
  } cases[] = {
      {PixelFormat::kA8R8G8B8, 0x80FF4020u, 0x80FF4020u},
      {PixelFormat::kX8R8G8B8, 0x80FF4020u, 0xFFFF4020u},
      {PixelFormat::kR8G8B8, 0x80FF4020u, 0xFF4020u},
      {PixelFormat::kA8B8G8R8, 0x80FF4020u, 0x802040FFu},
      {PixelFormat::kR5G6B5, 0xFF848629u, 16u << 11 | 33u << 5 | 5u},  // levels 16, 33, 5 exactly
      {PixelFormat::kX1R5G5B5, 0x00FFFFFFu, 0xFFFFu},
      {PixelFormat::kA1R5G5B5, 0x80000000u, 0x8000u},
      {PixelFormat::kA1R5G5B5, 0x7F0000FFu, 0x001Fu},
      {PixelFormat::kA4R4G4B4, 0x88FF0033u, 0x8F03u},
      {PixelFormat::kX4R4G4B4, 0x00112233u, 0xF123u},
      {PixelFormat::kA8R3G3B2, 0xFF249255u, 0xFF31u},  // levels 1, 4, 1
      {PixelFormat::kA8, 0x7F123456u, 0x7Fu},
      {PixelFormat::kA2R10G10B10, 0xFFFF0000u, 0xFFF00000u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PackedColour(c.format, c.argb), c.raw)
        << "format " << static_cast<std::uint32_t>(c.format) << " colour " << std::hex << c.argb;
  }
}

TEST(ImageCodecFormats, DitheringKeepsTheMeanWithinOneLevel) {
  // Flat greys between 5-bit levels: each pixel lands on one of the two neighbouring levels, and
  // the mean over a 4 x 4 tile is the grey within a sixteenth of a level step.
  for (std::uint32_t grey : {3u, 70u, 100u, 131u, 200u, 250u}) {
    const auto file = Save(FileFormat::kPng, MakePixels(8, 8, [&](auto, auto) { return 0xFF000000u | grey * 0x010101u; }));
    std::vector<std::uint8_t> bits(8 * 8 * 2);
    SurfaceView surface{PixelFormat::kX1R5G5B5, 8, 8, 16, bits.data()};
    ASSERT_EQ(LoadSurfaceFromMemory(surface, nullptr, file.data(), file.size(), 0), Result::kOk);
    Pixels back{8, 8, std::vector<std::uint32_t>(64)};  // expanded as the reader expands channels
    ReadPackedRow(*FindFormatLayout(PixelFormat::kX1R5G5B5), bits.data(), 64, back.argb.data());
    double sum = 0;
    for (std::uint32_t y = 0; y < 4; ++y) {
      for (std::uint32_t x = 0; x < 4; ++x) {
        const int red = static_cast<int>((back.at(x, y) >> 16) & 0xFF);
        EXPECT_LT(std::abs(red - static_cast<int>(grey)), 9) << grey;
        sum += red;
      }
    }
    EXPECT_NEAR(sum / 16, grey, 8.3 / 16 + 0.01) << grey;
  }
}

TEST(ImageCodecFormats, RectangleAndPitchAreRespected) {
  // A 3 x 2 image into the rectangle (2, 1)-(5, 3) of a 6 x 4 surface with padded rows.
  const Pixels source = MakePixels(3, 2, [](std::uint32_t x, std::uint32_t y) { return 0xFF000000u | (y * 3 + x + 1); });
  const auto file = Save(FileFormat::kPng, source);
  constexpr std::ptrdiff_t kPitch = 6 * 4 + 8;
  std::vector<std::uint8_t> bits(kPitch * 4, 0xEE);
  SurfaceView surface{PixelFormat::kA8R8G8B8, 6, 4, kPitch, bits.data()};
  const PixelRect rect{2, 1, 5, 3};
  ASSERT_EQ(LoadSurfaceFromMemory(surface, &rect, file.data(), file.size(), 0), Result::kOk);
  for (std::uint32_t y = 0; y < 4; ++y) {
    for (std::uint32_t x = 0; x < kPitch / 4; ++x) {
      std::uint32_t pixel;
      std::memcpy(&pixel, bits.data() + y * kPitch + x * 4, 4);
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
      EXPECT_EQ(pixel, inside ? source.at(x - 2, y - 1) : 0xEEEEEEEEu) << x << "," << y;
    }
  }
}

TEST(ImageCodecFormats, RefusedDestinations) {
  const auto file = Save(FileFormat::kPng, Gradient(8, 8));
  std::vector<std::uint8_t> bits(8 * 8 * 4);
  auto load = [&](PixelFormat format, std::uint32_t w, std::uint32_t h, std::ptrdiff_t pitch, std::uint8_t* data,
                  const PixelRect* rect = nullptr) {
    SurfaceView surface{format, w, h, pitch, data};
    return LoadSurfaceFromMemory(surface, rect, file.data(), file.size(), 0);
  };
  EXPECT_EQ(load(PixelFormat::kA8R8G8B8, 8, 8, 32, nullptr), Result::kInvalidCall);
  EXPECT_EQ(load(PixelFormat::kA8R8G8B8, 8, 8, 31, bits.data()), Result::kInvalidCall);
  EXPECT_EQ(load(PixelFormat::kL8, 8, 8, 8, bits.data()), Result::kNotImplemented);
  const PixelRect outside{0, 0, 9, 8}, empty{2, 2, 2, 4}, unaligned{2, 0, 8, 8};
  EXPECT_EQ(load(PixelFormat::kA8R8G8B8, 8, 8, 32, bits.data(), &outside), Result::kInvalidCall);
  EXPECT_EQ(load(PixelFormat::kA8R8G8B8, 8, 8, 32, bits.data(), &empty), Result::kInvalidCall);
  EXPECT_EQ(load(PixelFormat::kDxt5, 8, 8, 32, bits.data(), &unaligned), Result::kInvalidCall);
}

}  // namespace
}  // namespace vela::codec::testing
