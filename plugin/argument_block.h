// ArgumentReader: one export call's view of the host's argument stack.
//
// The host lays the arguments in declaration order, without padding, so that the last one ends
// at `top`. The reader starts at the first argument, `argumentBytes` below `top`, and reads one
// value per kind (argument_kinds.h) in declaration order; the result goes over the first
// argument, or at `top` when there is none. Exports do not use it directly: CallExport
// (export_call.h) reads each export's arguments by its row of export_table.h.
//
// The host is trusted as the protocol says: references are not tested for null and lengths
// are not bounded against anything but the host's own string object.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include "plugin/argument_kinds.h"
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

// A handle argument as the host laid it; the call lets it through only when the host holds it
// with one of the kinds in `Accepted` (or it is 0).
template <ObjectKinds Accepted>
struct HostHandle {
  static constexpr ObjectKinds kAccepted = Accepted;
  HostWord word;
};

class ArgumentReader {
 public:
  ArgumentReader(HostWord top, HostWord base, std::uint32_t argumentBytes)
      : base_(base), first_(HostPointer(top - argumentBytes)), next_(first_) {}

  bool Read(kind::Bool) { return Take<std::uint8_t>() != 0; }
  std::int32_t Read(kind::Int) { return Take<std::int32_t>(); }
  float Read(kind::Float) { return Take<float>(); }
  template <ObjectKinds Accepted>
  HostHandle<Accepted> Read(kind::HandleKind<Accepted>) {
    return {Take<HostWord>()};
  }
  HostVariable Read(kind::Ref) { return HostVariable(ResolveHostRef(Take<HostWord>(), base_)); }
  HostStringView Read(kind::String);
  std::byte* Read(kind::Array);
  // Handed on by address: the operation reads (and may change) the host's bytes.
  std::byte* Read(kind::Rect) {
    std::byte* at = next_;
    next_ += kind::Rect::kBytes;
    return at;
  }

  // Where the result goes: over the first argument, or at `top` when there is none.
  std::byte* ResultAddress() const { return first_; }

 private:
  template <typename T>
  T Take() {
    T value;
    std::memcpy(&value, next_, sizeof value);
    next_ += sizeof value;
    return value;
  }

  HostWord base_;
  std::byte* first_;
  std::byte* next_;
};

// The value an argument of kind K reads as: what a body's parameter for it must be.
template <ArgumentKind K>
using ValueOf = decltype(std::declval<ArgumentReader&>().Read(K{}));

}  // namespace vela::plugin
