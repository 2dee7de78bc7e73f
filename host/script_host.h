// ScriptHost plays the script host's side of the call protocol, for tests and demos.
//
// It owns, below 2 GiB: a byte stack on which arguments are laid in declaration order with no
// padding, a block of 4-byte variables with its base address (for HostRefs), and an arena of
// host string and array objects. Call() hands an export the stack top and the base, lowers the
// top by the byte count it answers, and leaves the in-place result on top for the Pop*
// functions, exactly as the host does:
//
//   ScriptHost host;
//   host.PushInt(0).PushInt(1000);
//   host.Call(module.Find("MathRand"));   // answers 4
//   std::int32_t value = host.PopInt();
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plugin/export.h"

namespace vela::host {

using plugin::ExportFunction;
using plugin::HostWord;

class ScriptHost {
 public:
  static constexpr std::size_t kStackBytes = 64 * 1024;
  static constexpr int kVariableCount = 256;
  static constexpr std::size_t kObjectArenaBytes = 4 * 1024 * 1024;

  ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  // Arguments, in declaration order.
  ScriptHost& PushBool(bool value);
  ScriptHost& PushInt(std::int32_t value);
  ScriptHost& PushFloat(float value);
  ScriptHost& PushWord(HostWord value);  // a handle or a HostRef
  ScriptHost& PushBytes(const void* bytes, std::size_t size);
  ScriptHost& PushRect(float x, float y, float width, float height);
  // The 12-byte string and array references: object word (tag bit set, as the host does),
  // byte offset, and the length word (−1: the whole string).
  ScriptHost& PushString(HostWord object, std::int32_t byteOffset = 0, std::int32_t byteLength = -1);
  ScriptHost& PushArray(HostWord object, std::int32_t byteOffset = 0);

  // Calls the export and lowers the stack top by its answer, which it returns.
  std::int32_t Call(ExportFunction function);

  // Results left on top of the stack.
  bool PopBool();
  std::int32_t PopInt();
  float PopFloat();

  HostWord Top() const { return top_; }
  // Resets the stack to empty (between unrelated calls in a test).
  void ClearStack();
  std::byte* Pointer(HostWord address) const;

  // Host variables named by HostRefs, both ways.
  HostWord Base() const { return base_; }
  HostWord RelativeRef(int variable) const;  // an offset from the base, bit 31 clear
  HostWord AbsoluteRef(int variable) const;  // the address with bit 31 set
  std::int32_t Variable(int variable) const;
  void SetVariable(int variable, std::int32_t value);

  // Host objects. Strings are UTF-16LE; MakeStringBytes takes raw bytes (odd lengths too).
  HostWord MakeString(std::u16string_view text);
  HostWord MakeStringBytes(const void* bytes, std::int32_t byteLength);
  HostWord MakeArray(const void* elements, std::size_t bytes);

 private:
  HostWord Allocate(std::size_t bytes);
  template <typename T>
  T Pop();

  std::byte* stack_;
  HostWord stackStart_;
  HostWord top_;
  HostWord base_;
  HostWord arenaNext_;
  HostWord arenaEnd_;
};

}  // namespace vela::host
