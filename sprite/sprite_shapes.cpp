#include "sprite/sprite_shapes.h"

#include <cstring>

#include "math/vela_math.h"

namespace vela {
namespace {

Vertex2D MakeVertex(float x, float y, float z, std::uint32_t colour) {
  Vertex2D vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.rhw = 1.0f;
  vertex.diffuse = colour;
  return vertex;
}

template <typename T>
T Element(const std::byte* array, std::int32_t index) {
  T value;
  std::memcpy(&value, array + static_cast<std::size_t>(index) * sizeof(T), sizeof value);
  return value;
}

// One edge of the ribbon at a point: its two ends and what they carry.
struct RibbonEdge {
  Vertex2D left;   // the point minus its offset, u = uv.left
  Vertex2D right;  // the point plus its offset, u = uv.right
};

RibbonEdge EdgeAt(const RibbonPoints& points, std::int32_t k, const UvRect& uv) {
  math::Vector2 offset{0.0f, Element<float>(points.halfWidth, k)};
  math::Rotate(offset, Element<std::int32_t>(points.angle, k));
  const float x = Element<float>(points.x, k);
  const float y = Element<float>(points.y, k);
  const float z = Element<float>(points.z, k);
  const auto colour = Element<std::uint32_t>(points.colour, k);
  const float v = uv.top + static_cast<float>(k) * (uv.bottom - uv.top) / static_cast<float>(points.count - 1);
  RibbonEdge edge{MakeVertex(x - offset.x, y - offset.y, z, colour), MakeVertex(x + offset.x, y + offset.y, z, colour)};
  edge.left.uv[0] = {uv.left, v};
  edge.right.uv[0] = {uv.right, v};
  return edge;
}

}  // namespace

void BuildSquare(const Rect2D& destination, float z, const UvRect (&uv)[kVertex2DStages], std::uint32_t colour,
                 TriangleRecord (&out)[2]) {
  const float x1 = destination.x;
  const float y1 = destination.y;
  const float x2 = destination.x + destination.width;
  const float y2 = destination.y + destination.height;
  Vertex2D topLeft = MakeVertex(x1, y1, z, colour);
  Vertex2D topRight = MakeVertex(x2, y1, z, colour);
  Vertex2D bottomRight = MakeVertex(x2, y2, z, colour);
  Vertex2D bottomLeft = MakeVertex(x1, y2, z, colour);
  for (std::uint32_t s = 0; s < kVertex2DStages; ++s) {
    topLeft.uv[s] = {uv[s].left, uv[s].top};
    topRight.uv[s] = {uv[s].right, uv[s].top};
    bottomRight.uv[s] = {uv[s].right, uv[s].bottom};
    bottomLeft.uv[s] = {uv[s].left, uv[s].bottom};
  }
  out[0] = {{topLeft, topRight, bottomRight}};
  out[1] = {{bottomRight, bottomLeft, topLeft}};
}

std::int32_t RibbonSegmentCount(const RibbonPoints& points) { return points.count > 1 ? points.count - 1 : 0; }

void BuildRibbonSegment(const RibbonPoints& points, std::int32_t index, const UvRect& uv, TriangleRecord (&out)[2]) {
  const RibbonEdge near = EdgeAt(points, index, uv);
  const RibbonEdge far = EdgeAt(points, index + 1, uv);
  // (A, B, C) and (C, E, B): A and B at the first point, C and E at the next.
  out[0] = {{near.left, near.right, far.left}};
  out[1] = {{far.left, far.right, near.right}};
}

void PushRibbon(TriangleBatch& batch, const RibbonPoints& points, const UvRect& uv) {
  const std::int32_t segments = RibbonSegmentCount(points);
  for (std::int32_t index = 0; index < segments; ++index) {
    TriangleRecord records[2];
    BuildRibbonSegment(points, index, uv, records);
    batch.PushTriangles(records, 2);
  }
}

}  // namespace vela
