// The CPU side of sprites: squares and ribbons into the vertex store, the depth order in which
// they reach the vertex buffer, capacity, the transform's perspective and half-pixel shift.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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
    const std::uint32_t stride = batch.Stride();
    for (std::size_t at = 0; at + stride <= bytes.size(); at += stride) {
      DrawnVertex vertex{};
      std::memcpy(&vertex, bytes.data() + at, std::min<std::size_t>(stride, sizeof vertex));
      vertices.push_back(vertex);
    }
    return vertices;
  }

  // The diffuse colour of each drawn triangle, in drawing order.
  std::vector<std::uint32_t> DrawnColours() const {
    std::vector<std::uint32_t> colours;
    const std::vector<DrawnVertex> vertices = Drawn();
    for (std::size_t i = 0; i < vertices.size(); i += 3) colours.push_back(vertices[i].diffuse);
    return colours;
  }

  TriangleBatch batch;
};

using Colours = std::vector<std::uint32_t>;

TEST_F(SpriteBatch, FartherSquaresAreDrawnFirstWhateverTheCallOrder) {
  Make(600, true);
  ASSERT_TRUE(Square(0, 0, 10, 100, 0xFF0000FF));
  ASSERT_TRUE(Square(0, 0, 10, 60000, 0xFFFF0000));
  EXPECT_EQ(DrawnColours(), (Colours{0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF}));

  batch.Reset();
  ASSERT_TRUE(Square(0, 0, 10, 60000, 0xFFFF0000));
  ASSERT_TRUE(Square(0, 0, 10, 100, 0xFF0000FF));
  EXPECT_EQ(DrawnColours(), (Colours{0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF}));
}

TEST_F(SpriteBatch, AtEqualDepthTheTriangleStoredLastIsDrawnFirst) {
  Make(600, true);
  ASSERT_TRUE(Square(0, 0, 10, 5000, 0xFF000001));
  ASSERT_TRUE(Square(0, 0, 10, 5000, 0xFF000002));
  ASSERT_TRUE(Square(0, 0, 10, 4995, 0xFF000003));  // the same bucket as 5000
  EXPECT_EQ(DrawnColours(), (Colours{0xFF000003, 0xFF000003, 0xFF000002, 0xFF000002, 0xFF000001, 0xFF000001}));
  // The second triangle of a square comes out before its first.
  const std::vector<DrawnVertex> vertices = Drawn();
  EXPECT_EQ(vertices[0].x, 9.5f);  // bottom-right, the second triangle's first vertex
  EXPECT_EQ(vertices[3].x, -0.5f);  // top-left, the first triangle's first vertex
}

TEST_F(SpriteBatch, DepthsOutsideTheBucketRangeAreDroppedButCounted) {
  Make(600, true);
  EXPECT_TRUE(Square(0, 0, 10, 65535));
  EXPECT_TRUE(Square(0, 0, 10, -100));
  EXPECT_EQ(batch.VertexCount(), 0u);
  EXPECT_EQ(batch.RequestedCount(), 12u);
  EXPECT_TRUE(Square(0, 0, 10, 65534, 0xFF123456));
  EXPECT_TRUE(Square(0, 0, 10, 0, 0xFF654321));
  EXPECT_EQ(DrawnColours(), (Colours{0xFF123456, 0xFF123456, 0xFF654321, 0xFF654321}));
  EXPECT_EQ(DepthKey(1.0f, 1.0f, 1.0f), kDroppedDepth);
  EXPECT_EQ(DepthKey(0.0f, 0.0f, 0.0f), 0);
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
    EXPECT_EQ(Drawn().size(), 12u);
    batch.Reset();
    EXPECT_EQ(batch.VertexCount(), 0u);
    EXPECT_TRUE(Square(40, 0, 10, 300));
    EXPECT_EQ(Drawn().size(), 6u);
  }
}

TEST_F(SpriteBatch, StoreSizesFollowTheVertexTypeAndSorting) {
  Make(600, true);
  EXPECT_EQ(batch.BufferBytes(), 16800u);
  EXPECT_EQ(batch.StoreBytes(), 32000u);
  EXPECT_EQ(batch.Fvf(), 0x144u);
  for (std::uint32_t type = 0; type < 5; ++type) {
    Make(10, false, type);
    EXPECT_EQ(batch.Stride(), 20u + 8u * type);
    EXPECT_EQ(batch.StoreBytes(), 10u * (20u + 8u * type));
    EXPECT_TRUE(Square(0, 0, 4, 10, 0xFF00FF00));
    const std::vector<DrawnVertex> vertices = Drawn();
    ASSERT_EQ(vertices.size(), 6u);
    EXPECT_EQ(vertices[1].diffuse, 0xFF00FF00u);
    if (type >= 1) {
      EXPECT_EQ(vertices[1].u, 1.0f);
    }
  }
  EXPECT_FALSE(batch.Configure(10, 5, false));
  EXPECT_FALSE(batch.Configure(0x40000000, 4, true)) << "sizes beyond 32 bits are refused";
}

