// The two shapes sprites are made of, as triangles for TriangleBatch::PushTriangles.
//
// A square: the destination rectangle as two triangles, every vertex at one depth and colour,
// each texture stage spanning its UV rectangle. A ribbon: a strip through points, each point
// widened across its direction by its half width turned by its angle; one segment (two
// triangles) joins each pair of neighbouring points. The texture's width spans the ribbon and
// its height stretches once along the whole length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/rect_2d.h"
#include "sprite/triangle_batch.h"
#include "sprite/triangle_record.h"
#include "sprite/uv_rect.h"

namespace vela {

// The square's two triangles: (top-left, top-right, bottom-right) and (bottom-right,
// bottom-left, top-left). uv holds one rectangle per stage.
void BuildSquare(const Rect2D& destination, float z, const UvRect (&uv)[kVertex2DStages], std::uint32_t colour,
                 TriangleRecord (&out)[2]);

// The host's six arrays of a ribbon, as the export hands them on: element addresses that need
// not be aligned, each with at least `count` elements.
struct RibbonPoints {
  const std::byte* x;
  const std::byte* y;
  const std::byte* z;
  const std::byte* halfWidth;
  const std::byte* angle;   // int32 table angles
  const std::byte* colour;  // A8R8G8B8
  std::int32_t count;
};

// Segments of a ribbon: count - 1 of them, none for fewer than two points.
std::int32_t RibbonSegmentCount(const RibbonPoints& points);
// Segment `index` (from point index to index + 1) on stage 0 with `uv`; stages 1-3 get 0.
void BuildRibbonSegment(const RibbonPoints& points, std::int32_t index, const UvRect& uv, TriangleRecord (&out)[2]);
// Every segment in order into `batch`. A segment that does not fit is lost; the ones after it
// are still tried (a later one may be clipped smaller).
void PushRibbon(TriangleBatch& batch, const RibbonPoints& points, const UvRect& uv);

}  // namespace vela
