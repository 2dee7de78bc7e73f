// What the log tells the reader when a damaged LZSS file is read through the file service.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "files/lzss.h"
#include "files/vela_file.h"
#include "tests/library/library_window_support.h"

namespace vela {
namespace {

TEST(FileDecodingLog, ADamagedLzssFileIsReportedAsARedLineBetweenBraces) {
  std::vector<std::uint8_t> block;
  ASSERT_TRUE(LzssEncodeBlock(std::vector<std::uint8_t>(3000, 0x5A), block));
  block.resize(block.size() - 2);  // the stream ends before the declared size
  const test::TempFile file("damaged.lz", block);

  test::LogCapture log;
  std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  EXPECT_FALSE(FileLoad(file.Path(), &data, &size));
  // The name is read once for each of the empty search slots and once more on its own: each read
  // writes the same report.
  const std::string report = test::AsLogBytes(" {<BR>\n<B><FONT color=\"RED\">　　ファイルのデコードに失敗</FONT></B><BR>\n} ");
  EXPECT_EQ(log.Bytes().substr(0, report.size()), report);
}

}  // namespace
}  // namespace vela
