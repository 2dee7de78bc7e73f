// Log lines of failures the library stops, as its log file holds them: an exception stopped at
// an export, and a damaged LZSS file read through the file service.

#include <new>

#include "files/lzss.h"
#include "files/vela_file.h"
#include "host/script_host.h"
#include "plugin/export_call.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

struct LoadRow : plugin::ExportRow<plugin::kind::None, plugin::kind::Ref> {
  static constexpr const char* kName = "TestLoad";
};
std::int32_t Load(plugin::HostWord top, plugin::HostWord base) {
  return plugin::CallExport<LoadRow>(top, base, [](plugin::HostVariable) { throw std::bad_alloc(); });
}

TEST(LogLines, AnExceptionStoppedAtAnExportIsOneRedLineNamingItAndWhatWasThrown) {
  LogCapture log;
  host::ScriptHost host;
  host.PushWord(host.RelativeRef(0));
  EXPECT_EQ(host.Call(Load), 4);
  // Written and flushed at once, in the file's Shift-JIS.
  EXPECT_EQ(log.Bytes(), AsLogBytes(Red("TestLoad: 例外 std::bad_alloc")));
}

TEST(LogLines, ADamagedLzssFileIsReportedAsARedLineBetweenBraces) {
  std::vector<std::uint8_t> block;
  ASSERT_TRUE(LzssEncodeBlock(std::vector<std::uint8_t>(3000, 0x5A), block));
  block.resize(block.size() - 2);  // the stream ends before the declared size
  const TempFile file("damaged.lz", block);

  LogCapture log;
  std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  EXPECT_FALSE(FileLoad(file.Path(), &data, &size));
  // The name is read once for each of the empty search slots and once more on its own: each read
  // writes the same report.
  const std::string report = AsLogBytes(" {<BR>\n" + Red("　　ファイルのデコードに失敗") + "} ");
  EXPECT_EQ(log.Bytes().substr(0, report.size()), report);
}

}  // namespace
}  // namespace vela
