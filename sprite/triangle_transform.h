// TransformTriangle: a triangle from library space to what the device draws. Per vertex, in
// order: the perspective (depth 32,767 stays put, farther vertices move toward the centre when
// the depth factor is positive) or else the plain depth scale to 0..1, then the zoom about its
// centre, then the screen scale and the half-pixel shift that puts pixel centres on texel
// centres. The constants are single-precision values chosen bit for bit.
#pragma once

#include <bit>
#include <cstdint>

#include "sprite/object_2d_settings.h"
#include "sprite/triangle_record.h"

namespace vela {

// 1 / 65535 as the single-precision value 0x37800080.
inline constexpr float kInverseDepthRange = std::bit_cast<float>(std::uint32_t{0x37800080});

void TransformVertex(const TransformSettings& settings, Vertex2D& vertex);
// `out` may be `in`.
void TransformTriangle(const TransformSettings& settings, const TriangleRecord& in, TriangleRecord& out);

}  // namespace vela
