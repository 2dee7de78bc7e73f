// Squares and ribbons into the vertex store, the depth order in which they reach the vertex
// buffer, and capacity; what the transform and scissor make of them is in sprite_upload_hash_test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sprite/depth_key.h"
#include "sprite/sprite_shapes.h"
#include "sprite/triangle_batch.h"
#include "sprite/triangle_transform.h"

namespace vela {
namespace {

constexpr UvRect kWholeImage{0.0f, 0.0f, 1.0f, 1.0f};

// The leading bytes of a stored vertex of any type, read back from the drawing order.
struct DrawnVertex {
  float x, y, z, rhw;
  std::uint32_t diffuse;
  float u, v;
};

using Colours = std::vector<std::uint32_t>;

class SpriteBatch : public ::testing::Test {
 protected:
  void Make(std::uint32_t capacity, bool sorted, std::uint32_t vertexType = 1) {
    ASSERT_TRUE(batch.Configure(capacity, vertexType, sorted));
    ASSERT_TRUE(batch.AllocateStore());
    if (sorted) {
      ASSERT_TRUE(batch.AllocateBuckets());
    }
  }

  bool Square(float x, float y, float size, float z, std::uint32_t colour = 0xFFFFFFFF) {
    const UvRect uv[kVertex2DStages] = {kWholeImage};
    TriangleRecord records[2];
    BuildSquare({x, y, size, size}, z, uv, colour, records);
    return batch.PushTriangles(records, 2);
  }

  std::vector<DrawnVertex> Drawn() const {
    std::vector<std::byte> bytes(batch.DrawBytes());
    EXPECT_EQ(batch.WriteDrawOrder(bytes.data(), bytes.size()), bytes.size());
    std::vector<DrawnVertex> vertices;
    for (std::size_t at = 0; at + batch.Stride() <= bytes.size(); at += batch.Stride()) {
      DrawnVertex vertex{};
      std::memcpy(&vertex, bytes.data() + at, std::min<std::size_t>(batch.Stride(), sizeof vertex));
      vertices.push_back(vertex);
    }
    return vertices;
  }

  // The diffuse colour of each drawn triangle, in drawing order.
  Colours DrawnColours() const {
    Colours colours;
    const std::vector<DrawnVertex> vertices = Drawn();
    for (std::size_t i = 0; i < vertices.size(); i += 3) colours.push_back(vertices[i].diffuse);
    return colours;
  }

