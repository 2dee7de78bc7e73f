#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/script_host.h"
#include "plugin/text_conversion.h"

namespace {

using vela::plugin::CString;
using vela::plugin::GrowBuffer;
using vela::plugin::HostStringView;

HostStringView View(const std::u16string& text) { return {text.data(), static_cast<std::int32_t>(text.size())}; }

std::int32_t Failing(const char16_t*, std::int32_t, char*, std::int32_t) { return 0; }

// Measures correctly but then writes less, as a conversion that fails halfway would.
std::int32_t ShortSecondCall(const char16_t*, std::int32_t units, char* out, std::int32_t) {
  return out ? units - 1 : units;
}

TEST(ToCodePage, AppendsTheOnlyTerminator) {
  const std::u16string text = u"data/img.png";
  GrowBuffer<char> out;
  ASSERT_TRUE(ToCodePage(View(text), out));
  EXPECT_EQ(out.Count(), 13);
  EXPECT_STREQ(CString(out), "data/img.png");
}

TEST(ToCodePage, EmptyOrUnconvertibleTextIsJustTheTerminator) {
  GrowBuffer<char> out;
  ASSERT_TRUE(ToCodePage({u"", 0}, out));
  EXPECT_EQ(out.Count(), 1);
  EXPECT_STREQ(CString(out), "");

  const std::u16string text = u"abc";
  ASSERT_TRUE(ToCodePage(View(text), out, Failing));
  EXPECT_EQ(out.Count(), 1);
  ASSERT_TRUE(ToCodePage(View(text), out, ShortSecondCall));
  EXPECT_STREQ(CString(out), "");
}

TEST(ToCodePage, ReusesItsBufferFromTheStart) {
  GrowBuffer<char> out;
  const std::u16string longer = u"a longer name", shorter = u"ab";
  ASSERT_TRUE(ToCodePage(View(longer), out));
  ASSERT_TRUE(ToCodePage(View(shorter), out));
  EXPECT_STREQ(CString(out), "ab");
}

TEST(ToWideZ, CopiesTheUnitsAndTerminates) {
  const std::u16string text = u"Vela \u3042";
  GrowBuffer<char16_t> out;
  ASSERT_TRUE(ToWideZ(View(text), out));
  EXPECT_EQ(out.Count(), 7);
  EXPECT_EQ(std::u16string(CString(out)), text);
}

TEST(ToWideZ, WorksOnHostStrings) {
  vela::host::ScriptHost host;
  const auto object = host.MakeString(u"Title");
  GrowBuffer<char16_t> out;
  ASSERT_TRUE(ToWideZ(vela::plugin::ReadHostString(object | vela::plugin::kHostTagBit, 2, -1), out));
  EXPECT_EQ(std::u16string(CString(out)), u"itle");
}

}  // namespace
