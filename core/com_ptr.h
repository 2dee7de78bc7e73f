// ComPtr: one COM reference, released when it goes. A pointer fresh from a Create* or Get*
// call already carries its reference, so it is adopted through Out(), never wrapped again.
#pragma once

#include <utility>

namespace vela {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Releases what is held and hands out the slot for a call that writes a new reference.
  T** Out() {
    Reset();
    return &pointer_;
  }
  // The slot itself, for a caller that keeps its address and reads the pointer later.
  T** Address() { return &pointer_; }
  // Gives up the reference; answers what IUnknown::Release answered (0 when nothing was held).
  unsigned long Reset() {
    return pointer_ ? std::exchange(pointer_, nullptr)->Release() : 0;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace vela
