// CBaseList: a doubly linked list of objects, threaded through the objects' own prev/next
// links, so that an object stands in one list at most. Managers derive from it.
#pragma once

#include <cstdint>

#include "core/base_object.h"

namespace vela {

class CBaseList : public CBaseObject {
 public:
  // Links `object` at the tail. A null object, or one that is linked already, is refused.
  void Append(CBaseObject* object);
  // Takes `object` out wherever it stands; an unlinked object, or the head or tail of another
  // list, is left alone.
  void Unlink(CBaseObject* object);

  CBaseObject* GetFirst() const { return head_; }
  CBaseObject* GetLast() const { return tail_; }
  std::uint32_t GetCount() const { return count_; }

  // The first object, from the head, whose name equals `name` ignoring ASCII case, with one
  // more reference for the caller; null when there is none.
  CBaseObject* Find(const char* name);

 private:
  bool Holds(const CBaseObject* object) const;

  CBaseObject* head_ = nullptr;
  CBaseObject* tail_ = nullptr;
  std::uint32_t count_ = 0;
};

}  // namespace vela
