// ArgumentReader: one export call's view of the host's argument stack.
//
// The host lays the arguments in declaration order, without padding, so that the last one ends
// at `top`. An export names the total size of its arguments, reads them in declaration order,
// and answers with one of the Return* functions, which write the in-place result over the
// lowest argument byte and compute the byte count the host pops:
//
//   std::int32_t MathRand(HostWord top, HostWord base) {
//     ArgumentReader args(top, base, 8);
//     const std::int32_t lower = args.Int();
//     const std::int32_t upper = args.Int();
//     return args.ReturnInt(math::Rand(lower, upper));
//   }
//
// The host is trusted as the protocol says: references are not tested for null and lengths
// are not bounded against anything but the host's own string object.
#pragma once

#include <cstdint>
#include <cstring>

#include "plugin/host_address.h"

namespace vela::plugin {

// UTF-16 text inside a host string object. The host keeps its text 2-byte aligned.
struct HostStringView {
  const char16_t* text;
  std::int32_t units;
};

// A 4-byte host variable that an export writes through a HostRef.
class HostVariable {
 public:
  explicit HostVariable(std::byte* at) : at_(at) {}
  void Write(std::uint32_t value) const { std::memcpy(at_, &value, sizeof value); }
  void Write(std::int32_t value) const { std::memcpy(at_, &value, sizeof value); }
  std::byte* Address() const { return at_; }

 private:
  std::byte* at_;
};

// Resolves a HostRef word: bit 31 set names an absolute address, clear an offset from `base`.
inline std::byte* ResolveHostRef(HostWord word, HostWord base) {
  if (word & kHostTagBit) return HostPointer(word & ~kHostTagBit);
  return HostPointer(base + word);
}

// Reads the two leading words of a host string object and applies offset and length.
HostStringView ReadHostString(HostWord objectRef, std::int32_t byteOffset, std::int32_t byteLength);

// The first element of a host array object, moved by the byte offset.
std::byte* ReadHostArray(HostWord objectRef, std::int32_t byteOffset);

class ArgumentReader {
 public:
  ArgumentReader(HostWord top, HostWord base, std::uint32_t argumentBytes)
      : top_(top), base_(base), size_(argumentBytes), next_(HostPointer(top - argumentBytes)) {}

  bool Bool() { return Take<std::uint8_t>() != 0; }
  std::int32_t Int() { return Take<std::int32_t>(); }
  float Float() { return Take<float>(); }
  HostWord Handle() { return Take<HostWord>(); }
  HostVariable Ref() { return HostVariable(ResolveHostRef(Take<HostWord>(), base_)); }
  HostStringView String();
  std::byte* Array();
  // An argument handed on by address: the operation reads (and may change) the host's bytes.
  std::byte* InPlace(std::uint32_t bytes) {
    std::byte* at = next_;
    next_ += bytes;
    return at;
  }

  // The byte count for an export without a result.
  std::int32_t Return() const { return static_cast<std::int32_t>(size_); }
  std::int32_t ReturnBool(bool value) { return Write(static_cast<std::uint8_t>(value ? 1 : 0)); }
  std::int32_t ReturnInt(std::int32_t value) { return Write(value); }
  std::int32_t ReturnFloat(float value) { return Write(value); }

  // Where the result goes: over the first argument, or at `top` when there is none.
  std::byte* ResultAddress() const { return HostPointer(top_ - size_); }

 private:
  template <typename T>
  T Take() {
    T value;
    std::memcpy(&value, next_, sizeof value);
    next_ += sizeof value;
    return value;
  }

  template <typename T>
  std::int32_t Write(T value) {
    std::memcpy(ResultAddress(), &value, sizeof value);
    return static_cast<std::int32_t>(size_) - static_cast<std::int32_t>(sizeof value);
  }

  HostWord top_;
  HostWord base_;
  std::uint32_t size_;
  std::byte* next_;
};

}  // namespace vela::plugin
