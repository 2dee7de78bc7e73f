#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "files/little_endian.h"
#include "files/lzss.h"
#include "files/qpk_format.h"
#include "files/qpk_image.h"
#include "files/qpk_pixels.h"

namespace vela {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Nibbles(std::initializer_list<std::uint16_t> pixels) {
  Bytes out;
  for (std::uint16_t p : pixels) out.insert(out.end(), {std::uint8_t(p), std::uint8_t(p >> 8)});
  return out;
}

Bytes Floats(std::initializer_list<float> channels) {
  Bytes out(channels.size() * 4);
  std::size_t i = 0;
  for (float c : channels) StoreU32(out.data() + 4 * i++, std::bit_cast<std::uint32_t>(c));
  return out;
}

Bytes ToBytes(std::uint32_t code, const Bytes& pixels, std::uint32_t count = 1) {
  Bytes out(count * 4, 0xEE);
  EXPECT_TRUE(qpk::Convert(count, 1, code, pixels, qpk::kCodeBytes, out));
  return out;
}

TEST(QpkPixels, SizesDoNotWrap) {
  EXPECT_EQ(qpk::GetDataSize(3, 5, 8), 0u);
  EXPECT_EQ(qpk::GetDataSize(0xFFFFFFFF, 0xFFFFFFFF, 3), 0xFFFFFFFE00000001ull * 16);
}

TEST(QpkPixels, ChannelsBecomeBytesTruncated) {
  EXPECT_EQ(ToBytes(4, Nibbles({0x8421})), Bytes({136, 68, 34, 17}));
  const std::uint16_t channels[4] = {65535, 257, 256, 0};
  Bytes words(8);
  for (int k = 0; k < 4; ++k) StoreU16(words.data() + 2 * k, channels[k]);
  EXPECT_EQ(ToBytes(2, words), Bytes({255, 1, 0, 0}));  // 256 x 255 / 65535 = 0.996
  EXPECT_EQ(ToBytes(3, Floats({1.0f, 0.5f, 0.0039f, 0.99f})), Bytes({255, 127, 0, 252}));
  // Outside 0-1 the low bits of the truncated value are kept; NaN and huge values give 0.
  EXPECT_EQ(ToBytes(3, Floats({2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f})),
            Bytes({254, 1, 0, 0}));
}

// Conversions into the stored codes are checked by the archive tool's round trips.
TEST(QpkPixels, UnknownCodesAndShortBuffersWriteNothing) {
  const Bytes bytes = {0, 17, 128, 255};
  Bytes back(4, 0xEE);
  EXPECT_FALSE(qpk::Convert(1, 1, 1, bytes, 8, back));
  EXPECT_FALSE(qpk::Convert(2, 1, 1, bytes, 1, back));
  EXPECT_FALSE(qpk::Convert(1, 1, 3, bytes, 1, back));
  EXPECT_EQ(back, Bytes(4, 0xEE));
}

TEST(QpkPixels, DitherStaysInRangeAndMixesNeighbouringLevels) {
  for (std::uint32_t i = 0; i < 16; ++i) {
    EXPECT_LE(std::max(qpk::Dither4(255, i % 4, i / 4), qpk::Dither5(255, i % 4, i / 4)), 255u) << i;
  }
  // A flat mid-grey dithers to a mix of the two nearest 4-bit levels.
  int high = 0;
  for (std::uint32_t i = 0; i < 16; ++i) high += (qpk::Dither4(127, i % 4, i / 4) >> 4) == 8;
  EXPECT_GT(high, 0);
  EXPECT_LT(high, 16);
}

// An archive of a first 2 x 1 code-1 entry "Body" and a second 1 x 2 code-0 entry "Face".
Bytes TwoEntryArchive() {
  Bytes archive;
  qpk::AppendArchiveHead(archive);
  EXPECT_TRUE(qpk::AppendEntry(archive, "Body", 2, 1, 1, Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(qpk::AppendEntry(archive, "Face", 1, 2, 0, Nibbles({0xF00F, 0x8421})));
  return archive;
}

TEST(QpkImage, LoadsTheEntryOfAnyCaseAsADdsImage) {
  const Bytes archive = TwoEntryArchive();
  MemorySource source(archive);
  CQPKImage image;
  ASSERT_EQ(image.Load(source, "FACE"), nullptr);
  std::uint32_t width = 0, height = 0, pitch = 0;
  image.GetSize(width, height);
  std::uint8_t* data = nullptr;
  image.GetImage(data, pitch);
  EXPECT_EQ(std::make_tuple(width, height, pitch, image.GetImageSize()), std::make_tuple(1u, 2u, 4u, 8u + 128));
  EXPECT_EQ(std::memcmp(data, "DDS ", 4), 0);
  EXPECT_EQ(Bytes(data + 128, data + 136), Bytes({255, 0, 0, 255, 136, 68, 34, 17}));

  ASSERT_EQ(image.Load(source, "body"), nullptr);
  EXPECT_EQ(Bytes(image.GetImageData() + 128, image.GetImageData() + 136),
            Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(QpkImage, MissingNamesAndArchivesFailWithTheMessage) {
  const Bytes archive = TwoEntryArchive();
  MemorySource source(archive);
  CQPKImage image;
  EXPECT_STREQ(image.Load(source, "Hand"), "Can't Load QPK File");
  EXPECT_STREQ(image.Load(source, "Fac"), CQPKImage::kLoadFailedText);
  EXPECT_EQ(image.GetImageData(), nullptr);

  Bytes lowerMagic = archive;
  lowerMagic[0] = 'q';
  MemorySource lower(lowerMagic);
  EXPECT_EQ(image.Load(lower, "Face"), nullptr);  // the magic's case does not matter
  Bytes noNul = archive;
  noNul[3] = ' ';
  MemorySource bad(noNul);
  EXPECT_STREQ(image.Load(bad, "Face"), CQPKImage::kLoadFailedText);
}

TEST(QpkImage, LyingHeadersFailCleanly) {
  CQPKImage image;
  const auto load = [&](const Bytes& archive, std::string_view name) {
    MemorySource source(archive);
    return image.Load(source, name);
  };
  const Bytes good = TwoEntryArchive();
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_NE(load(Bytes(good.begin(), good.begin() + cut), "Face"), nullptr) << cut;
  }
  // Fields of the first entry's head (its stored size) and the second's (width, height, code,
  // stored size) set to lie.
  const std::size_t first = qpk::kArchiveHeadSize, second = first + qpk::kEntryHeadSize + 8;
  const std::vector<std::vector<std::pair<std::size_t, std::uint32_t>>> lies = {
      {{first + 28, 0x7FFFFFFF}},                             // skips past the end
      {{second + 16, 0x10000}, {second + 20, 0x10000}},       // 2^32 pixels in a 4-byte entry
      {{second + 16, 0x80000000}},                            // x 2 x 2 bytes wraps to 0 in 32 bits
      {{second + 24, 8}},                                     // no such code
      {{second + 28, 3}}};                                    // the pixels need 4
  for (const auto& fields : lies) {
    Bytes lying = good;
    for (const auto& [at, value] : fields) StoreU32(lying.data() + at, value);
    EXPECT_NE(load(lying, "Face"), nullptr) << fields[0].first << " = " << fields[0].second;
  }

  // A compressed entry whose stream cannot produce the pixels, and one that lies about them.
  Bytes archive;
  qpk::AppendArchiveHead(archive);
  const Bytes sixteenLiterals = {0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(qpk::AppendEntry(archive, "cut", 4, 4, 5, sixteenLiterals));  // 64 bytes needed
  ASSERT_TRUE(qpk::AppendEntry(archive, "lie", 1000, 1000, 7, Bytes{0x00, 0xF0, 0xFF}));
  EXPECT_NE(load(archive, "cut"), nullptr);
  EXPECT_NE(load(archive, "lie"), nullptr);
  EXPECT_EQ(image.GetImageData(), nullptr);
}

}  // namespace
}  // namespace vela
