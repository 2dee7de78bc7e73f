#include "host/demo/reusable_host_object.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vela::demo {

ReusableHostObject::ReusableHostObject(host::ScriptHost& host, std::size_t capacityBytes)
    : host_(host), capacity_(capacityBytes) {
  const std::vector<std::byte> zeros(capacityBytes);
  object_ = host_.MakeArray(zeros.data(), zeros.size());
}

host::HostWord ReusableHostObject::Fill(const void* bytes, std::size_t size) {
  // The object's two words: the address of its data and the data's byte length.
  std::byte* object = host_.Pointer(object_);
  host::HostWord data = 0;
  std::memcpy(&data, object, 4);
  const auto length = static_cast<std::int32_t>(std::min(size, capacity_));
  std::memcpy(host_.Pointer(data), bytes, static_cast<std::size_t>(length));
  std::memcpy(object + 4, &length, 4);
  return object_;
}

}  // namespace vela::demo
