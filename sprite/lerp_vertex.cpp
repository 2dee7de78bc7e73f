#include "sprite/lerp_vertex.h"

#include <cmath>
#include <cstdint>

namespace vela {
namespace {

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// trunc(a + (b - a) * t) masked to 8 bits. A t that is not finite (a degenerate cut) gives 0
// rather than an undefined conversion.
std::uint32_t LerpChannel(std::uint32_t a, std::uint32_t b, float t) {
  const float value = static_cast<float>(a) + static_cast<float>(static_cast<std::int32_t>(b) - static_cast<std::int32_t>(a)) * t;
  if (!(value > -2147483648.0f && value < 2147483648.0f)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 0xFFu;
}

std::uint32_t LerpColour(std::uint32_t a, std::uint32_t b, float t) {
  std::uint32_t colour = 0;
  for (int shift = 24; shift >= 0; shift -= 8) {
    colour |= LerpChannel((a >> shift) & 0xFFu, (b >> shift) & 0xFFu, t) << shift;
  }
  return colour;
}

}  // namespace

void LerpVertexStages(const Vertex2D& a, const Vertex2D& b, Vertex2D& out, float t, std::uint32_t stages) {
  out.x = Lerp(a.x, b.x, t);
  out.y = Lerp(a.y, b.y, t);
  out.z = Lerp(a.z, b.z, t);
  out.rhw = Lerp(a.rhw, b.rhw, t);
  // Equal colours interpolate to themselves at any finite t (sprites mostly have one colour):
  // the four conversions are spared.
  out.diffuse = a.diffuse == b.diffuse && std::isfinite(t) ? a.diffuse : LerpColour(a.diffuse, b.diffuse, t);
  for (std::uint32_t stage = 0; stage < stages && stage < kVertex2DStages; ++stage) {
    out.uv[stage].u = Lerp(a.uv[stage].u, b.uv[stage].u, t);
    out.uv[stage].v = Lerp(a.uv[stage].v, b.uv[stage].v, t);
  }
}

void LerpVertex(const Vertex2D& a, const Vertex2D& b, Vertex2D& out, float t) {
  LerpVertexStages(a, b, out, t, kVertex2DStages);
}

}  // namespace vela
