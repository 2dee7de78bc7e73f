// velaplugin.dll's version resource as Windows reads it (GetFileVersionInfoW, VerQueryValueW):
// the numbers and the texts carry the version this build was made with.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/version.h"
#include "host/plugin_module.h"

namespace {

TEST(VersionResource, CarriesTheBuildsVersion) {
  vela::host::PluginModule plugin;
  ASSERT_TRUE(plugin.Loaded()) << "velaplugin.dll did not load";
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(plugin.Handle(), path, MAX_PATH), 0u);
  DWORD ignored = 0;
  std::vector<std::uint8_t> info(GetFileVersionInfoSizeW(path, &ignored));
  ASSERT_FALSE(info.empty()) << "no version resource";
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(info.size()), info.data()));
  // The value at `block`, or null when there is none.
  const auto query = [&](const std::wstring& block) -> const void* {
    void* value = nullptr;
    UINT length = 0;
    return VerQueryValueW(info.data(), block.c_str(), &value, &length) && length > 0 ? value : nullptr;
  };

  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
  ASSERT_NE(fixed, nullptr);
  const DWORD high = MAKELONG(vela::kPluginVersionMinor, vela::kPluginVersionMajor);
  const DWORD low = MAKELONG(0, vela::kPluginVersionPatch);
  EXPECT_EQ(std::pair(fixed->dwFileVersionMS, fixed->dwFileVersionLS), std::pair(high, low));
  EXPECT_EQ(std::pair(fixed->dwProductVersionMS, fixed->dwProductVersionLS), std::pair(high, low));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

  // The texts of the first language the resource lists.
  const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
  ASSERT_NE(translation, nullptr);
  const auto text = [&](const wchar_t* name) {
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    const auto* value = static_cast<const wchar_t*>(query(block));
    return std::wstring(value ? value : L"(none)");
  };
  const std::string narrow = vela::kPluginVersion;
  const std::wstring version(narrow.begin(), narrow.end());
  EXPECT_EQ(text(L"FileVersion"), version);
  EXPECT_EQ(text(L"ProductVersion"), version);
  EXPECT_EQ(text(L"ProductName"), L"Vela plug-in");
  EXPECT_EQ(text(L"OriginalFilename"), L"velaplugin.dll");
}

}  // namespace
