#include "plugin/host_handles.h"

namespace vela::plugin {

void HostHandles::Add(HostWord handle, ObjectKinds kind) {
  auto [entry, added] = held_.try_emplace(handle, Held{kind, 0});
  // An address freed and handed out again as another kind holds the new kind.
  if (!added && entry->second.kind != kind) entry->second = Held{kind, 0};
  ++entry->second.references;
  reported_.erase(handle);
}

bool HostHandles::IsLive(HostWord handle, ObjectKinds accepted) const {
  const auto entry = held_.find(handle);
  return entry != held_.end() && (entry->second.kind & accepted) != 0;
}

bool HostHandles::GiveBack(HostWord handle) {
  const auto entry = held_.find(handle);
  if (entry == held_.end()) return false;
  if (--entry->second.references == 0) held_.erase(entry);
  return true;
}

void HostHandles::Forget() {
  held_.clear();
  reported_.clear();
}

HostHandles& Handles() {
  static HostHandles handles;
  return handles;
}

}  // namespace vela::plugin
