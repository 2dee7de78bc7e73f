// The HTML log of a boot and shutdown, switched on through velaplugin.ini, in Shift-JIS as the
// file holds it; off without the settings file; echoed to the host's console on request.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/version.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::AsLogBytes;
using vela::test::LogSettingsFile;
using vela::test::ReadWholeFile;

// The head's title, the banner with this build's version, the capability report's title (written
// when Vela3D is initialised, before the banner) and the start row; their layout is checked natively.
const std::string kTitle = AsLogBytes("<TITLE>Vela log 100%</TITLE>\n");
const std::string kBanner = AsLogBytes(
    std::string("<B><FONT color=\"BLUE\">Library Version</FONT></B><BR>\n"
                "　　　[ Vela for \"DirectX 9.0c Update (October 2004)\" - Phase 35.00 / 2006.10.20 ]<BR>\n"
                "　　　[ Vela plug-in ") +
    vela::kPluginVersion + " ]<BR>\n<BR>\n");
const std::string kCapabilityReport = AsLogBytes("<B><FONT color=\"BLUE\">デバイス能力の取得</FONT></B><BR>\n");
const std::string kApplicationStart = AsLogBytes("アプリケーション開始</FONT>\n        </B>\n      </TD>\n    </TR>\n  </TBODY>\n</TABLE>\n<BR>\n");
const std::string kFooter = AsLogBytes("</BODY>\n</HTML>\n");

TEST(HtmlLogFile, BootAndShutdownWriteHeadBannerStartRowAndFooter) {
  MessageBoxCapture boxes;
  LogSettingsFile settings(L"vela_frame_log.html", L"Vela log 100%");
  {
    AppFrame frame(u"Vela log test");
    ASSERT_TRUE(frame.Init(0, 320, 240));
    ASSERT_TRUE(frame.WaitMsg());
    const std::string running = ReadWholeFile(settings.LogPath());
    EXPECT_TRUE(running.ends_with(kApplicationStart)) << "flushed after every write";
    frame.Finish();
  }
  EXPECT_TRUE(boxes.Boxes().empty());

  const std::string log = ReadWholeFile(settings.LogPath());
  EXPECT_LT(log.find(kTitle), log.find(kCapabilityReport)) << "the title is no format: its percent sign stays";
  const std::size_t banner = log.find(kBanner);
  const std::size_t start = log.find(kApplicationStart);
  ASSERT_NE(banner, std::string::npos);
  ASSERT_NE(start, std::string::npos);
  EXPECT_LT(banner, start);
  EXPECT_LT(log.find(kCapabilityReport), banner) << "Vela3D is initialised before the core starts";
  EXPECT_EQ(log.find(kBanner, banner + 1), std::string::npos);
  EXPECT_TRUE(log.ends_with(kFooter)) << log.substr(log.size() > 200 ? log.size() - 200 : 0);
  EXPECT_EQ(log.find(kFooter), log.size() - kFooter.size()) << "one footer";
}

TEST(HtmlLogFile, WithoutTheSettingsFileNoLogIsWritten) {
  MessageBoxCapture boxes;
  const std::wstring path = vela::test::ExecutableFolder() + L"vela_frame_log.html";
  DeleteFileW(path.c_str());
  AppFrame frame(u"Vela log test");
  ASSERT_TRUE(frame.Init(0, 320, 240));
  frame.Finish();
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A host with a console of its own (as this test executable is) gets the echo on its output.
TEST(HtmlLogFile, ConsoleEchoGoesToTheHostsOwnConsoleOutput) {
  MessageBoxCapture boxes;
  LogSettingsFile settings(L"vela_console_log.html", L"Vela console", true);
  AllocConsole();  // fails when the process has its console already, as it should
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 20));
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, writeEnd);
  {
    AppFrame frame(u"Vela console test");
    EXPECT_TRUE(frame.Init(0, 320, 240));
    frame.Finish();
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
}

}  // namespace
