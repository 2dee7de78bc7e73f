// The rows of export_table.h in two forms: a type per export, exports::Name, that the typed
// call (export_call.h) reads and answers by; and the list kExportShapes of names, functions and
// byte counts, from which the build writes velaplugin.def and against which the tests hold the
// DLL and the README.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugin/argument_kinds.h"
#include "plugin/export_table.h"

namespace vela::plugin {

template <typename... Kinds>
struct KindList {};

template <ResultKind R, ArgumentKind... A>
struct ExportRow {
  using Result = R;
  using Arguments = KindList<A...>;
  static constexpr std::uint32_t kArgumentBytes = (0u + ... + A::kBytes);
  // What the host pops: the arguments less the result left in their place (−1 for a boolean
  // result without arguments, which grows the stack).
  static constexpr std::int32_t kReturnedBytes =
      static_cast<std::int32_t>(kArgumentBytes) - static_cast<std::int32_t>(R::kBytes);
};

namespace exports {
using namespace kind;
#define VELA_EXPORT_ROW(name, result, ...)                          \
  struct name : ExportRow<result __VA_OPT__(, ) __VA_ARGS__> {      \
    static constexpr const char* kName = #name;                     \
  };
#define VELA_NO_ROW_FOR_ALIAS(name, function)
VELA_EXPORT_TABLE(VELA_EXPORT_ROW, VELA_NO_ROW_FOR_ALIAS)
#undef VELA_NO_ROW_FOR_ALIAS
#undef VELA_EXPORT_ROW
}  // namespace exports

struct ExportShape {
  std::string_view name;
  std::string_view function;  // the function behind the name: its own, or an alias's target
  Kind result;
  std::uint32_t argumentBytes;
  std::int32_t returnedBytes;

  bool IsAlias() const { return name != function; }
};

#define VELA_SHAPE_OF(name, function)                                                    \
  ExportShape{#name, #function, exports::function::Result::kKind,                        \
              exports::function::kArgumentBytes, exports::function::kReturnedBytes},
#define VELA_SHAPE_OF_EXPORT(name, ...) VELA_SHAPE_OF(name, name)
inline constexpr ExportShape kExportShapes[] = {VELA_EXPORT_TABLE(VELA_SHAPE_OF_EXPORT, VELA_SHAPE_OF)};
#undef VELA_SHAPE_OF_EXPORT
#undef VELA_SHAPE_OF

// The shape exported under `name`, or null.
constexpr const ExportShape* FindExportShape(std::string_view name) {
  for (const ExportShape& shape : kExportShapes) {
    if (shape.name == name) return &shape;
  }
  return nullptr;
}

namespace detail {
constexpr bool EveryNameOnce() {
  for (const ExportShape& shape : kExportShapes) {
    if (FindExportShape(shape.name) != &shape) return false;
  }
  return true;
}
}  // namespace detail
static_assert(detail::EveryNameOnce(), "an alias repeats a name of export_table.h");

}  // namespace vela::plugin
