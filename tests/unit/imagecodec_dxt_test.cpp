// The DXT encoder through our decoder: error bounds on flat, nearly flat and ramp blocks, DXT1
// transparency, DXT3 and DXT5 alpha, partial blocks at the surface's edge and the unchanged DDS copy.
#include <algorithm>
#include <array>
#include <cstring>

#include "imagecodec/dxt_decoder.h"
#include "imagecodec/dxt_encoder.h"
#include "imagecodec/dxt_fit.h"
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

struct Block {
  std::uint32_t pixels[16];
};

Block RoundTrip(PixelFormat format, const Block& in) {
  std::uint8_t encoded[16];
  EncodeDxtBlock(format, in.pixels, encoded);
  Block out;
  DecodeDxtBlock(format, encoded, out.pixels);
  return out;
}

double SquaredError(const Block& a, const Block& b, bool withAlpha) {
  double sum = 0;
  for (int i = 0; i < 16; ++i) {
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
      const double d = static_cast<double>((a.pixels[i] >> shift) & 0xFF) - ((b.pixels[i] >> shift) & 0xFF);
      sum += d * d;
    }
  }
  return sum;
}

TEST(ImageCodecDxt, FlatBlocksComeBackWithinTwoLevels) {
  for (PixelFormat format : {PixelFormat::kDxt1, PixelFormat::kDxt3, PixelFormat::kDxt5}) {
    for (std::uint32_t v = 0; v < 256; ++v) {
      for (std::uint32_t colour : {0xFF000000u | v * 0x010101u, 0xFF000000u | v << 16 | (255 - v) << 8 | (v * 7 & 0xFF)}) {
        Block in;
        std::fill_n(in.pixels, 16, colour);
        const Block out = RoundTrip(format, in);
        for (int i = 0; i < 16; ++i) ASSERT_LE(ChannelDifference(in.pixels[i], out.pixels[i]), 2) << std::hex << colour;
      }
    }
  }
}

TEST(ImageCodecDxt, TwoColourBlocksAreExactWhenTheColoursAreLevels) {
  Block in;
  for (int i = 0; i < 16; ++i) in.pixels[i] = i % 3 ? 0xFFFF0000u : 0xFF0000FFu;
  for (PixelFormat format : {PixelFormat::kDxt1, PixelFormat::kDxt5}) {
    EXPECT_EQ(SquaredError(in, RoundTrip(format, in), true), 0.0);
  }
}

TEST(ImageCodecDxt, NarrowGreyRampsKeepTheirSpread) {
  // Four grey levels a step apart: the ends round to one 5:6:5 colour, and a fit that kept them
  // there would flatten the block (a squared error of 264 for 0x88 to 0x8B).
  for (std::uint32_t base : {0x20u, 0x40u, 0x88u, 0x90u, 0xF8u}) {
    Block in;
    for (int i = 0; i < 16; ++i) in.pixels[i] = 0xFF000000u | (base + i % 4) * 0x010101u;
    for (PixelFormat format : {PixelFormat::kDxt1, PixelFormat::kDxt5}) {
      EXPECT_LT(SquaredError(in, RoundTrip(format, in), false), 120.0) << std::hex << base;
    }
  }
}

TEST(ImageCodecDxt, NearlyFlatBlocksStayOnTheirColour) {
  // One pixel a level below the others in one channel, as in smooth gradients: the block must
  // come back about as close as the flat block does (spreading the palette over channels that
  // hold no spread once cost a squared error of 471 on 0x41495B).
  for (std::uint32_t base : {0x41495Bu, 0x808080u, 0x10F0A0u, 0xC03008u}) {
    for (int channel = 0; channel < 3; ++channel) {
      for (int position : {0, 7, 15}) {
        for (PixelFormat format : {PixelFormat::kDxt1, PixelFormat::kDxt5}) {
          Block flat;
          std::fill_n(flat.pixels, 16, 0xFF000000u | base);
          Block in = flat;
          in.pixels[position] -= 1u << (8 * channel);
          const double excess = SquaredError(in, RoundTrip(format, in), false) - SquaredError(flat, RoundTrip(format, flat), false);
          EXPECT_LT(excess, 64.0) << std::hex << base << " channel " << channel << " pixel " << std::dec << position;
        }
      }
    }
  }
}

