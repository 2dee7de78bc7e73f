// A read-only view of bytes with bounds-checked little-endian reads. Readers of untrusted files
// take every field through it, so a short or lying file answers false instead of reading past
// the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vela::codec {

struct ByteSpan {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;

  ByteSpan() = default;
  ByteSpan(const void* bytes, std::size_t count)
      : data(static_cast<const std::uint8_t*>(bytes)), size(bytes ? count : 0) {}

  // True when [offset, offset + count) lies inside the span.
  bool Holds(std::size_t offset, std::size_t count) const {
    return offset <= size && count <= size - offset;
  }
  // The bytes from `offset` on (empty when offset is past the end).
  ByteSpan From(std::size_t offset) const {
    return offset <= size ? ByteSpan(data + offset, size - offset) : ByteSpan();
  }
  bool StartsWith(const void* prefix, std::size_t count) const {
    return Holds(0, count) && std::memcmp(data, prefix, count) == 0;
  }

  bool U8(std::size_t offset, std::uint8_t& out) const {
    if (!Holds(offset, 1)) return false;
    out = data[offset];
    return true;
  }
  bool Le16(std::size_t offset, std::uint16_t& out) const {
    if (!Holds(offset, 2)) return false;
    out = static_cast<std::uint16_t>(data[offset] | data[offset + 1] << 8);
    return true;
  }
  bool Le32(std::size_t offset, std::uint32_t& out) const {
    if (!Holds(offset, 4)) return false;
    out = static_cast<std::uint32_t>(data[offset]) |
          static_cast<std::uint32_t>(data[offset + 1]) << 8 |
          static_cast<std::uint32_t>(data[offset + 2]) << 16 |
          static_cast<std::uint32_t>(data[offset + 3]) << 24;
    return true;
  }
};

}  // namespace vela::codec
