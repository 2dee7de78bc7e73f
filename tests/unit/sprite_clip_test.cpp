// The scissor clipper of the 2D pipeline: where it cuts, what the new vertices carry, and the
// polygon it keeps. That arbitrary triangles keep only vertices inside is the fuzz target's check.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <tuple>

#include "sprite/lerp_vertex.h"
#include "sprite/triangle_clip.h"

namespace vela {
namespace {

Vertex2D At(float x, float y, float z = 0.0f, std::uint32_t colour = 0xFFFFFFFF, float u = 0.0f, float v = 0.0f) {
  Vertex2D vertex{};
  vertex.x = x, vertex.y = y, vertex.z = z, vertex.rhw = 1.0f, vertex.diffuse = colour;
  vertex.uv[0] = {u, v};
  return vertex;
}

ScissorSetting Scissor(float left, float top, float right, float bottom) { return {true, left, top, right, bottom}; }

float TotalArea(const Vertex2D* v, int count) {
  float area = 0.0f;
  for (int i = 0; i < count; i += 3) {
    area += std::fabs(0.5f * ((v[i + 1].x - v[i].x) * (v[i + 2].y - v[i].y) - (v[i + 2].x - v[i].x) * (v[i + 1].y - v[i].y)));
  }
  return area;
}

auto Position(const Vertex2D& v) { return std::make_tuple(v.x, v.y); }

TEST(SpriteClip, CutsAtTheRightEdgeAndInterpolatesEverythingTheVertexCarries) {
  // The right edge at 100 halves the edges (50,10)-(150,10) and (150,60)-(50,10).
  const TriangleRecord in{{At(50, 10, 0.2f, 0xFFFF0000, 0.0f, 0.0f), At(150, 10, 0.4f, 0x0000FF01, 1.0f, 0.0f),
                           At(150, 60, 0.6f, 0x0000FF01, 1.0f, 1.0f)}};
  Vertex2D out[kClipOutputCapacity];
  ASSERT_EQ(ClipTriangle(Scissor(0, 0, 100, 100), in, out), 3);
  EXPECT_EQ(Position(out[0]), std::make_tuple(50.0f, 10.0f));
  EXPECT_EQ(Position(out[1]), std::make_tuple(100.0f, 10.0f));
  EXPECT_EQ(Position(out[2]), std::make_tuple(100.0f, 35.0f));
  EXPECT_FLOAT_EQ(out[2].z, 0.4f);
  EXPECT_EQ(std::make_tuple(out[2].uv[0].u, out[2].uv[0].v), std::make_tuple(0.5f, 0.5f));
  // Each channel half way and truncated: 127.5 becomes 0x7F, and 0.5 of blue becomes 0.
  EXPECT_EQ(out[1].diffuse, 0x7F7F7F00u);
  // Channels on their own: 0 -> 255: 63.75; 255 -> 0: 191.25; 128 -> 129: 128.25.
  Vertex2D quarter;
  LerpVertex(At(0, 0, 0, 0x00FF0080), At(10, 0, 0, 0xFF00FF81), quarter, 0.25f);
  EXPECT_EQ(quarter.diffuse, 0x3FBF3F80u);
}

// A vertex lying on the right or bottom edge is inside: it is kept as it is, and the cut toward
// a vertex beyond that edge starts at it, so the kept polygon has four corners.
TEST(SpriteClip, AVertexOnTheRightOrBottomEdgeIsKept) {
  const TriangleRecord onRight{{At(20, 20), At(100, 50, 0, 0xFF00FF00), At(150, 80)}};
  const TriangleRecord onBottom{{At(20, 20), At(50, 100, 0, 0xFF00FF00), At(80, 150)}};
  for (const TriangleRecord& in : {onRight, onBottom}) {
    Vertex2D out[kClipOutputCapacity];
    ASSERT_EQ(ClipTriangle(Scissor(0, 0, 100, 100), in, out), 6);
    EXPECT_EQ(Position(out[1]), Position(in.vertex[1]));
    EXPECT_EQ(out[1].diffuse, 0xFF00FF00u);
  }
}

TEST(SpriteClip, ATriangleCoveringTheRectangleBecomesAFanOfItsFourCorners) {
  const TriangleRecord huge{{At(-1000, -1000), At(3000, -1000), At(-1000, 3000)}};
  Vertex2D out[kClipOutputCapacity];
  ASSERT_EQ(ClipTriangle(Scissor(10, 20, 110, 70), huge, out), 6);
  EXPECT_FLOAT_EQ(TotalArea(out, 6), 100.0f * 50.0f);
  EXPECT_EQ(Position(out[3]), Position(out[0])) << "a fan from the first vertex";
}

}  // namespace
}  // namespace vela
