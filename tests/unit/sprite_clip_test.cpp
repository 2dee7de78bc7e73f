// The scissor clipper of the 2D pipeline: where it cuts, what the new vertices carry, and that
// what it keeps is exactly the part of the triangle inside the rectangle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sprite/lerp_vertex.h"
#include "sprite/triangle_clip.h"

namespace vela {
namespace {

Vertex2D At(float x, float y, float z = 0.0f, std::uint32_t colour = 0xFFFFFFFF, float u = 0.0f, float v = 0.0f) {
  Vertex2D vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.rhw = 1.0f;
  vertex.diffuse = colour;
  vertex.uv[0] = {u, v};
  return vertex;
}

ScissorSetting Scissor(float left, float top, float right, float bottom) { return {true, left, top, right, bottom}; }

float SignedArea(const Vertex2D& a, const Vertex2D& b, const Vertex2D& c) {
  return 0.5f * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
}

float TotalArea(const Vertex2D* vertices, int count) {
  float area = 0.0f;
  for (int i = 0; i < count; i += 3) area += std::fabs(SignedArea(vertices[i], vertices[i + 1], vertices[i + 2]));
  return area;
}

TEST(SpriteClip, CutsAtTheRightEdgeAndInterpolatesEverythingTheVertexCarries) {
  // The right edge at 100 halves the edges (50,10)-(150,10) and (150,60)-(50,10).
  const TriangleRecord in{{At(50, 10, 0.2f, 0xFFFF0000, 0.0f, 0.0f), At(150, 10, 0.4f, 0x0000FF01, 1.0f, 0.0f),
                           At(150, 60, 0.6f, 0x0000FF01, 1.0f, 1.0f)}};
  Vertex2D out[kClipOutputCapacity];
  ASSERT_EQ(ClipTriangle(Scissor(0, 0, 100, 100), in, out), 3);

  EXPECT_EQ(out[0].x, 50.0f);
  EXPECT_EQ(out[0].y, 10.0f);
  EXPECT_EQ(out[0].diffuse, 0xFFFF0000u);
  EXPECT_EQ(out[1].x, 100.0f);
  EXPECT_EQ(out[1].y, 10.0f);
  EXPECT_EQ(out[2].x, 100.0f);
  EXPECT_EQ(out[2].y, 35.0f);
  EXPECT_FLOAT_EQ(out[1].z, 0.3f);
  EXPECT_FLOAT_EQ(out[2].z, 0.4f);
  EXPECT_EQ(out[1].uv[0].u, 0.5f);
  EXPECT_EQ(out[1].uv[0].v, 0.0f);
  EXPECT_EQ(out[2].uv[0].u, 0.5f);
  EXPECT_EQ(out[2].uv[0].v, 0.5f);
  // Each channel half way and truncated: 127.5 becomes 0x7F, and 0.5 of blue becomes 0.
  EXPECT_EQ(out[1].diffuse, 0x7F7F7F00u);
  EXPECT_EQ(out[2].diffuse, 0x7F7F7F00u);
}

TEST(SpriteClip, ColourChannelsAreInterpolatedOnTheirOwnAndTruncated) {
  Vertex2D out;
  LerpVertex(At(0, 0, 0, 0x00FF0080), At(10, 0, 0, 0xFF00FF81), out, 0.25f);
  // 0 -> 255: 63.75; 255 -> 0: 191.25; 0 -> 255: 63.75; 128 -> 129: 128.25.
  EXPECT_EQ(out.diffuse, 0x3FBF3F80u);
  EXPECT_EQ(out.x, 2.5f);
}

TEST(SpriteClip, PassesEverythingWithoutAScissorAndRejectsWhatLiesBeyondOneEdge) {
  const TriangleRecord far{{At(-50, 10), At(-10, 10), At(-10, 500)}};
  Vertex2D out[kClipOutputCapacity];
  EXPECT_EQ(ClipTriangle(ScissorSetting{}, far, out), 3);
  EXPECT_EQ(out[2].y, 500.0f);
  EXPECT_EQ(ClipTriangle(Scissor(0, 0, 100, 100), far, out), 0);
  const TriangleRecord below{{At(10, 101), At(90, 101), At(50, 300)}};
  EXPECT_EQ(ClipTriangle(Scissor(0, 0, 100, 100), below, out), 0);
  // On the edge counts as inside.
  const TriangleRecord touching{{At(0, 0), At(100, 0), At(100, 100)}};
  EXPECT_EQ(ClipTriangle(Scissor(0, 0, 100, 100), touching, out), 3);
}

TEST(SpriteClip, ACornerCutByAllFourEdgesBecomesAFanOfTheInsidePart) {
  // A triangle far larger than the rectangle covers it whole: what is kept is the rectangle.
  const TriangleRecord huge{{At(-1000, -1000), At(3000, -1000), At(-1000, 3000)}};
  Vertex2D out[kClipOutputCapacity];
  const int count = ClipTriangle(Scissor(10, 20, 110, 70), huge, out);
  ASSERT_EQ(count % 3, 0);
  EXPECT_EQ(count, 6);  // four corners: a fan of two triangles
  EXPECT_FLOAT_EQ(TotalArea(out, count), 100.0f * 50.0f);
  for (int i = 1; i < count; i += 3) EXPECT_EQ(out[i - 1].x, out[0].x) << "a fan from the first vertex";
}

// For random triangles and rectangles: every kept vertex lies in the rectangle, its texture
// coordinate is the same linear function of position as on the original triangle, the kept
// area never exceeds either shape, and a triangle wholly inside keeps its whole area.
TEST(SpriteClip, RandomTrianglesKeepOnlyTheInsidePartWithConsistentAttributes) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> coordinate(-200.0f, 400.0f);
  int clippedSome = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    Vertex2D corner[3];
    for (Vertex2D& vertex : corner) {
      const float x = coordinate(random);
      const float y = coordinate(random);
      vertex = At(x, y, 0.5f, 0xFFFFFFFF, 0.01f * x + 0.002f * y, -0.003f * x + 0.02f * y);
    }
    const float area = std::fabs(SignedArea(corner[0], corner[1], corner[2]));
    if (area < 1.0f) continue;
    float left = coordinate(random), right = coordinate(random), top = coordinate(random), bottom = coordinate(random);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);