TEST_F(SpriteBatch, UnsortedBatchesDrawInSubmissionOrder) {
  Make(60, false);
  Square(0, 0, 10, 60000, 1);
  Square(0, 0, 10, 100, 2);
  Square(0, 0, 10, 65535, 3);  // not dropped: only sorting has a depth range
  EXPECT_EQ(DrawnColours(), (Colours{1, 1, 2, 2, 3, 3}));
}

TEST_F(SpriteBatch, ScissorAppliesWhenTrianglesArePushedAndCanTakeMoreVertices) {
  Make(600, false);
  batch.Scissor() = {true, 0, 0, 100, 100};
  // Transformed to (-10.5, -10.5)-(39.5, 39.5): each triangle loses a corner.
  EXPECT_TRUE(Square(-10, -10, 50, 100));
  EXPECT_GT(batch.VertexCount(), 6u);
  // On the edge, within rounding (the 32-bit build computes the cuts in x87 precision).
  for (const DrawnVertex& vertex : Drawn()) {
    EXPECT_GE(vertex.x, -1e-4f);
    EXPECT_GE(vertex.y, -1e-4f);
  }
  const std::uint32_t stored = batch.VertexCount();
  // Entirely left of the rectangle: nothing stored and nothing requested.
  EXPECT_TRUE(Square(-300, 10, 50, 100));
  EXPECT_EQ(batch.VertexCount(), stored);
  EXPECT_EQ(batch.RequestedCount(), stored);
  // Switching the scissor off leaves what was stored as it was.
  batch.Scissor().on = false;
  EXPECT_TRUE(Square(-300, 10, 50, 100));
  EXPECT_EQ(batch.VertexCount(), stored + 6);
}

TEST_F(SpriteBatch, TransformShiftsHalfAPixelAndScalesDepth) {
  Make(60, false);
  Square(10, 20, 100, 65535);
  const std::vector<DrawnVertex> vertices = Drawn();
  EXPECT_EQ(vertices[0].x, 9.5f);
  EXPECT_EQ(vertices[0].y, 19.5f);
  EXPECT_EQ(vertices[2].x, 109.5f);
  EXPECT_EQ(vertices[2].y, 119.5f);
  EXPECT_NEAR(vertices[0].z, 1.0f, 1e-6f);
  EXPECT_EQ(vertices[0].rhw, 1.0f);
}

TEST(SpriteTransform, PerspectivePullsFarVerticesToTheCentreAndLeavesTheMiddleDepth) {
  TransformSettings settings;
  settings.perspective = {true, 320.0f, 240.0f, 1.0f};
  auto transformed = [&](float x, float y, float z) {
    Vertex2D vertex{};
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    vertex.rhw = 1.0f;
    TransformVertex(settings, vertex);
    return vertex;
  };
  const Vertex2D middle = transformed(420, 340, 32767);
  EXPECT_EQ(middle.x, 419.5f);
  EXPECT_EQ(middle.y, 339.5f);
  // Depth 65535 with factor 1: t = 98303 / 65535 (about 1.5), offsets from the centre shrink
  // by 1 / t and the depth becomes t.
  const double t = 98303.0 / 65535.0;
  const Vertex2D far = transformed(470, 240, 65535);
  EXPECT_NEAR(far.x, 320.0 + 150.0 / t - 0.5, 1e-3);
  EXPECT_NEAR(far.z, t, 1e-5);
  EXPECT_NEAR(far.rhw, 1.0 / t, 1e-5);
  // Depth 0: t about 0.5, offsets double.
  const Vertex2D nearer = transformed(470, 240, 0);
  EXPECT_NEAR(nearer.x, 320.0 + 150.0 * 65535.0 / 32768.0 - 0.5, 1e-3);
  // Zoom after perspective, scale before the shift.
  settings.perspective.on = false;
  settings.zoom = {true, 100.0f, 100.0f, 2.0f};
  settings.scale = {0.5f, 1.0f};
  const Vertex2D zoomed = transformed(150, 100, 0);
  EXPECT_EQ(zoomed.x, (100.0f + 100.0f) * 0.5f - 0.5f);
  EXPECT_EQ(zoomed.y, 99.5f);
}

