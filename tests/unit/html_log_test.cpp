// The log's HTML framing and console echo, on an in-memory output.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "core/html_log.h"

namespace {

using vela::HtmlLog;
using vela::LogStyle;

class MemoryOutput final : public vela::LogOutput {
 public:
  void Write(std::string_view text) override { bytes.append(text); }
  void Print(const char* format, std::va_list args) override {
    char buffer[4096];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length > 0) bytes.append(buffer, static_cast<std::size_t>(length));
  }
  void Flush() override { flushedAt.push_back(bytes.size()); }

  std::string bytes;
  std::vector<std::size_t> flushedAt;
};

class MemoryEcho final : public vela::LogEcho {
 public:
  void SetColour(std::uint16_t attributes) override { events.push_back("colour " + std::to_string(attributes)); }
  void Write(std::string_view text) override { events.emplace_back(text); }
  std::vector<std::string> events;
};

void Write(HtmlLog& log, LogStyle style, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  log.Write(style, format, args);
  va_end(args);
}

// Opens a log and forgets the head, so that a test sees only what follows it.
class HtmlLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log.Open(output, "t");
    output.bytes.clear();
    output.flushedAt.clear();
  }
  MemoryOutput output;
  HtmlLog log;
};

TEST_F(HtmlLogTest, EntriesInTheirStylesAndBreaksEachFlush) {
  Write(log, LogStyle::kHeadRow, "%s start", "Vela3D");
  EXPECT_EQ(output.bytes,
            "<TABLE width=\"100%\" bgcolor=\"#000000\">\n  <TBODY>\n    <TR>\n      <TD align=\"center\">\n"
            "        <B>\n          <FONT color=\"WHITE\">Vela3D start</FONT>\n        </B>\n"
            "      </TD>\n    </TR>\n  </TBODY>\n</TABLE>\n");
  output.bytes.clear();
  Write(log, LogStyle::kRed, "Failed!");
  log.Break();
  Write(log, LogStyle::kBlue, "CTexture::%s", "Create");
  Write(log, LogStyle::kGreen, "Success!");
  Write(log, LogStyle::kBold, "step %d", 2);
  Write(log, LogStyle::kPlain, "[ %u ]", 7u);
  EXPECT_EQ(output.bytes,
            "<B><FONT color=\"RED\">Failed!</FONT></B><BR>\n"
            "<B><FONT color=\"BLUE\">CTexture::Create</FONT></B><B><FONT color=\"GREEN\">Success!</FONT></B>"
            "<B>step 2</B>[ 7 ]");
  EXPECT_EQ(output.flushedAt.size(), 7u);
}

TEST_F(HtmlLogTest, CloseWritesTheFooterOnceAndLaterWritesDoNothing) {
  log.Close();
  EXPECT_FALSE(log.IsOpen());
  Write(log, LogStyle::kPlain, "after");
  log.Break();
  log.Close();
  EXPECT_EQ(output.bytes, "</BODY>\n</HTML>\n");
}

TEST_F(HtmlLogTest, EchoGetsTheBareTextInTheStyleColourCutAt1023Bytes) {
  MemoryEcho echo;
  log.SetEcho(&echo);
  Write(log, LogStyle::kHeadRow, "head");
  Write(log, LogStyle::kRed, "%s!", "Failed");
  Write(log, LogStyle::kBold, "bold");
  log.Break();
  EXPECT_EQ(echo.events, (std::vector<std::string>{"colour 112", "head", "colour 7", "colour 71", "Failed!",
                                                   "colour 7", "bold", "\n"}));
  const std::string longText(3000, 'x');
  Write(log, LogStyle::kPlain, "%s", longText.c_str());
  EXPECT_TRUE(output.bytes.ends_with(longText)) << "the file gets it whole";
  EXPECT_EQ(echo.events.back().size(), 1023u);
}

}  // namespace
