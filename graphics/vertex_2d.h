// Vertex2D: the pre-transformed 2D vertex of the immediate drawing and the sprites. Positions
// are back-buffer pixels, rhw 1 for flat drawing; one (u, v) pair per texture stage. The layout
// is what the flexible vertex format kVertex2DFvf describes to the device, 52 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela {

inline constexpr std::uint32_t kVertex2DStages = 4;

struct TexCoord2D {
  float u;
  float v;
};

struct Vertex2D {
  float x;
  float y;
  float z;
  float rhw;
  std::uint32_t diffuse;  // A8R8G8B8
  TexCoord2D uv[kVertex2DStages];
};

static_assert(sizeof(Vertex2D) == 52, "Vertex2D must match its vertex format byte for byte");
static_assert(offsetof(Vertex2D, diffuse) == 16 && offsetof(Vertex2D, uv) == 20);

// D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX4.
inline constexpr std::uint32_t kVertex2DFvf = 0x444;

}  // namespace vela