TEST(ImageCodecDxt, Dxt1TransparentPixelsDecodeTransparentAndTheRestClose) {
  Block in;
  for (int i = 0; i < 16; ++i) in.pixels[i] = i % 5 == 0 ? 0x00123456u : (i < 8 ? 0xFF808080u : 0xFFF0F0F0u);
  const Block out = RoundTrip(PixelFormat::kDxt1, in);
  for (int i = 0; i < 16; ++i) {
    if (i % 5 == 0) EXPECT_EQ(out.pixels[i], 0u) << i;
    else EXPECT_LE(ChannelDifference(in.pixels[i], out.pixels[i]), 4) << i;
  }
  // A fully transparent block.
  std::fill_n(in.pixels, 16, 0u);
  EXPECT_EQ(SquaredError(in, RoundTrip(PixelFormat::kDxt1, in), true), 0.0);
}

TEST(ImageCodecDxt, Dxt3AndDxt5Alpha) {
  Block in;
  for (int i = 0; i < 16; ++i) in.pixels[i] = static_cast<std::uint32_t>(i * 17) << 24 | 0x406080u;
  Block out = RoundTrip(PixelFormat::kDxt3, in);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out.pixels[i] >> 24, static_cast<std::uint32_t>(i * 17));  // 4-bit levels exactly
  // DXT5: 0 and 255 with a narrow range between fit the six-value mode exactly.
  const std::uint32_t alphas[16] = {0, 255, 100, 104, 108, 112, 116, 0, 255, 120, 116, 112, 0, 0, 255, 108};
  for (int i = 0; i < 16; ++i) in.pixels[i] = alphas[i] << 24 | 0x406080u;
  out = RoundTrip(PixelFormat::kDxt5, in);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out.pixels[i] >> 24, alphas[i]) << i;
  // A full ramp: the eight-value mode keeps every pixel within half a step.
  for (int i = 0; i < 16; ++i) in.pixels[i] = static_cast<std::uint32_t>(i * 17) << 24;
  out = RoundTrip(PixelFormat::kDxt5, in);
  for (int i = 0; i < 16; ++i) EXPECT_LE(std::abs(static_cast<int>(out.pixels[i] >> 24) - i * 17), 19) << i;
}

// Encodes a picture into a DXT surface through LoadSurfaceFromMemory and decodes it back.
Pixels ThroughSurface(PixelFormat format, const Pixels& source, std::uint32_t colorKey = 0) {
  const std::uint32_t blockBytes = format == PixelFormat::kDxt1 ? 8 : 16;
  const std::uint32_t pitch = (source.width + 3) / 4 * blockBytes;
  std::vector<std::uint8_t> bits(pitch * ((source.height + 3) / 4), 0);
  SurfaceView surface{format, source.width, source.height, static_cast<std::ptrdiff_t>(pitch), bits.data()};
  const auto file = Save(FileFormat::kPng, source);
  EXPECT_EQ(LoadSurfaceFromMemory(surface, nullptr, file.data(), file.size(), colorKey), Result::kOk);
  Pixels out;
  std::vector<std::uint8_t> dds;
  EXPECT_EQ(SaveToMemory(FileFormat::kDds, surface, dds), Result::kOk);
  EXPECT_EQ(LoadNative(dds, out), Result::kOk);
  return out;
}

TEST(ImageCodecDxt, PartialBlocksAtTheEdges) {
  // Colours along one line, as DXT blocks hold them well; only the edges are under test.
  for (auto [w, h] : {std::pair{6u, 5u}, {1u, 1u}, {3u, 7u}, {9u, 2u}}) {
    const Pixels source = MakePixels(w, h, [](std::uint32_t x, std::uint32_t y) {
      const std::uint32_t v = x * 12 + y * 8;
      return (255 - v / 2) << 24 | v << 16 | v / 2 << 8 | v / 4;
    });
    const Pixels out = ThroughSurface(PixelFormat::kDxt5, source);
    EXPECT_TRUE(PixelsNear(source, out, 12)) << w << "x" << h;
  }
}

