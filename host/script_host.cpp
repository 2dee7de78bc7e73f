#include "host/script_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/low_memory.h"

namespace vela::host {
namespace {

HostWord WordOf(const std::byte* pointer) {
  HostWord word = 0;
  if (!plugin::ToHostWord(pointer, word)) {
    std::fprintf(stderr, "host: %p is not a host address\n", static_cast<const void*>(pointer));
    std::abort();
  }
  return word;
}

void Fail(const char* what) {
  std::fprintf(stderr, "host: %s\n", what);
  std::abort();
}

}  // namespace

ScriptHost::ScriptHost() {
  stack_ = AllocateLow(kStackBytes);
  stackStart_ = WordOf(stack_);
  top_ = stackStart_;
  base_ = WordOf(AllocateLow(kVariableCount * 4));
  arenaNext_ = WordOf(AllocateLow(kObjectArenaBytes));
  arenaEnd_ = arenaNext_ + kObjectArenaBytes;
}

ScriptHost& ScriptHost::PushBytes(const void* bytes, std::size_t size) {
  if (top_ + size > stackStart_ + kStackBytes - 32) Fail("argument stack overflow");
  std::memcpy(Pointer(top_), bytes, size);
  top_ += static_cast<HostWord>(size);
  return *this;
}

ScriptHost& ScriptHost::PushBool(bool value) {
  const std::uint8_t byte = value ? 1 : 0;
  return PushBytes(&byte, 1);
}
ScriptHost& ScriptHost::PushInt(std::int32_t value) { return PushBytes(&value, 4); }
ScriptHost& ScriptHost::PushFloat(float value) { return PushBytes(&value, 4); }
ScriptHost& ScriptHost::PushWord(HostWord value) { return PushBytes(&value, 4); }

ScriptHost& ScriptHost::PushRect(float x, float y, float width, float height) {
  const float rect[4] = {x, y, width, height};
  return PushBytes(rect, sizeof rect);
}

ScriptHost& ScriptHost::PushString(HostWord object, std::int32_t byteOffset, std::int32_t byteLength) {
  const std::int32_t words[3] = {static_cast<std::int32_t>(object | plugin::kHostTagBit), byteOffset, byteLength};
  return PushBytes(words, sizeof words);
}

ScriptHost& ScriptHost::PushArray(HostWord object, std::int32_t byteOffset) {
  const std::int32_t words[3] = {static_cast<std::int32_t>(object | plugin::kHostTagBit), byteOffset, 0};
  return PushBytes(words, sizeof words);
}

std::int32_t ScriptHost::Call(ExportFunction function) {
  if (!function) Fail("call of a missing export");
  const std::int32_t popped = function(top_, base_);
  top_ -= static_cast<HostWord>(popped);
  return popped;
}

template <typename T>
T ScriptHost::Pop() {
  if (top_ < stackStart_ + sizeof(T)) Fail("argument stack underflow");
  top_ -= sizeof(T);
  T value;
  std::memcpy(&value, Pointer(top_), sizeof value);
  return value;
}

bool ScriptHost::PopBool() { return Pop<std::uint8_t>() != 0; }
std::int32_t ScriptHost::PopInt() { return Pop<std::int32_t>(); }
float ScriptHost::PopFloat() { return Pop<float>(); }

void ScriptHost::ClearStack() { top_ = stackStart_; }

std::byte* ScriptHost::Pointer(HostWord address) const { return plugin::HostPointer(address); }

HostWord ScriptHost::RelativeRef(int variable) const { return static_cast<HostWord>(variable * 4); }
HostWord ScriptHost::AbsoluteRef(int variable) const {
  return (base_ + static_cast<HostWord>(variable * 4)) | plugin::kHostTagBit;
}

std::int32_t ScriptHost::Variable(int variable) const {
  std::int32_t value;
  std::memcpy(&value, Pointer(base_ + static_cast<HostWord>(variable * 4)), 4);
  return value;
}

void ScriptHost::SetVariable(int variable, std::int32_t value) {
  std::memcpy(Pointer(base_ + static_cast<HostWord>(variable * 4)), &value, 4);
}

HostWord ScriptHost::Allocate(std::size_t bytes) {
  const std::size_t rounded = (bytes + 7) & ~std::size_t{7};
  if (rounded > arenaEnd_ - arenaNext_) Fail("host object arena exhausted");
  const HostWord at = arenaNext_;
  arenaNext_ += static_cast<HostWord>(rounded);
  return at;
}

HostWord ScriptHost::MakeStringBytes(const void* bytes, std::int32_t byteLength) {
  // The object's two leading words: the address of its character data and their byte length.
  const HostWord object = Allocate(8);
  const HostWord data = Allocate(static_cast<std::size_t>(byteLength) + 2);
  std::memcpy(Pointer(data), bytes, static_cast<std::size_t>(byteLength));
  std::memcpy(Pointer(object), &data, 4);
  std::memcpy(Pointer(object) + 4, &byteLength, 4);
  return object;
}

HostWord ScriptHost::MakeString(std::u16string_view text) {
  return MakeStringBytes(text.data(), static_cast<std::int32_t>(text.size() * 2));
}

HostWord ScriptHost::MakeArray(const void* elements, std::size_t bytes) {
  const HostWord object = Allocate(8);
  const HostWord data = Allocate(bytes);
  std::memcpy(Pointer(data), elements, bytes);
  const std::int32_t length = static_cast<std::int32_t>(bytes);
  std::memcpy(Pointer(object), &data, 4);
  std::memcpy(Pointer(object) + 4, &length, 4);
  return object;
}

}  // namespace vela::host
