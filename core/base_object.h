// CBaseObject: the root of every object the library hands out, managers included.
//
// An object counts its references (1 after construction; Release at 0 destroys it through the
// virtual destructor), has a name, two links for the one manager list it may stand in
// (CBaseList) and links to a parent and a chain of children. A child holds one reference on
// its parent; destroying a child takes it out of its parent's chain and gives that reference
// back, destroying a parent leaves its children alive with no parent.
//
// Objects come from the process heap; a new-expression answers null when it runs out instead
// of throwing. Counts are plain integers: every object is used on the window's thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/object_name.h"

namespace vela {

class CBaseList;

class CBaseObject {
 public:
  CBaseObject() = default;
  CBaseObject(const CBaseObject&) = delete;
  CBaseObject& operator=(const CBaseObject&) = delete;

  // The virtual operations, in their fixed order.
  virtual ~CBaseObject();
  // Reserved; no class overrides them.
  virtual bool Reserved1(std::uint32_t, std::uint32_t, std::uint32_t) { return false; }
  virtual bool Reserved2(std::uint32_t, std::uint32_t, std::uint32_t) { return false; }

  void AddRef() { ++refCount_; }
  // Answers the new count; at 0 the object is destroyed. Releasing an object whose count is
  // already 0 is a misuse that is not guarded against (see ReleaseObject for handles).
  std::int32_t Release();
  std::int32_t GetRefCount() const { return refCount_; }

  void SetName(const char* text) { CopyObjectName(name_, text); }  // cut at 259 bytes
  const char* GetName() const { return name_; }

  // Appends `child` to the end of the child chain; the child then holds a reference on this
  // object. A null child, this object itself or an object that already has a parent is refused.
  void AddChild(CBaseObject* child);
  CBaseObject* GetChild() const { return firstChild_; }
  CBaseObject* GetSibling() const { return nextSibling_; }
  CBaseObject* GetParent() const { return parent_; }
  std::uint32_t GetChildCount() const { return childCount_; }

  CBaseObject* GetNext() const { return next_; }  // in the manager's list

  static void* operator new(std::size_t bytes) noexcept;
  static void operator delete(void* block) noexcept;

 private:
  friend class CBaseList;

  void TakeOutOfChain(CBaseObject* child);

  CBaseObject* prev_ = nullptr;
  CBaseObject* next_ = nullptr;
  CBaseObject* parent_ = nullptr;
  CBaseObject* firstChild_ = nullptr;
  CBaseObject* nextSibling_ = nullptr;
  std::int32_t refCount_ = 1;
  std::uint32_t childCount_ = 0;
  char name_[kObjectNameSize] = {};
};

// What the exports do with a handle: nothing for a null one.
inline void ReleaseObject(CBaseObject* object) {
  if (object) object->Release();
}
inline void AddRefObject(CBaseObject* object) {
  if (object) object->AddRef();
}

}  // namespace vela
