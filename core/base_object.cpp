#include "core/base_object.h"

#include "core/process_heap.h"

namespace vela {

CBaseObject::~CBaseObject() {
  if (CBaseObject* parent = parent_) {
    parent->TakeOutOfChain(this);
    parent_ = nullptr;
    parent->Release();
  }
  for (CBaseObject* child = firstChild_; child; child = child->nextSibling_) child->parent_ = nullptr;
}

std::int32_t CBaseObject::Release() {
  const std::int32_t count = --refCount_;
  if (count == 0) delete this;
  return count;
}

void CBaseObject::AddChild(CBaseObject* child) {
  if (!child || child == this || child->parent_) return;
  CBaseObject** slot = &firstChild_;
  while (*slot) slot = &(*slot)->nextSibling_;
  *slot = child;
  child->nextSibling_ = nullptr;
  child->parent_ = this;
  ++childCount_;
  AddRef();
}

void CBaseObject::TakeOutOfChain(CBaseObject* child) {
  for (CBaseObject** slot = &firstChild_; *slot; slot = &(*slot)->nextSibling_) {
    if (*slot != child) continue;
    *slot = child->nextSibling_;
    child->nextSibling_ = nullptr;
    --childCount_;
    return;
  }
}

void* CBaseObject::operator new(std::size_t bytes) noexcept { return HeapAllocate(bytes); }

void CBaseObject::operator delete(void* block) noexcept { HeapRelease(block); }

}  // namespace vela
