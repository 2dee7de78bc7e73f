// Library objects and rectangles as the exports meet them: handles are host words that stand
// for object pointers, and the 2D rectangles lie in the argument block as four floats.
#pragma once

#include <cstring>

#include "graphics/rect_2d.h"
#include "plugin/argument_block.h"
#include "plugin/host_address.h"
#include "plugin/host_handles.h"

namespace vela::plugin {

// A rectangle the host passes by address. The exports only read it, so a copy stands in for
// the host's bytes (which need not be aligned for floats).
inline Rect2D ReadRect(const std::byte* place) {
  Rect2D rect;
  std::memcpy(&rect, place, sizeof rect);
  return rect;
}

// Writes a new object's handle into the host's variable, or 0 when there is no object, and
// counts the reference the host now holds (`kind`: kTextures, kSurfaces or kSprites). An object
// whose address the host could not hold is released again and answered as 0.
template <typename T>
void WriteHandle(const HostVariable& variable, T* object, ObjectKinds kind) {
  HostWord word = 0;
  if (object && !ToHostWord(object, word)) {
    object->Release();
    word = 0;
  }
  if (word != 0) Handles().Add(word, kind);
  variable.Write(word);
}

// The object a handle argument names (null for 0); the call has made sure the host holds it.
template <typename T, ObjectKinds Accepted>
T* ObjectOf(HostHandle<Accepted> handle) {
  return reinterpret_cast<T*>(HostPointer(handle.word));
}

}  // namespace vela::plugin
