// The host executable's folder as the library keeps it: within MAX_PATH in the system code page,
// by its short name where the path is longer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/executable_folder.h"

namespace {

using vela::SystemFolderOf;

// Folders nested in the temporary folder beyond MAX_PATH, made and removed by the long-path prefix.
struct DeepFolder {
  DeepFolder() {
    wchar_t temp[MAX_PATH];
    std::wstring path(temp, GetTempPathW(MAX_PATH, temp));
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    while (path.size() <= MAX_PATH + 40) {
      path += L"\\a folder with a name far longer than eight letters " + std::to_wstring(levels.size());
      CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
      levels.push_back(path);
    }
  }
  ~DeepFolder() {
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) RemoveDirectoryW((L"\\\\?\\" + *level).c_str());
  }
  const std::wstring& Path() const { return levels.back(); }
  std::vector<std::wstring> levels;
};

TEST(ExecutableFolder, IsKeptWhenItFitsAndReachedThroughItsShortNameBeyondMaxPath) {
  DeepFolder deep;
  const std::wstring settings = L"\\\\?\\" + deep.Path() + L"\\velaplugin.ini";
  const HANDLE file = CreateFileW(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  char folder[MAX_PATH];
  ASSERT_TRUE(SystemFolderOf(L"C:\\games\\space\\host.exe", folder));
  EXPECT_STREQ(folder, "C:\\games\\space") << "a path that fits is kept as it is";
  EXPECT_FALSE(SystemFolderOf(L"host.exe", folder));
  ASSERT_TRUE(SystemFolderOf(deep.Path() + L"\\host.exe", folder));
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder)) << folder;
  std::FILE* found = std::fopen("velaplugin.ini", "rb");
  EXPECT_NE(found, nullptr) << "a file beside the executable opens by its plain name";
  if (found) std::fclose(found);
  SetCurrentDirectoryA(previous);
  DeleteFileW(settings.c_str());
}

}  // namespace
