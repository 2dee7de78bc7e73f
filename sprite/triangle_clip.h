// ClipTriangle: a transformed triangle cut to the object's scissor rectangle on the CPU.
//
// Without a scissor the triangle passes as it is. Otherwise a triangle wholly beyond one edge
// is rejected at once; the rest is clipped as a polygon by four Sutherland-Hodgman passes (left,
// right, top, bottom, each feeding the next; a vertex on an edge is inside) and the polygon that
// remains is cut into a fan from its first vertex. New vertices are interpolated (LerpVertex).
// A pass against an edge that no vertex lies beyond would give the polygon back as it is, and
// is skipped.
//
// A clipped triangle has at most 7 vertices. The buffers are sized for what even degenerate
// input (NaN or infinite coordinates, which classify inconsistently) can produce, and every
// pass refuses to write beyond them.
#pragma once

#include <cstdint>

#include "graphics/vertex_2d.h"
#include "sprite/object_2d_settings.h"
#include "sprite/triangle_record.h"

namespace vela {

inline constexpr int kClipPolygonCapacity = 16;
inline constexpr int kClipOutputCapacity = 3 * (kClipPolygonCapacity - 2);

// One pass each: `count` vertices of the closed polygon `in` (at most kClipPolygonCapacity)
// into `out` (room for kClipPolygonCapacity); answers the number written.
int ClipLeft(const Vertex2D* in, Vertex2D* out, int count, float left);
int ClipRight(const Vertex2D* in, Vertex2D* out, int count, float right);
int ClipTop(const Vertex2D* in, Vertex2D* out, int count, float top);
int ClipBottom(const Vertex2D* in, Vertex2D* out, int count, float bottom);

// True when the scissor is off or all three vertices lie inside it: the triangle is kept as
// it is, which is what the four passes would give.
bool TriangleUnclipped(const ScissorSetting& scissor, const TriangleRecord& in);

// True when the scissor is on and all three vertices lie beyond one of its edges.
bool TriangleOutside(const ScissorSetting& scissor, const TriangleRecord& in);

// What the four passes leave of a triangle: a polygon of `count` vertices (fewer than 3 when
// nothing is left), in one of the scratch areas. New vertices get the fields of a vertex with
// `stages` texture-coordinate pairs; what a stored vertex of that type keeps is the same as with
// all four.
struct ClipScratch {
  Vertex2D first[kClipPolygonCapacity];
  Vertex2D second[kClipPolygonCapacity];
};
struct ClippedPolygon {
  const Vertex2D* vertices;
  int count;
};
ClippedPolygon ClipToPolygon(const ScissorSetting& scissor, const TriangleRecord& in, ClipScratch& scratch,
                             std::uint32_t stages = kVertex2DStages);
// The same for a triangle already in scratch.first[0..2].
ClippedPolygon ClipScratchTriangle(const ScissorSetting& scissor, ClipScratch& scratch,
                                   std::uint32_t stages = kVertex2DStages);

// Vertices of the fan from the polygon's first vertex: 3 x (count - 2), or 0.
inline int FanVertexCount(const ClippedPolygon& polygon) { return polygon.count < 3 ? 0 : 3 * (polygon.count - 2); }

// Writes whole triangles to `out` (room for kClipOutputCapacity vertices) and answers their
// vertex count, a multiple of 3; 0 when nothing of the triangle is inside.
int ClipTriangle(const ScissorSetting& scissor, const TriangleRecord& in, Vertex2D* out);

}  // namespace vela
