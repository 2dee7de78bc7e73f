#include "files/lzss.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

namespace vela {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The decoded bytes, or nothing when the stream cannot give `size` bytes.
std::optional<Bytes> Decode(const Bytes& stream, std::size_t size) {
  Bytes out(size, 0xAA);
  if (!LzssDecode(stream, out)) return std::nullopt;
  return out;
}

Bytes RoundTrip(const Bytes& input) { return Decode(LzssEncode(input), input.size()).value_or(Bytes{}); }

Bytes RandomBytes(std::size_t size, unsigned seed, int alphabet = 256) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random() % alphabet);
  return out;
}

TEST(LzssDecode, CopiesFromTheZeroedWindowOverlapAndStopAtTheDeclaredSize) {
  EXPECT_EQ(Decode({0x00, 0xF0, 0xF0}, 3), Bytes(3, 0));  // copy 3 from 0xFF0, where writing starts
  // Cut after 5 bytes: the bytes after the copy are never read.
  EXPECT_EQ(Decode({0x01, 'x', 0xF0, 0xFF, 0x12, 0x34}, 5), Bytes(5, 'x'));
  // Literal 'x' (bit 0 = 1), then a copy of 18 from 0xFF0 that reads what it writes, then
  // literal 'y' (bit 2 = 1).
  Bytes expected(19, 'x');
  expected.push_back('y');
  EXPECT_EQ(Decode({0x05, 'x', 0xF0, 0xFF, 'y'}, 20), expected);
}

TEST(LzssDecode, FailsWhenTheStreamEndsEarly) {
  EXPECT_EQ(Decode({}, 1), std::nullopt);
  EXPECT_EQ(Decode({0x00, 0xF0}, 3), std::nullopt);  // copy cut after its first byte
  EXPECT_EQ(Decode({0xFF, 1, 2, 3, 4, 5, 6, 7, 8}, 9), std::nullopt);  // next control byte missing
}

TEST(LzssDecode, WrapsAroundTheWindow) {
  // 4200 literals put the write position past the end of the window; a copy from position 0xFFE
  // reads the bytes at 0xFFE, 0xFFF, 0x000, which hold output bytes 4096 + 14, 15 and 16.
  Bytes stream, expected;
  for (int i = 0; i < 4200; ++i) {
    if (i % 8 == 0) stream.push_back(0xFF);
    stream.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    expected.push_back(stream.back());
  }
  stream.insert(stream.end(), {0x00, 0xFE, 0xF0});
  for (int k = 0; k < 3; ++k) expected.push_back(expected[4096 + 14 + k]);
  EXPECT_EQ(Decode(stream, expected.size()), expected);
}

// Arbitrary data's round trip is the fuzz target's; here the edges of match lengths and the window.
TEST(LzssEncode, RoundTripsEdgeInputs) {
  EXPECT_TRUE(LzssEncode({}).empty());
  for (const Bytes& input : {Bytes{0x42}, Bytes(18, 0), Bytes(19, 0), Bytes(36, 'r'), Bytes(5000, 0)}) {
    EXPECT_EQ(RoundTrip(input), input) << "size " << input.size();
  }
  // Repeats at distances near the window size: matches whose source is about to be overwritten.
  Bytes longRange = RandomBytes(4096, 9);
  for (int lap = 0; lap < 3; ++lap) {
    longRange.insert(longRange.end(), longRange.end() - 4096, longRange.end() - 4096 + 4000);
    longRange.push_back(static_cast<std::uint8_t>(lap));
  }
  EXPECT_EQ(RoundTrip(longRange), longRange);
}

TEST(LzssBlock, RoundTripsAndChecksItsHead) {
  const Bytes input = RandomBytes(3000, 11, 4);
  Bytes block;
  ASSERT_TRUE(LzssEncodeBlock(input, block));
  std::uint32_t size = 0;
  ASSERT_TRUE(ReadLzssBlockHead(block, size));
  EXPECT_EQ(size, input.size());
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 4), Bytes({'L', 'Z', 'S', 'S'}));

  Bytes out(size), wrongSize(size + 1);
  EXPECT_TRUE(LzssDecodeBlock(block, out));
  EXPECT_EQ(out, input);
  EXPECT_FALSE(LzssDecodeBlock(block, wrongSize));
  EXPECT_FALSE(LzssDecodeBlock(Bytes(block.begin(), block.end() - 1), out));
  block[3] = 'X';
  EXPECT_FALSE(ReadLzssBlockHead(block, size));
  EXPECT_FALSE(ReadLzssBlockHead(Bytes({'L', 'Z', 'S', 'S', 0, 0, 0}), size));
}

}  // namespace
}  // namespace vela
