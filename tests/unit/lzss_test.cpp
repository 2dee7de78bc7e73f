#include "files/lzss.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vela {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decode(const Bytes& stream, std::size_t size, bool* ok = nullptr) {
  Bytes out(size, 0xAA);
  const bool decoded = LzssDecode(stream, out);
  if (ok) *ok = decoded;
  return out;
}

Bytes RoundTrip(const Bytes& input) {
  const Bytes stream = LzssEncode(input);
  bool ok = false;
  Bytes out = Decode(stream, input.size(), &ok);
  EXPECT_TRUE(ok);
  return out;
}

Bytes RandomBytes(std::size_t size, unsigned seed, int alphabet = 256) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random() % alphabet);
  return out;
}

TEST(LzssDecode, CopiesFromTheZeroedWindowOverlapAndStopAtTheDeclaredSize) {
  bool ok = false;
  EXPECT_EQ(Decode({0x00, 0xF0, 0xF0}, 3, &ok), Bytes(3, 0));  // copy 3 from 0xFF0: the start
  EXPECT_TRUE(ok);
  // Cut after 5 bytes: the bytes after the copy are never read.
  EXPECT_EQ(Decode({0x01, 'x', 0xF0, 0xFF, 0x12, 0x34}, 5, &ok), Bytes(5, 'x'));
  EXPECT_TRUE(ok);
  // Literal 'x' (bit 0 = 1), then a copy of 18 from 0xFF0: the copy reads what it writes.
  // Then literal 'y' (bit 2 = 1) after the copy.
  const Bytes out = Decode({0x05, 'x', 0xF0, 0xFF, 'y'}, 20, &ok);
  EXPECT_TRUE(ok);
  Bytes expected(19, 'x');
  expected.push_back('y');
  EXPECT_EQ(out, expected);
}

TEST(LzssDecode, FailsWhenTheStreamEndsEarly) {
  bool ok = true;
  Decode({}, 1, &ok);
  EXPECT_FALSE(ok);
  Decode({0x00, 0xF0}, 3, &ok);  // copy cut after its first byte
  EXPECT_FALSE(ok);
  Decode({0xFF, 1, 2, 3, 4, 5, 6, 7, 8}, 9, &ok);  // next control byte missing
  EXPECT_FALSE(ok);
}

TEST(LzssDecode, WrapsAroundTheWindow) {
  // 4096 + 100 literals put the write position past the end of the window twice over; a copy
  // from position 0xFFE reads the bytes at 0xFFE, 0xFFF, 0x000, which hold output bytes 14, 15
  // and 16 of the second lap (output 4096 + 14 ...).
  Bytes stream;
  Bytes expected;
  for (int i = 0; i < 4200; ++i) {
    if (i % 8 == 0) stream.push_back(0xFF);
    const auto byte = static_cast<std::uint8_t>(i * 7 + i / 256);
    stream.push_back(byte);
    expected.push_back(byte);
  }
  stream.push_back(0x00);
  stream.push_back(0xFE);
  stream.push_back(0xF0);
  for (int k = 0; k < 3; ++k) expected.push_back(expected[4096 + 14 + k]);
  bool ok = false;
  EXPECT_EQ(Decode(stream, expected.size(), &ok), expected);
  EXPECT_TRUE(ok);
}

TEST(LzssEncode, RoundTripsEdgeInputs) {
  EXPECT_TRUE(LzssEncode({}).empty());
  for (const Bytes& input : {Bytes{0x42}, Bytes(18, 0), Bytes(19, 0), Bytes(36, 'r'), Bytes(5000, 0)}) {
    EXPECT_EQ(RoundTrip(input), input) << "size " << input.size();
  }
}

TEST(LzssEncode, RoundTripsRandomAndRepetitiveData) {
  for (unsigned seed = 1; seed <= 2; ++seed) {
    const Bytes random = RandomBytes(20000 + seed * 777, seed);
    EXPECT_EQ(RoundTrip(random), random);
    const Bytes fewSymbols = RandomBytes(30000, seed, 3);
    EXPECT_EQ(RoundTrip(fewSymbols), fewSymbols);
  }
  // Repeats at distances near the window size: matches whose source is about to be overwritten.
  Bytes longRange = RandomBytes(4096, 9);
  for (int lap = 0; lap < 3; ++lap) {
    longRange.insert(longRange.end(), longRange.end() - 4096, longRange.end() - 4096 + 4000);
    longRange.push_back(static_cast<std::uint8_t>(lap));
  }
  EXPECT_EQ(RoundTrip(longRange), longRange);
}

TEST(LzssEncode, CompressesTypicalData) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "<sprite name=\"enemy" + std::to_string(i % 17) + "\" x=\"" + std::to_string(i * 3) + "\"/>\n";
  const Bytes input(text.begin(), text.end());
  EXPECT_LT(LzssEncode(input).size(), input.size() / 3);

  const Bytes zeros(100000, 0);
  EXPECT_LT(LzssEncode(zeros).size(), zeros.size() / 8);  // the format's best is about 1/8.5

  const Bytes random = RandomBytes(10000, 5);
  EXPECT_LE(LzssEncode(random).size(), random.size() + random.size() / 8 + 1);
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

TEST(LzssBlock, MaxDecodedSizeBoundsEveryStream) {
  // The densest stream: control bytes 0 and copies of 18. No cut of it decodes to more than the
  // bound, and cuts after a whole copy reach it.
  Bytes dense;
  for (int group = 0; group < 4; ++group) {
    dense.push_back(0x00);
    for (int i = 0; i < 8; ++i) dense.insert(dense.end(), {0xF0, 0xFF});
  }
  for (std::size_t cut = 0; cut <= dense.size(); ++cut) {
    const Bytes stream(dense.begin(), dense.begin() + cut);
    const std::uint64_t bound = LzssMaxDecodedSize(cut);
    Bytes more(bound + 1);
    EXPECT_FALSE(LzssDecode(stream, more)) << cut;
    if (cut % 17 == 0 || cut % 17 % 2 == 1) {
      Bytes out(bound);
      EXPECT_TRUE(LzssDecode(stream, out)) << cut;
    }
  }
  // A literal after the copies counts as well.
  const Bytes withLiteral = {0x80, 0xF0, 0xFF, 0xF0, 0xFF, 0xF0, 0xFF, 0xF0, 0xFF,
                             0xF0, 0xFF, 0xF0, 0xFF, 0xF0, 0xFF, 'a'};
  Bytes out(LzssMaxDecodedSize(withLiteral.size()));
  EXPECT_EQ(out.size(), 7u * 18 + 1);
  EXPECT_TRUE(LzssDecode(withLiteral, out));
}

}  // namespace
}  // namespace vela
