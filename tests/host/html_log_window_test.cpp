// The HTML log of a boot and shutdown, switched on through velaplugin.ini, byte for byte in
// Shift-JIS as the file holds it. Between the fixed pieces Vela3D writes its own report.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/version.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::AsLogBytes;
using vela::test::LogSettingsFile;
using vela::test::ReadWholeFile;

const std::string kHead = AsLogBytes(
    "<HTML>\n"
    "<HEAD>\n"
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
    "<TITLE>Vela log 100%</TITLE>\n"
    "<STYLE type=\"text/css\">\n"
    "<!--\n"
    "BODY{\n"
    "  font-size : 12px;\n"
    "  font-family : \"ＭＳ ゴシック\";\n"
    "}\n"
    "-->\n"
    "</STYLE>\n"
    "</HEAD>\n"
    "<BODY bgcolor=\"#ffffff\" text=\"#000000\" link=\"#444444\" vlink=\"#444444\" alink=\"#444444\">\n");

// The library's banner, then the plug-in's version as this build made it.
const std::string kBanner = AsLogBytes(
    std::string("<B><FONT color=\"BLUE\">Library Version</FONT></B><BR>\n"
                "　　　[ Vela for \"DirectX 9.0c Update (October 2004)\" - Phase 35.00 / 2006.10.20 ]<BR>\n"
                "　　　[ Vela plug-in ") +
    vela::kPluginVersion + " ]<BR>\n<BR>\n");

const std::string kApplicationStart = AsLogBytes(
    "<TABLE width=\"100%\" bgcolor=\"#000000\">\n"
    "  <TBODY>\n"
    "    <TR>\n"
    "      <TD align=\"center\">\n"
    "        <B>\n"
    "          <FONT color=\"WHITE\">アプリケーション開始</FONT>\n"
    "        </B>\n"
    "      </TD>\n"
    "    </TR>\n"
    "  </TBODY>\n"
    "</TABLE>\n"
    "<BR>\n");

// The start of Vela3D's capability report, written when Vela3D is initialised (before the core's
// banner): its title, the first section and the hardware rasterisation that Wine's Direct3D
// always offers.
const std::string kCapabilityReport = AsLogBytes(
    "<B><FONT color=\"BLUE\">デバイス能力の取得</FONT></B><BR>\n"
    "<B>　デバイス能力</B><BR>\n");
const std::string kRasterisationItem = AsLogBytes("　　　[ ○ ] ハードウェアラスタライズ<BR>\n");

const std::string kFooter = AsLogBytes("</BODY>\n</HTML>\n");

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(HtmlLogFile, BootAndShutdownWriteHeadBannerStartRowAndFooter) {
  MessageBoxCapture boxes;
  // The title is not a format: its percent sign reaches the file as it is.
  LogSettingsFile settings(L"vela_frame_log.html", L"Vela log 100%");
  {
    AppFrame frame(u"Vela log test");
    ASSERT_TRUE(frame.Init(0, 320, 240));
    ASSERT_TRUE(frame.WaitMsg());
    const std::string running = ReadWholeFile(settings.LogPath());
    EXPECT_TRUE(EndsWith(running, kApplicationStart)) << "flushed after every write";
    frame.Finish();
  }
  EXPECT_TRUE(boxes.Boxes().empty());

  const std::string log = ReadWholeFile(settings.LogPath());
  ASSERT_EQ(log.compare(0, kHead.size(), kHead), 0) << log.substr(0, kHead.size());
  const std::size_t banner = log.find(kBanner);
  const std::size_t start = log.find(kApplicationStart);
  ASSERT_NE(banner, std::string::npos);
  ASSERT_NE(start, std::string::npos);
  EXPECT_LT(banner, start);
  const auto report = log.find(kCapabilityReport);
  ASSERT_NE(report, std::string::npos) << "the capability report";
  EXPECT_LT(report, log.find(kRasterisationItem));
  EXPECT_LT(log.find(kRasterisationItem), banner) << "Vela3D is initialised before the core starts";
  EXPECT_EQ(log.find(kBanner, banner + 1), std::string::npos);
  EXPECT_TRUE(EndsWith(log, kFooter)) << log.substr(log.size() > 200 ? log.size() - 200 : 0);
  EXPECT_EQ(log.find(kFooter), log.size() - kFooter.size()) << "one footer";
}

// A host with a console of its own (as this test executable is) gets the echo on its output.
TEST(HtmlLogFile, ConsoleEchoGoesToTheHostsOwnConsoleOutput) {
  MessageBoxCapture boxes;
  LogSettingsFile settings(L"vela_console_log.html", L"Vela console", true);
  AllocConsole();  // fails when the process has its console already, as it should
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 20));
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, writeEnd);
  {
    AppFrame frame(u"Vela console test");
    const bool started = frame.Init(0, 320, 240) && frame.WaitMsg();
    frame.Finish();
    EXPECT_TRUE(started);
  }
  SetStdHandle(STD_OUTPUT_HANDLE, output);
  CloseHandle(writeEnd);
  std::string echoed;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) echoed.append(buffer, read);
  CloseHandle(readEnd);
  EXPECT_NE(echoed.find("Library Version\n"), std::string::npos) << echoed.substr(0, 400);
  EXPECT_NE(echoed.find(AsLogBytes("アプリケーション開始")), std::string::npos);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(HtmlLogFile, NoSettingsFileWritesNoLog) {
  MessageBoxCapture boxes;
  const std::wstring path = vela::test::ExecutableFolder() + L"vela_frame_log.html";
  DeleteFileW(path.c_str());
  AppFrame frame(u"Vela log test");
  ASSERT_TRUE(frame.Init(0, 320, 240));
  ASSERT_TRUE(frame.WaitMsg());
  frame.Finish();
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