    Vertex2D out[kClipOutputCapacity];
    const int count = ClipTriangle(Scissor(left, top, right, bottom), {{corner[0], corner[1], corner[2]}}, out);
    ASSERT_EQ(count % 3, 0);
    ASSERT_LE(count, 15);
    const float kept = TotalArea(out, count);
    EXPECT_LE(kept, area * 1.001f + 0.01f);
    EXPECT_LE(kept, (right - left) * (bottom - top) * 1.001f + 0.01f);
    bool inside = true;
    for (const Vertex2D& vertex : corner) {
      inside = inside && vertex.x >= left && vertex.x <= right && vertex.y >= top && vertex.y <= bottom;
    }
    if (inside) {
      EXPECT_EQ(count, 3);
    }
    if (count > 3) ++clippedSome;
    for (int i = 0; i < count; ++i) {
      const Vertex2D& vertex = out[i];
      EXPECT_GE(vertex.x, left - 0.01f);
      EXPECT_LE(vertex.x, right + 0.01f);
      EXPECT_GE(vertex.y, top - 0.01f);
      EXPECT_LE(vertex.y, bottom + 0.01f);
      EXPECT_NEAR(vertex.uv[0].u, 0.01f * vertex.x + 0.002f * vertex.y, 0.002f);
      EXPECT_NEAR(vertex.uv[0].v, -0.003f * vertex.x + 0.02f * vertex.y, 0.002f);
      EXPECT_EQ(vertex.z, 0.5f);
    }
  }
  EXPECT_GT(clippedSome, 100);
}

TEST(SpriteClip, DegenerateCoordinatesStayWithinTheBuffers) {
  const float nan = std::nanf("");
  const float inf = INFINITY;
  const TriangleRecord strange{{At(nan, 5), At(inf, -inf), At(50, nan)}};
  Vertex2D out[kClipOutputCapacity];
  const int count = ClipTriangle(Scissor(0, 0, 100, 100), strange, out);
  EXPECT_GE(count, 0);
  EXPECT_LE(count, kClipOutputCapacity);
  EXPECT_EQ(count % 3, 0);
}

}  // namespace
}  // namespace vela
