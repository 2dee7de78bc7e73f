// Stored vertices with their stride known at compile time: the five vertex types become five
// copies of the store and upload loops whose vertex copies are fixed-size moves rather than
// calls to memcpy with a length read at run time.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "graphics/vertex_2d.h"

namespace vela {

template <std::uint32_t Stride>
using StrideConstant = std::integral_constant<std::uint32_t, Stride>;

// Calls `work` with the StrideConstant of `vertexType` (0-4; the caller has checked it).
template <typename Work>
decltype(auto) WithStride(std::uint32_t vertexType, Work&& work) {
  switch (vertexType) {
    case 0:
      return work(StrideConstant<20>{});
    case 1:
      return work(StrideConstant<28>{});
    case 2:
      return work(StrideConstant<36>{});
    case 3:
      return work(StrideConstant<44>{});
    default:
      return work(StrideConstant<52>{});
  }
}

// The leading Stride bytes of `vertex` to `out`.
template <std::uint32_t Stride>
inline void StoreVertex(std::byte* out, const Vertex2D& vertex) {
  static_assert(Stride <= sizeof(Vertex2D));
  std::memcpy(out, &vertex, Stride);
}

// Texture-coordinate pairs that a vertex of this stride keeps.
template <std::uint32_t Stride>
inline constexpr std::uint32_t kStoredStages = (Stride - 20) / 8;

}  // namespace vela
