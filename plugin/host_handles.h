// The object handles the host holds: every handle the exports wrote into a host variable, with
// its kind and how many of the object's references the host owns through it. An export that
// takes a handle accepts only one found here with a kind it can use, so a made-up number, a
// handle of the wrong kind or one given back already never reaches the library as a pointer.
//
// The host's references keep an object alive, so a handle found here is a live object; the
// library's end destroys every object whatever its count, so End and Init forget them all.
// Lookups are constant time and touch no object.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "plugin/argument_kinds.h"
#include "plugin/host_address.h"

namespace vela::plugin {

class HostHandles {
 public:
  // The host received one more reference to an object of `kind` (one of kTextures, kSurfaces,
  // kSprites) through `handle`.
  void Add(HostWord handle, ObjectKinds kind);
  // True when `handle` is held by the host and its kind is among `accepted`.
  bool IsLive(HostWord handle, ObjectKinds accepted) const;
  // The host gives one reference back: false (and nothing changes) when it holds none.
  bool GiveBack(HostWord handle);
  // True the first time a bad `handle` is reported, so that a mistake made every frame is
  // logged once.
  bool FirstReportOf(HostWord handle) { return reported_.insert(handle).second; }
  void Forget();

 private:
  struct Held {
    ObjectKinds kind;
    std::uint32_t references;
  };
  std::unordered_map<HostWord, Held> held_;
  std::unordered_set<HostWord> reported_;
};

// The handles of this process's host (all exports run on the host's thread).
HostHandles& Handles();

}  // namespace vela::plugin
