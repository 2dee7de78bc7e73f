// CallExport: one call of an export, shaped by its row of export_table.h. It reads the row's
// arguments from the host's stack, hands them to the export's body, writes the body's result
// over the first argument and answers the byte count the host pops.
//
// No exception leaves an export. One that reaches CallExport is answered with the export's
// failure value, with the same byte count: 0 written through every HostRef (no handle, no key)
// and a result of false or 0; the log gets one red line that names the export and what was
// thrown. What the body had already done stays done (an in-place rewrite, say).
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
// Writes that line where the platform keeps its log (export_exception_log_*.cpp).
void LogEscapedException(const char* exportName, const char* thrown) noexcept;

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

}  // namespace detail

template <typename Row>
std::int32_t CallExport(HostWord top, HostWord base, BodyOf<Row>* body) noexcept {
  ArgumentReader reader(top, base, Row::kArgumentBytes);
  const auto values = detail::ReadArguments(reader, typename Row::Arguments{});
  std::byte* const result = reader.ResultAddress();
  try {
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
