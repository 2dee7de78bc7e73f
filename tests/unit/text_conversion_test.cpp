#include <gtest/gtest.h>

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

TEST(ToCodePage, ReusesItsBufferFromTheStartAndEndsWithTheOnlyTerminator) {
  GrowBuffer<char> out;
  ASSERT_TRUE(ToCodePage(View(u"a longer name"), out));
  ASSERT_TRUE(ToCodePage(View(u"data/img.png"), out));
  EXPECT_EQ(out.Count(), 13);
  EXPECT_STREQ(CString(out), "data/img.png");
}

TEST(ToCodePage, EmptyOrUnconvertibleTextIsJustTheTerminator) {
  GrowBuffer<char> out;
  for (auto convert : {Failing, ShortSecondCall}) {
    ASSERT_TRUE(ToCodePage(View(u"abc"), out, convert));
    EXPECT_EQ(out.Count(), 1);
  }
  ASSERT_TRUE(ToCodePage({u"", 0}, out));
  EXPECT_STREQ(CString(out), "");
}

TEST(ToWideZ, CopiesTheUnitsOfAHostStringBehindItsOffset) {
  vela::host::ScriptHost host;
  GrowBuffer<char16_t> out;
  ASSERT_TRUE(ToWideZ(vela::plugin::ReadHostString(host.MakeString(u"Vela \u3042") | vela::plugin::kHostTagBit, 2, -1), out));
  EXPECT_EQ(out.Count(), 6);
  EXPECT_EQ(std::u16string(CString(out)), u"ela \u3042");
}

TEST(GrowBuffer, ARefusedRequestLeavesTheBufferAsItWas) {
  GrowBuffer<char16_t> buffer;
  ASSERT_TRUE(buffer.Append(u"abc", 3));
  // 2^30 units of 2 bytes do not fit the 32-bit size: the heap is asked for 0xFFFFFFFF bytes.
  EXPECT_FALSE(buffer.Reserve(0x40000001));
  EXPECT_FALSE(buffer.Reserve(INT32_MAX));
  EXPECT_EQ(std::u16string(buffer.Data(), buffer.Count()), u"abc");
}

}  // namespace
