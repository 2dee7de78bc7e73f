#include "core/base_list.h"

namespace vela {

bool CBaseList::Holds(const CBaseObject* object) const {
  // Both ends must agree; an object from the middle of another list is not told apart.
  const bool front = object->prev_ ? object->prev_->next_ == object : head_ == object;
  const bool back = object->next_ ? object->next_->prev_ == object : tail_ == object;
  return front && back;
}

void CBaseList::Append(CBaseObject* object) {
  if (!object || object->prev_ || object->next_ || head_ == object) return;
  object->prev_ = tail_;
  object->next_ = nullptr;
  if (tail_) {
    tail_->next_ = object;
  } else {
    head_ = object;
  }
  tail_ = object;
  ++count_;
}

void CBaseList::Unlink(CBaseObject* object) {
  if (!object || !Holds(object)) return;
  if (object->prev_) {
    object->prev_->next_ = object->next_;
  } else {
    head_ = object->next_;
  }
  if (object->next_) {
    object->next_->prev_ = object->prev_;
  } else {
    tail_ = object->prev_;
  }
  object->prev_ = nullptr;
  object->next_ = nullptr;
  --count_;
}

CBaseObject* CBaseList::Find(const char* name) {
  for (CBaseObject* object = head_; object; object = object->next_) {
    if (!SameObjectName(object->GetName(), name)) continue;
    object->AddRef();
    return object;
  }
  return nullptr;
}

}  // namespace vela