  TriangleBatch batch;
};

TEST_F(SpriteBatch, SortedDrawsFarthestFirstAndAtEqualDepthTheLastStoredFirst) {
  Make(600, true);
  ASSERT_TRUE(Square(0, 0, 10, 100, 1));
  ASSERT_TRUE(Square(0, 0, 10, 60000, 2));
  ASSERT_TRUE(Square(0, 0, 10, 5000, 3));
  ASSERT_TRUE(Square(0, 0, 10, 4995, 4));  // the same bucket as 5000
  EXPECT_EQ(DrawnColours(), (Colours{2, 2, 4, 4, 3, 3, 1, 1}));
  // The second triangle of a square comes out before its first.
  EXPECT_EQ(Drawn()[0].x, 9.5f);

  Make(600, false);
  Square(0, 0, 10, 60000, 1);
  Square(0, 0, 10, 100, 2);
  Square(0, 0, 10, 65535, 3);  // not dropped: only sorting has a depth range
  EXPECT_EQ(DrawnColours(), (Colours{1, 1, 2, 2, 3, 3}));
}

TEST_F(SpriteBatch, DepthsOutsideTheBucketRangeAreDroppedButCounted) {
  Make(600, true);
  EXPECT_TRUE(Square(0, 0, 10, 65535));
  EXPECT_TRUE(Square(0, 0, 10, -100));
  EXPECT_EQ(batch.VertexCount(), 0u);
  EXPECT_EQ(batch.RequestedCount(), 12u);
  EXPECT_TRUE(Square(0, 0, 10, 65534, 1));
  EXPECT_TRUE(Square(0, 0, 10, -0.0001f, 2));
  EXPECT_EQ(DrawnColours(), (Colours{1, 1, 2, 2}));
}

// The key truncates toward zero: sums whose key lies above -1 share bucket 0 with depth 0.
TEST(SpriteDepthKey, JustBelowZeroLandsInBucketZero) {
  EXPECT_EQ(DepthKey(-0.0001f, 0.0f, 0.0f), 0);
  float lowest = -1.0f / kDepthKeyScale;
  while (lowest * kDepthKeyScale <= -1.0f) lowest = std::nextafter(lowest, 0.0f);
  EXPECT_EQ(DepthKey(lowest, 0.0f, 0.0f), 0);
  EXPECT_EQ(DepthKey(std::nextafter(lowest, -1.0f), 0.0f, 0.0f), kDroppedDepth);
  EXPECT_EQ(DepthKey(1.0f, 1.0f, 1.0f), kDroppedDepth);
  EXPECT_EQ(DepthKey(NAN, 0.0f, 0.0f), kDroppedDepth);
}

// A triangle's slot is taken in a range estimated from the bits of the host's depth: any float
// must name one of the slot table's ranges, and a depth the plain transform keeps the range of
// its key or one next to it (or the store would not be grouped by depth at all).
TEST(SpriteSlotRange, EveryFloatNamesARangeAndKeptDepthsTheRangeOfTheirKey) {
  for (std::uint32_t signAndExponent = 0; signAndExponent < 512; ++signAndExponent) {
    for (const std::uint32_t mantissa : {0u, 1u, 0x400000u, 0x7FFFFFu}) {
      const std::uint32_t bits = signAndExponent << 23 | mantissa;
      float depth = 0.0f;
      std::memcpy(&depth, &bits, sizeof depth);
      const int range = TriangleSlots::RangeOfDepth(depth);
      ASSERT_TRUE(range >= 0 && range < TriangleSlots::kRanges) << std::hex << bits;
    }
  }
  for (int depth = 0; depth < 65535; ++depth) {
    const float z = static_cast<float>(depth) * kInverseDepthRange;
    const int keyRange = DepthKey(z, z, z) >> TriangleSlots::kRangeShift;
    ASSERT_LE(std::abs(TriangleSlots::RangeOfDepth(static_cast<float>(depth)) - keyRange), 1) << depth;
  }
}

TEST_F(SpriteBatch, CapacityCountsVerticesAndAFullBatchTakesNoMore) {
  for (const bool sorted : {true, false}) {
    SCOPED_TRACE(sorted ? "sorted" : "unsorted");
    Make(12, sorted);
    EXPECT_TRUE(Square(0, 0, 10, 100));
    EXPECT_TRUE(Square(20, 0, 10, 200));
    EXPECT_FALSE(Square(40, 0, 10, 300));
    EXPECT_EQ(batch.VertexCount(), 12u);
    EXPECT_EQ(batch.RequestedCount(), 15u) << "the third square's first triangle was asked for";
    batch.Reset();
    EXPECT_TRUE(Square(40, 0, 10, 300));
    EXPECT_EQ(Drawn().size(), 6u);
  }
  EXPECT_FALSE(batch.Configure(10, 5, false)) << "vertex types are 0 to 4";
  EXPECT_FALSE(batch.Configure(0x40000000, 4, true)) << "sizes beyond 32 bits are refused";
}

class SpriteRibbon : public SpriteBatch {
 protected:
  std::vector<float> x, y, z, halfWidth;
  std::vector<std::int32_t> angle;
  std::vector<std::uint32_t> colour;

  void Point(float px, float py, float w, std::int32_t a, std::uint32_t c) {
    x.push_back(px), y.push_back(py), z.push_back(10), halfWidth.push_back(w), angle.push_back(a), colour.push_back(c);
  }
  void Push(std::int32_t count, const UvRect& uv = kWholeImage) {
    auto bytes = [](const auto& values) { return reinterpret_cast<const std::byte*>(values.data()); };
    PushRibbon(batch, {bytes(x), bytes(y), bytes(z), bytes(halfWidth), bytes(angle), bytes(colour), count}, uv);
  }
};

TEST_F(SpriteRibbon, TwoPointsMakeOneQuadWidenedAcrossByTheirAngle) {
  Make(600, false);
  Point(100.5f, 100.5f, 10, 0, 1);
  Point(200.5f, 100.5f, 20, 16384, 2);  // a quarter turn: the offset points along -x
  Push(2);
  const std::vector<DrawnVertex> v = Drawn();
  ASSERT_EQ(v.size(), 6u);
  // (A, B, C) then (C, E, B): A and B at the first point, offset (0, 10); C and E at the second,
  // offset (-20, 0).
  EXPECT_NEAR(v[0].y, 90.0f, 1e-4f);
  EXPECT_NEAR(v[1].y, 110.0f, 1e-4f);
  EXPECT_NEAR(v[2].x, 220.0f, 1e-4f);
  EXPECT_NEAR(v[4].x, 180.0f, 1e-4f);
  EXPECT_EQ(std::make_tuple(v[0].diffuse, v[2].diffuse), std::make_tuple(1u, 2u));
  EXPECT_EQ(std::make_tuple(v[0].u, v[1].u, v[2].v, v[5].v), std::make_tuple(0.0f, 1.0f, 1.0f, 0.0f));

  batch.Reset();
  Push(1);
  Push(-3);
  EXPECT_EQ(batch.VertexCount(), 0u) << "one point or none draws nothing";
}

}  // namespace
}  // namespace vela
