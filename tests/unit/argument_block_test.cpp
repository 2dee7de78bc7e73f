// The call protocol seen from both sides: ScriptHost lays arguments as the script host does,
// small exports written here over CallExport read them by their rows and answer in place.
#include <gtest/gtest.h>

#include <cstring>

#include "host/script_host.h"
#include "plugin/export_call.h"

namespace {

using vela::host::ScriptHost;
using vela::plugin::CallExport;
using vela::plugin::ExportRow;
using vela::plugin::HostStringView;
using vela::plugin::HostVariable;
using vela::plugin::Handles;
using vela::plugin::HostHandle;
using vela::plugin::HostWord;
using vela::plugin::kTextures;
namespace kind = vela::plugin::kind;

// What the last test export saw, for the assertions.
struct Seen {
  bool flag;
  std::int32_t number;
  float real;
  HostWord handle;
  HostStringView text;
  std::byte* array;
} seen;

#define TEST_ROW(name, ...) \
  struct name##Row : ExportRow<__VA_ARGS__> { static constexpr const char* kName = #name; }

TEST_ROW(IntArgumentBoolResult, kind::Bool, kind::Int);
std::int32_t IntArgumentBoolResult(HostWord top, HostWord base) {
  return CallExport<IntArgumentBoolResultRow>(top, base, [](std::int32_t number) {
    seen.number = number;
    return number == 42;
  });
}

TEST_ROW(MixedArguments, kind::None, kind::Bool, kind::Int, kind::Float, kind::TextureHandle);
std::int32_t MixedArguments(HostWord top, HostWord base) {
  return CallExport<MixedArgumentsRow>(top, base, [](bool flag, std::int32_t number, float real, HostHandle<kTextures> handle) {
    seen = {flag, number, real, handle.word, {}, nullptr};
  });
}

TEST_ROW(WriteThroughRef, kind::None, kind::Ref, kind::Int);
std::int32_t WriteThroughRef(HostWord top, HostWord base) {
  return CallExport<WriteThroughRefRow>(top, base,
                                        [](HostVariable variable, std::int32_t value) { variable.Write(value); });
}

TEST_ROW(TakeString, kind::None, kind::String);
std::int32_t TakeString(HostWord top, HostWord base) {
  return CallExport<TakeStringRow>(top, base, [](HostStringView text) { seen.text = text; });
}

TEST_ROW(TakeArray, kind::None, kind::Array);
std::int32_t TakeArray(HostWord top, HostWord base) {
  return CallExport<TakeArrayRow>(top, base, [](std::byte* array) { seen.array = array; });
}

std::u16string Text(const HostStringView& view) { return {view.text, static_cast<std::size_t>(view.units)}; }

TEST(Protocol, BooleanOverAnIntLeavesTheThreeBytesAboveIt) {
  ScriptHost host;
  host.PushInt(0x7A7B7C00 | 42);  // low byte 42, the others a pattern
  const HostWord argument = host.Top() - 4;
  EXPECT_EQ(host.Call(IntArgumentBoolResult), 3);
  EXPECT_EQ(seen.number, 0x7A7B7C2A);
  EXPECT_EQ(*host.Pointer(argument), std::byte{0});  // not 42 after all: false
  EXPECT_EQ(std::memcmp(host.Pointer(argument + 1), "\x7C\x7B\x7A", 3), 0);
  EXPECT_EQ(host.Top(), argument + 1);
}

TEST(Protocol, ArgumentsLieInDeclarationOrderWithoutPadding) {
  ScriptHost host;
  const HostWord start = host.Top();
  Handles().Add(0xCAFEF00D, kTextures);
  host.PushBool(true).PushInt(-7).PushFloat(2.5f).PushWord(0xCAFEF00D);
  EXPECT_EQ(host.Top(), start + 13);
  EXPECT_EQ(host.Call(MixedArguments), 13);
  EXPECT_EQ(host.Top(), start);
  EXPECT_TRUE(seen.flag);
  EXPECT_EQ(seen.number, -7);
  EXPECT_EQ(seen.real, 2.5f);
  EXPECT_EQ(seen.handle, 0xCAFEF00Du);
  Handles().Forget();
}

TEST(Protocol, HostRefIsBaseRelativeOrAbsolute) {
  ScriptHost host;
  host.PushWord(host.RelativeRef(5)).PushInt(111);
  host.Call(WriteThroughRef);
  EXPECT_EQ(host.Variable(5), 111);

  host.PushWord(host.AbsoluteRef(9)).PushInt(-222);
  host.Call(WriteThroughRef);
  EXPECT_EQ(host.Variable(9), -222);
  EXPECT_EQ(host.Variable(5), 111);
}

TEST(Protocol, HostStringLengthAndOffset) {
  ScriptHost host;
  const HostWord hello = host.MakeString(u"hello, world");

  host.PushString(hello, 0, -1).Call(TakeString);
  EXPECT_EQ(Text(seen.text), u"hello, world") << "a negative length takes the whole text";

  host.PushString(hello, 0, 9).Call(TakeString);
  EXPECT_EQ(Text(seen.text), u"hell") << "an odd byte length drops its last byte";

  host.PushString(hello, 14, 10).Call(TakeString);
  EXPECT_EQ(Text(seen.text), u"world") << "the offset counts bytes";

  host.PushString(hello, 14, -1).Call(TakeString);
  EXPECT_EQ(Text(seen.text), u"world") << "the whole string behind an offset stops at its end";

  host.PushString(hello, 100, -1).Call(TakeString);
  EXPECT_EQ(seen.text.units, 0);
}

TEST(Protocol, HostArrayStartsAtTheOffsetAndIgnoresTheThirdWord) {
  ScriptHost host;
  const std::int32_t values[4] = {10, 20, 30, 40};
  const HostWord array = host.MakeArray(values, sizeof values);
  host.PushArray(array, 8).Call(TakeArray);
  std::int32_t first;
  std::memcpy(&first, seen.array, 4);
  EXPECT_EQ(first, 30);
}

}  // namespace
