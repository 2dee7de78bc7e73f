// The call protocol seen from both sides: ScriptHost lays arguments as the script host does, and
// small exports written here over CallExport read its variable references, strings and arrays.
// Where each real export's result lands and how many bytes it pops is checked by the host
// tests' export sweep.
#include <gtest/gtest.h>

#include <cstring>

#include "host/script_host.h"
#include "plugin/export_call.h"

namespace {

using namespace vela::plugin;
using vela::host::ScriptHost;

// What the last test export saw, for the assertions.
HostStringView seenText;
std::byte* seenArray = nullptr;

// A test export: its row of argument kinds, then the function that the body below defines.
#define TEST_EXPORT(name, ...)                                                                    \
  struct name##Row : ExportRow<__VA_ARGS__> { static constexpr const char* kName = #name; }; \
  std::int32_t name(HostWord top, HostWord base)

TEST_EXPORT(WriteThroughRef, kind::None, kind::Ref, kind::Int) {
  return CallExport<WriteThroughRefRow>(top, base,
                                        [](HostVariable variable, std::int32_t value) { variable.Write(value); });
}

TEST_EXPORT(TakeString, kind::None, kind::String) {
  return CallExport<TakeStringRow>(top, base, [](HostStringView text) { seenText = text; });
}

TEST_EXPORT(TakeArray, kind::None, kind::Array) {
  return CallExport<TakeArrayRow>(top, base, [](std::byte* array) { seenArray = array; });
}

std::u16string Text(const HostStringView& view) { return {view.text, static_cast<std::size_t>(view.units)}; }

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
  EXPECT_EQ(Text(seenText), u"hello, world") << "a negative length takes the whole text";

  host.PushString(hello, 0, 9).Call(TakeString);
  EXPECT_EQ(Text(seenText), u"hell") << "an odd byte length drops its last byte";

  host.PushString(hello, 14, 10).Call(TakeString);
  EXPECT_EQ(Text(seenText), u"world") << "the offset counts bytes";

  host.PushString(hello, 14, -1).Call(TakeString);
  EXPECT_EQ(Text(seenText), u"world") << "the whole string behind an offset stops at its end";

  host.PushString(hello, 100, -1).Call(TakeString);
  EXPECT_EQ(seenText.units, 0);
}

TEST(Protocol, HostArrayStartsAtTheOffsetAndIgnoresTheThirdWord) {
  ScriptHost host;
  const std::int32_t values[4] = {10, 20, 30, 40};
  const HostWord array = host.MakeArray(values, sizeof values);
  host.PushArray(array, 8).Call(TakeArray);
  std::int32_t first;
  std::memcpy(&first, seenArray, 4);
  EXPECT_EQ(first, 30);
}

}  // namespace
