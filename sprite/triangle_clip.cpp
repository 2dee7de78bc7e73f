#include "sprite/triangle_clip.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "sprite/lerp_vertex.h"

namespace vela {
namespace {

// One Sutherland-Hodgman pass against the edge at `edge` on the axis `Coordinate` reads.
// `Outside` says which side of the edge is cut away. New vertices get the fields of a vertex
// with `stages` texture-coordinate pairs.
template <typename Coordinate, typename Outside>
int ClipPass(const Vertex2D* in, Vertex2D* out, int count, float edge, Coordinate coordinate, Outside outside,
             std::uint32_t stages = kVertex2DStages) {
  count = std::clamp(count, 0, kClipPolygonCapacity);
  bool isOutside[kClipPolygonCapacity];
  for (int i = 0; i < count; ++i) isOutside[i] = outside(coordinate(in[i]), edge);

  int emitted = 0;
  auto emit = [&](const Vertex2D& vertex) {
    if (emitted < kClipPolygonCapacity) out[emitted++] = vertex;
  };
  auto emitCut = [&](const Vertex2D& a, const Vertex2D& b) {
    if (emitted >= kClipPolygonCapacity) return;
    const float t = (edge - coordinate(a)) / (coordinate(b) - coordinate(a));
    LerpVertexStages(a, b, out[emitted++], t, stages);
  };
  for (int i = 0; i < count; ++i) {
    const int j = i + 1 == count ? 0 : i + 1;
    const Vertex2D& a = in[i];
    const Vertex2D& b = in[j];
    if (!isOutside[i]) {
      emit(a);
      if (isOutside[j]) emitCut(a, b);
    } else if (!isOutside[j]) {
      emitCut(a, b);
    }
  }
  return emitted;
}

float X(const Vertex2D& vertex) { return vertex.x; }
float Y(const Vertex2D& vertex) { return vertex.y; }
bool Below(float value, float edge) { return value < edge; }
bool Above(float value, float edge) { return value > edge; }

// A pass against an edge that no vertex lies beyond gives back the polygon as it is.
bool AnyBelow(const Vertex2D* polygon, int count, float (*coordinate)(const Vertex2D&), float edge) {
  return std::any_of(polygon, polygon + count, [&](const Vertex2D& v) { return coordinate(v) < edge; });
}
bool AnyAbove(const Vertex2D* polygon, int count, float (*coordinate)(const Vertex2D&), float edge) {
  return std::any_of(polygon, polygon + count, [&](const Vertex2D& v) { return coordinate(v) > edge; });
}

bool AllBelow(const TriangleRecord& in, float (*coordinate)(const Vertex2D&), float edge) {
  return std::all_of(std::begin(in.vertex), std::end(in.vertex),
                     [&](const Vertex2D& v) { return coordinate(v) < edge; });
}
bool AllAbove(const TriangleRecord& in, float (*coordinate)(const Vertex2D&), float edge) {
  return std::all_of(std::begin(in.vertex), std::end(in.vertex),
                     [&](const Vertex2D& v) { return coordinate(v) > edge; });
}

}  // namespace

int ClipLeft(const Vertex2D* in, Vertex2D* out, int count, float left) { return ClipPass(in, out, count, left, X, Below); }
int ClipRight(const Vertex2D* in, Vertex2D* out, int count, float right) { return ClipPass(in, out, count, right, X, Above); }
int ClipTop(const Vertex2D* in, Vertex2D* out, int count, float top) { return ClipPass(in, out, count, top, Y, Below); }
int ClipBottom(const Vertex2D* in, Vertex2D* out, int count, float bottom) {
  return ClipPass(in, out, count, bottom, Y, Above);
}

bool TriangleUnclipped(const ScissorSetting& scissor, const TriangleRecord& in) {
  if (!scissor.on) return true;
  return std::all_of(std::begin(in.vertex), std::end(in.vertex), [&](const Vertex2D& v) {
    return v.x >= scissor.left && v.x <= scissor.right && v.y >= scissor.top && v.y <= scissor.bottom;
  });
}

bool TriangleOutside(const ScissorSetting& scissor, const TriangleRecord& in) {
  return scissor.on && (AllBelow(in, X, scissor.left) || AllAbove(in, X, scissor.right) ||
                        AllBelow(in, Y, scissor.top) || AllAbove(in, Y, scissor.bottom));
}

ClippedPolygon ClipToPolygon(const ScissorSetting& scissor, const TriangleRecord& in, ClipScratch& scratch,
                             std::uint32_t stages) {
  for (int i = 0; i < 3; ++i) scratch.first[i] = in.vertex[i];
  return ClipScratchTriangle(scissor, scratch, stages);
}

ClippedPolygon ClipScratchTriangle(const ScissorSetting& scissor, ClipScratch& scratch, std::uint32_t stages) {
  Vertex2D* polygon = scratch.first;
  Vertex2D* spare = scratch.second;
  int count = 3;
  if (AnyBelow(polygon, count, X, scissor.left)) {
    count = ClipPass(polygon, spare, count, scissor.left, X, Below, stages);
    std::swap(polygon, spare);
  }
  if (AnyAbove(polygon, count, X, scissor.right)) {
    count = ClipPass(polygon, spare, count, scissor.right, X, Above, stages);
    std::swap(polygon, spare);
  }
  if (AnyBelow(polygon, count, Y, scissor.top)) {
    count = ClipPass(polygon, spare, count, scissor.top, Y, Below, stages);
    std::swap(polygon, spare);
  }
  if (AnyAbove(polygon, count, Y, scissor.bottom)) {
    count = ClipPass(polygon, spare, count, scissor.bottom, Y, Above, stages);
    std::swap(polygon, spare);
  }
  return {polygon, count};
}

int ClipTriangle(const ScissorSetting& scissor, const TriangleRecord& in, Vertex2D* out) {
  if (TriangleUnclipped(scissor, in)) {
    std::copy(std::begin(in.vertex), std::end(in.vertex), out);
    return 3;
  }
  if (TriangleOutside(scissor, in)) return 0;
  ClipScratch scratch;
  const ClippedPolygon polygon = ClipToPolygon(scissor, in, scratch);
  int written = 0;
  for (int i = 1; i + 1 < polygon.count; ++i) {
    out[written++] = polygon.vertices[0];
    out[written++] = polygon.vertices[i];
    out[written++] = polygon.vertices[i + 1];
  }
  return written;
}

}  // namespace vela