class SpriteRibbon : public SpriteBatch {
 protected:
  std::vector<float> x, y, z, halfWidth;
  std::vector<std::int32_t> angle;
  std::vector<std::uint32_t> colour;

  void Point(float px, float py, float pz, float w, std::int32_t a, std::uint32_t c) {
    x.push_back(px);
    y.push_back(py);
    z.push_back(pz);
    halfWidth.push_back(w);
    angle.push_back(a);
    colour.push_back(c);
  }
  RibbonPoints Points(std::int32_t count) const {
    auto bytes = [](const auto& values) { return reinterpret_cast<const std::byte*>(values.data()); };
    return {bytes(x), bytes(y), bytes(z), bytes(halfWidth), bytes(angle), bytes(colour), count};
  }
};

TEST_F(SpriteRibbon, TwoPointsMakeOneQuadWidenedAcrossByTheirAngle) {
  Make(600, false);
  Point(100.5f, 100.5f, 10, 10, 0, 0xFF0000FF);
  Point(200.5f, 100.5f, 20, 20, 16384, 0xFF00FF00);  // a quarter turn: the offset points along -x
  PushRibbon(batch, Points(2), kWholeImage);
  const std::vector<DrawnVertex> v = Drawn();
  ASSERT_EQ(v.size(), 6u);
  // (A, B, C) then (C, E, B); A and B at the first point (offset (0, 10)), C and E at the
  // second (offset (-20, 0)).
  EXPECT_NEAR(v[0].x, 100.0f, 1e-4f);
  EXPECT_NEAR(v[0].y, 90.0f, 1e-4f);
  EXPECT_NEAR(v[1].y, 110.0f, 1e-4f);
  EXPECT_NEAR(v[2].x, 220.0f, 1e-4f);
  EXPECT_NEAR(v[2].y, 100.0f, 1e-4f);
  EXPECT_NEAR(v[4].x, 180.0f, 1e-4f);
  EXPECT_EQ(v[0].diffuse, 0xFF0000FFu);
  EXPECT_EQ(v[2].diffuse, 0xFF00FF00u);
  EXPECT_EQ(v[0].u, 0.0f);
  EXPECT_EQ(v[1].u, 1.0f);
  EXPECT_EQ(v[0].v, 0.0f);
  EXPECT_EQ(v[2].v, 1.0f);
  EXPECT_EQ(v[5].u, 1.0f);
  EXPECT_EQ(v[5].v, 0.0f);
}

TEST_F(SpriteRibbon, TheTextureStretchesOnceAlongTheWholeRibbon) {
  Make(600, false);
  for (int k = 0; k < 5; ++k) Point(100.0f + 50.0f * k, 100, 10, 5, 0, 0xFFFFFFFF);
  PushRibbon(batch, Points(5), {0.0f, 0.2f, 1.0f, 0.6f});
  const std::vector<DrawnVertex> v = Drawn();
  ASSERT_EQ(v.size(), 24u);
  for (int segment = 0; segment < 4; ++segment) {
    EXPECT_FLOAT_EQ(v[segment * 6].v, 0.2f + 0.1f * segment);
    EXPECT_FLOAT_EQ(v[segment * 6 + 2].v, 0.2f + 0.1f * (segment + 1));
  }
}

TEST_F(SpriteRibbon, OnePointOrNoneDrawsNothing) {
  Make(600, false);
  Point(100, 100, 10, 5, 0, 0xFFFFFFFF);
  PushRibbon(batch, Points(1), kWholeImage);
  PushRibbon(batch, Points(0), kWholeImage);
  PushRibbon(batch, Points(-3), kWholeImage);
  EXPECT_EQ(batch.VertexCount(), 0u);
}

TEST_F(SpriteRibbon, ASegmentThatDoesNotFitIsLostAndLaterOnesAreStillTried) {
  Make(8, false);
  batch.Scissor() = {true, 0, 0, 1000, 1000};
  // The first segment's first triangle cuts the rectangle's top-left corner off and clips into
  // a pentagon (9 vertices); the second segment lies inside and takes 6.
  Point(10, 10, 10, 40, 8192, 1);
  Point(100, 100, 10, 40, 8192, 2);
  Point(300, 100, 10, 40, 0, 3);
  PushRibbon(batch, Points(3), kWholeImage);
  EXPECT_EQ(batch.VertexCount(), 6u);
  EXPECT_GT(batch.RequestedCount(), 6u);
  EXPECT_EQ(Drawn()[0].diffuse, 2u);
}

}  // namespace
}  // namespace vela
