// The log line of an exception stopped at an export, as the library's log file holds it: one
// red entry and nothing else.
#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "host/script_host.h"
#include "plugin/export_call.h"
#include "tests/library/library_window_support.h"

namespace {

using vela::plugin::CallExport;
using vela::plugin::ExportRow;
using vela::plugin::HostVariable;
using vela::plugin::HostWord;

struct LoadRow : ExportRow<vela::plugin::kind::None, vela::plugin::kind::Ref> {
  static constexpr const char* kName = "TestLoad";
};
std::int32_t Load(HostWord top, HostWord base) {
  return CallExport<LoadRow>(top, base, [](HostVariable) { throw std::bad_alloc(); });
}

TEST(ExportGuardLog, OneRedLineNamesTheExportAndWhatWasThrown) {
  vela::test::LogCapture log;
  vela::host::ScriptHost host;
  host.PushWord(host.RelativeRef(0));
  EXPECT_EQ(host.Call(Load), 4);
  // Written and flushed at once, in the file's Shift-JIS.
  EXPECT_EQ(log.Bytes(), vela::test::AsLogBytes("<B><FONT color=\"RED\">TestLoad: 例外 std::bad_alloc</FONT></B><BR>\n"));
}

}  // namespace
