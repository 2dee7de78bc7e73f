// CallExport: one call of an export, shaped by its row of export_table.h. It reads the row's
// arguments from the host's stack, hands them to the export's body, writes the body's result
// over the first argument and answers the byte count the host pops.
//
// No exception leaves an export. One that reaches CallExport is answered with the export's
// failure value, with the same byte count: 0 written through every HostRef (no handle, no key)
// and a result of false or 0; the log gets one red line that names the export and what was
// thrown. What the body had already done stays done (an in-place rewrite, say).
//
// A handle argument that the host does not hold, or holds as another kind of object
// (host_handles.h), stops the call before the body: the export answers its failure value the
// same way, and the log gets one red line the first time that handle value is refused.
//
// An export is defined by its body, a function of the row's argument values that returns the
// row's result value:
//
//   VELA_EXPORT_BODY(MathRand)(std::int32_t lower, std::int32_t upper) -> std::int32_t {
//     return math::Rand(lower, upper);
//   }
//
// defines the exported function MathRand and its body, vela::plugin::bodies::MathRand. A body
// whose parameters or result differ from its row in number or type does not compile. Inside
// it, names of namespaces vela and vela::plugin need no qualification.
#pragma once

#include <cstdint>
#include <cstring>
#include <exception>
#include <tuple>
#include <type_traits>

#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/export_functions.h"
#include "plugin/export_shapes.h"
#include "plugin/host_handles.h"

namespace vela::plugin {

template <ResultKind K>
struct ResultValue {
  using Type = ValueOf<K>;
};
template <>
struct ResultValue<kind::None> {
  using Type = void;
};

template <typename Result, typename Arguments>
struct BodyType;
template <typename Result, typename... A>
struct BodyType<Result, KindList<A...>> {
  using Type = typename ResultValue<Result>::Type(ValueOf<A>...);
};

// The function type of a body for `Row`: its argument values in, its result value out.
template <typename Row>
using BodyOf = typename BodyType<typename Row::Result, typename Row::Arguments>::Type;

// The log line for an exception stopped at an export: the export's name and what was thrown.
inline constexpr const char* kEscapedExceptionFormat = "%s: 例外 %s";
inline constexpr const char* kUnknownException = "(std::exception 以外)";
// Writes that line where the platform keeps its log (export_log_*.cpp).
void LogEscapedException(const char* exportName, const char* thrown) noexcept;
// The log line for a handle the host does not hold as an object the export can use.
inline constexpr const char* kRefusedHandleFormat = "%s: 無効なハンドル 0x%08X";
void LogRefusedHandle(const char* exportName, HostWord handle) noexcept;

namespace detail {

// Braced, so that the arguments are read in declaration order.
template <typename... A>
std::tuple<ValueOf<A>...> ReadArguments(ArgumentReader& reader, KindList<A...>) {
  return {reader.Read(A{})...};
}

template <typename T>
void WriteResult(std::byte* at, T value) {
  std::memcpy(at, &value, sizeof value);
}
inline void WriteResult(std::byte* at, bool value) { *at = std::byte{value ? std::uint8_t{1} : std::uint8_t{0}}; }

inline void WriteZeroIfRef(const HostVariable& variable) { variable.Write(std::uint32_t{0}); }
template <typename T>
void WriteZeroIfRef(const T&) {}

template <typename Row, typename Values>
void AnswerFailure(std::byte* result, const Values& values) {
  std::apply([](const auto&... value) { (WriteZeroIfRef(value), ...); }, values);
  std::memset(result, 0, Row::Result::kBytes);  // false, 0 and 0.0f alike
}

template <typename T>
HostWord Refused(const T&) {
  return 0;
}
template <ObjectKinds Accepted>
HostWord Refused(const HostHandle<Accepted>& handle) {
  return handle.word != 0 && !Handles().IsLive(handle.word, Accepted) ? handle.word : 0;
}

// The first handle among `values` that the export must not use, or 0.
template <typename Values>
HostWord FirstRefusedHandle(const Values& values) {
  HostWord refused = 0;
  std::apply([&](const auto&... value) { ((refused = refused != 0 ? refused : Refused(value)), ...); }, values);
  return refused;
}

}  // namespace detail

template <typename Row>
std::int32_t CallExport(HostWord top, HostWord base, BodyOf<Row>* body) noexcept {
  ArgumentReader reader(top, base, Row::kArgumentBytes);
  const auto values = detail::ReadArguments(reader, typename Row::Arguments{});
  std::byte* const result = reader.ResultAddress();
  try {
    if (const HostWord refused = detail::FirstRefusedHandle(values)) {
      detail::AnswerFailure<Row>(result, values);
      if (Handles().FirstReportOf(refused)) LogRefusedHandle(Row::kName, refused);
      return Row::kReturnedBytes;
    }
    if constexpr (std::is_void_v<typename ResultValue<typename Row::Result>::Type>) {
      std::apply(body, values);
    } else {
      detail::WriteResult(result, std::apply(body, values));
    }
  } catch (const std::exception& error) {
    detail::AnswerFailure<Row>(result, values);
    LogEscapedException(Row::kName, error.what());
  } catch (...) {
    detail::AnswerFailure<Row>(result, values);
    LogEscapedException(Row::kName, kUnknownException);
  }
  return Row::kReturnedBytes;
}

}  // namespace vela::plugin

// Defines the exported function `name` (declared in export_functions.h) over CallExport and
// opens the definition of its body; see the example above.
#define VELA_EXPORT_BODY(name)                                                                         \
  namespace vela::plugin::bodies {                                                                     \
  BodyOf<exports::name> name;                                                                          \
  }                                                                                                    \
  VELA_EXPORT std::int32_t VELA_CDECL name(vela::plugin::HostWord top, vela::plugin::HostWord base) {  \
    return vela::plugin::CallExport<vela::plugin::exports::name>(top, base, &vela::plugin::bodies::name); \
  }                                                                                                    \
  auto vela::plugin::bodies::name
