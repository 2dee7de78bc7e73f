#include "plugin/argument_block.h"

namespace vela::plugin {
namespace {

template <typename T>
T Load(const std::byte* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Host string and array objects begin with the address of their data and its byte length.
struct HostObjectHead {
  HostWord data;
  std::int32_t bytes;
};

HostObjectHead ReadObjectHead(HostWord objectRef) {
  const std::byte* object = HostPointer(objectRef & ~kHostTagBit);
  return {Load<HostWord>(object), Load<std::int32_t>(object + 4)};
}

}  // namespace

HostStringView ReadHostString(HostWord objectRef, std::int32_t byteOffset, std::int32_t byteLength) {
  const HostObjectHead head = ReadObjectHead(objectRef);
  std::int64_t bytes = byteLength;
  if (bytes < 0) {
    // The whole string: what lies behind the offset, so the text never runs past the object.
    bytes = std::int64_t{head.bytes} - (byteOffset > 0 ? byteOffset : 0);
    if (bytes < 0) bytes = 0;
  }
  const auto* text = reinterpret_cast<const char16_t*>(HostPointer(head.data + static_cast<HostWord>(byteOffset)));
  return {text, static_cast<std::int32_t>(bytes >> 1)};
}

std::byte* ReadHostArray(HostWord objectRef, std::int32_t byteOffset) {
  return HostPointer(ReadObjectHead(objectRef).data + static_cast<HostWord>(byteOffset));
}

HostStringView ArgumentReader::Read(kind::String) {
  const HostWord object = Take<HostWord>();
  const std::int32_t offset = Take<std::int32_t>();
  const std::int32_t length = Take<std::int32_t>();
  return ReadHostString(object, offset, length);
}

std::byte* ArgumentReader::Read(kind::Array) {
  const HostWord object = Take<HostWord>();
  const std::int32_t offset = Take<std::int32_t>();
  Take<HostWord>();  // the host's third word; the element count comes as its own argument
  return ReadHostArray(object, offset);
}

}  // namespace vela::plugin
