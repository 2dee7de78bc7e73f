// The [files] section of velaplugin.ini: pictures found in the archive and folder it names, a key
// taken out gone at the next Init, and the log of a missing folder or archive.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/app_frame_support.h"
#include "tools/archive/archive_tool.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;
namespace fs = std::filesystem;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kBackground = 0x203040;
constexpr int kTolerance = 8;

// A folder beside the executable holding one picture (the quadrant picture with `corner` in its
// lower right) at `relative`, removed with everything in it at the end.
class PictureFolder {
 public:
  PictureFolder(const std::wstring& name, const fs::path& relative, std::uint32_t corner)
      : path_(ExecutableFolder() + name) {
    fs::remove_all(path_, ignored_);
    fs::create_directories((path_ / relative).parent_path());
    EXPECT_TRUE(WriteWholeFile((path_ / relative).wstring(), AsChars(QuadrantPng(100, 50, corner))));
  }
  ~PictureFolder() { fs::remove_all(path_, ignored_); }
  PictureFolder(const PictureFolder&) = delete;
  PictureFolder& operator=(const PictureFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
  std::error_code ignored_;
};

// The folder pictures\vela_from_folder.png (black corner) stands in, the archive
// vela_settings.pak holds pictures\vela_from_pack.png (white corner) as `vela-archive pack
// --lzss` makes it.
PictureFolder MakeFolder() { return {L"vela_settings_folder", L"pictures\\vela_from_folder.png", kBlack}; }

class FileSettingsWindow : public PluginWindowTest {
 protected:
  FileSettingsWindow() : PluginWindowTest(u"Vela file settings test") {}

  void Draw(std::uint32_t handle, float x, float y) {
    host.ClearStack();
    host.PushWord(handle).PushRect(x, y, 100, 50).PushRect(0, 0, 100, 50);
    EXPECT_EQ(Call("TextureDraw"), 36);
  }
};

// The quadrant picture drawn at (x, y) at its own size, with `corner` in its lower right.
void ExpectQuadrants(const CapturedImage& image, int x, int y, std::uint32_t corner) {
  EXPECT_PIXEL(image, x + 25, y + 12, kRed, kTolerance);
  EXPECT_PIXEL(image, x + 75, y + 12, kGreen, kTolerance);
  EXPECT_PIXEL(image, x + 25, y + 37, kBlue, kTolerance);
  EXPECT_PIXEL(image, x + 75, y + 37, corner, kTolerance);
}

TEST_F(FileSettingsWindow, PicturesComeFromTheArchiveAndFolderTheSettingsNameUntilAKeyGoes) {
  {
    const PictureFolder source(L"vela_settings_pack_source", L"pictures\\vela_from_pack.png", kWhite);
    std::ostringstream out, err;
    const std::string archive = (fs::path(ExecutableFolder()) / "vela_settings.pak").string();
    EXPECT_EQ(vela::archive_tool::Run({"pack", "--lzss", source.Path().string(), archive}, out, err), 0) << err.str();
  }
  const PictureFolder folder = MakeFolder();
  SettingsFile settings;
  settings.Set(L"files", L"root", L"pictures\\");
  settings.Set(L"files", L"pack0", L"vela_settings.pak");
  settings.Set(L"files", L"dir1", L"vela_settings_folder\\");
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));

  const std::uint32_t fromPack = Load(u"vela_from_pack.png");
  const std::uint32_t fromFolder = Load(u"vela_from_folder.png");
  ASSERT_NE(fromPack, 0u) << "pictures\\vela_from_pack.png in slot 0's archive";
  ASSERT_NE(fromFolder, 0u) << "pictures\\vela_from_folder.png in slot 1's folder";
  const CapturedImage drawn = PluginWindowTest::Show(kBackground, [&] {
    Draw(fromPack, 10, 20);
    Draw(fromFolder, 150, 120);
  });
  ASSERT_FALSE(drawn.Empty());
  ExpectQuadrants(drawn, 10, 20, kWhite);
  ExpectQuadrants(drawn, 150, 120, kBlack);
  EXPECT_EQ(drawn.At(5, 5), kBackground);
  frame.Finish();

  settings.Set(L"files", L"pack0", nullptr);
  AppFrame again(u"Vela file settings test again");
  ASSERT_TRUE(again.Init(0, kWidth, kHeight));
  EXPECT_EQ(Load(u"vela_from_pack.png"), 0u) << "the next Init starts from empty slots";
  EXPECT_NE(Load(u"vela_from_folder.png"), 0u);
  again.Finish();
  DeleteFileW((ExecutableFolder() + L"vela_settings.pak").c_str());
}

TEST_F(FileSettingsWindow, AMissingFolderOrArchiveIsLoggedAndTheOtherKeysServe) {
  const PictureFolder folder = MakeFolder();
  const FileBesideExecutable notAnArchive(u"vela_settings_junk.pak", std::string(64, 'Z'));
  LogSettingsFile settings(L"vela_file_settings_log.html", L"Vela file settings log");
  settings.Set(L"files", L"root", L"pictures");
  settings.Set(L"files", L"dir0", L"vela_no_such_folder\\");
  settings.Set(L"files", L"pack1", L"vela_no_such_archive.pak");
  settings.Set(L"files", L"pack2", L"vela_settings_junk.pak");
  settings.Set(L"files", L"dir3", L"vela_settings_folder");
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  EXPECT_NE(Load(u"vela_from_folder.png"), 0u) << "slot 3's folder, with the separators added";
  frame.Finish();

  const std::string log = ReadWholeFile(settings.LogPath());
  for (const char* line : {"エラー : [files] dir0 : フォルダがありません [ vela_no_such_folder\\ ]",
                           "エラー : [files] pack1 : アーカイブがありません [ vela_no_such_archive.pak ]",
                           "エラー : [files] pack2 : PACKアーカイブではありません [ vela_settings_junk.pak ]"}) {
    const std::string entry = AsLogBytes(std::string("<B><FONT color=\"RED\">") + line + "</FONT></B><BR>\n");
    EXPECT_NE(log.find(entry), std::string::npos) << line << " in\n" << FromLogBytes(log);
  }
  int faults = 0;
  for (std::size_t at = log.find("[files]"); at != std::string::npos; at = log.find("[files]", at + 1)) ++faults;
  EXPECT_EQ(faults, 3) << "one line each, nothing about root or dir3";
}

}  // namespace
