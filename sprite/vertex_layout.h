// The five stored vertex layouts of 2D objects: type n keeps the leading bytes of a Vertex2D,
// position, rhw, colour and n texture-coordinate pairs.
#pragma once

#include <cstdint>

namespace vela {

inline constexpr std::uint32_t kVertexTypeCount = 5;

struct VertexLayout {
  std::uint32_t stride;  // bytes per stored vertex: 20, 28, 36, 44 or 52
  std::uint32_t fvf;     // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEXn
};

// False for a type above 4, leaving `layout` alone.
inline bool LookUpVertexLayout(std::uint32_t vertexType, VertexLayout& layout) {
  if (vertexType >= kVertexTypeCount) return false;
  layout.stride = 20 + 8 * vertexType;
  layout.fvf = 0x044u | (vertexType << 8);
  return true;
}

}  // namespace vela