// Blocks fitted and encoded together (colours in sets of eight or four lanes, the scored rounds
// in sets of their own) get the bytes each gets alone, whatever its neighbours: ramps under
// noise from none to strong (strong enough for the fit's second rounds and its restart), flat,
// nearly flat and two-colour blocks, with and without alpha, mixed.
TEST(ImageCodecDxt, BlocksEncodedTogetherEncodeEachAsAlone) {
  std::uint32_t state = 7;
  const auto next = [&](std::uint32_t range) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % range);
  };
  for (int round = 0; round < 1000; ++round) {
    std::uint32_t blocks[14][16];  // sets of eight and a short set of six, or of four and two alone
    for (auto& block : blocks) {
      const int noise = std::array{0, 1, 3, 12, 40, 128}[next(6)];
      const bool twoColours = next(5) == 0, opaque = next(2) == 0;
      int base[2][3], slope[3];
      for (int c = 0; c < 3; ++c) base[0][c] = next(256), base[1][c] = next(256), slope[c] = next(21) - 10;
      for (int i = 0; i < 16; ++i) {
        const int* colour = base[twoColours ? next(2) : 0];
        std::uint32_t pixel = static_cast<std::uint32_t>(opaque ? 255 : next(256)) << 24;
        for (int c = 0; c < 3; ++c) {
          const int ramp = twoColours ? 0 : slope[c] * (i % 4 + i / 4);
          const int value = std::clamp(colour[c] + ramp + (noise ? next(2 * noise + 1) - noise : 0), 0, 255);
          pixel |= static_cast<std::uint32_t>(value) << (16 - 8 * c);
        }
        block[i] = pixel;
      }
    }
    // Both widths directly, whichever the processor makes the encoder take.
    const std::uint32_t* colours[14];
    for (int b = 0; b < 14; ++b) colours[b] = blocks[b];
    ColorFit fits[2][14];
    FitColorBlocks4(colours, 14, fits[0]);
    if (ProcessorHasAvx2()) FitColorBlocks8(colours, 14, fits[1]);
    for (int b = 0; b < 14; ++b) {
      const ColorFit alone = FitColorBlock(blocks[b], false);
      for (int width = 0; width < (ProcessorHasAvx2() ? 2 : 1); ++width) {
        const ColorFit& together = fits[width][b];
        ASSERT_TRUE(together.color0 == alone.color0 && together.color1 == alone.color1 &&
                    together.indices == alone.indices)
            << "round " << round << ", block " << b << ", " << (width ? "eight" : "four") << " lanes";
      }
    }
    for (const PixelFormat format : {PixelFormat::kDxt1, PixelFormat::kDxt3, PixelFormat::kDxt5}) {
      const int size = format == PixelFormat::kDxt1 ? 8 : 16;
      std::uint8_t together[14 * 16], alone[16];
      EncodeDxtBlocks(format, blocks, 14, together);
      for (int b = 0; b < 14; ++b) {
        EncodeDxtBlock(format, blocks[b], alone);
        ASSERT_EQ(std::memcmp(together + size * b, alone, size), 0) << "round " << round << ", block " << b;
      }
    }
  }
}

TEST(ImageCodecDxt, SameFormatDdsIsCopiedUnchanged) {
  const Pixels source = Gradient(12, 8);
  std::vector<std::uint8_t> bits(3 * 16 * 2);
  SurfaceView surface{PixelFormat::kDxt5, 12, 8, 48, bits.data()};
  const auto png = Save(FileFormat::kPng, source);
  ASSERT_EQ(LoadSurfaceFromMemory(surface, nullptr, png.data(), png.size(), 0), Result::kOk);
  std::vector<std::uint8_t> dds;
  ASSERT_EQ(SaveToMemory(FileFormat::kDds, surface, dds), Result::kOk);
  std::vector<std::uint8_t> copy(bits.size(), 0);
  SurfaceView target{PixelFormat::kDxt5, 12, 8, 48, copy.data()};
  ASSERT_EQ(LoadSurfaceFromMemory(target, nullptr, dds.data(), dds.size(), 0), Result::kOk);
  EXPECT_EQ(copy, bits);
}

}  // namespace
}  // namespace vela::codec::testing
