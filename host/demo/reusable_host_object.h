// A host string or array object that the demo fills anew every frame. The script host's object
// arena only grows, so text and point arrays made afresh each frame would use it up within a
// minute or two; this object is made once, at its largest size, and only its contents and
// length change.
#pragma once

#include <cstddef>

#include "host/script_host.h"

namespace vela::demo {

class ReusableHostObject {
 public:
  ReusableHostObject(host::ScriptHost& host, std::size_t capacityBytes);

  // Copies `size` bytes (at most the capacity; more are cut) into the object and sets its
  // length; answers the object word to push.
  host::HostWord Fill(const void* bytes, std::size_t size);
  std::size_t Capacity() const { return capacity_; }

 private:
  host::ScriptHost& host_;
  std::size_t capacity_;
  host::HostWord object_;
};

}  // namespace vela::demo
