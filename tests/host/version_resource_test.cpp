// velaplugin.dll's version resource as Windows reads it (GetFileVersionInfoW, VerQueryValueW):
// the numbers and the texts carry the version this build was made with.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/version.h"
#include "host/plugin_module.h"

namespace {

class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin_.Loaded()) << "velaplugin.dll did not load";
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(plugin_.Handle(), path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    info_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info_.data()));
  }

  // The value at `block`, or null when there is none.
  const void* Query(const std::wstring& block) {
    void* value = nullptr;
    UINT length = 0;
    return VerQueryValueW(info_.data(), block.c_str(), &value, &length) && length > 0 ? value : nullptr;
  }

  // A text of the first language the resource lists.
  std::wstring Text(const wchar_t* name) {
    const auto* translation = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation"));
    if (!translation) return L"(no translation)";
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    const auto* text = static_cast<const wchar_t*>(Query(block));
    return text ? text : L"(none)";
  }

 private:
  vela::host::PluginModule plugin_;
  std::vector<std::uint8_t> info_;
};

TEST_F(VersionResource, CarriesTheBuildsVersion) {
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\"));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD high = MAKELONG(vela::kPluginVersionMinor, vela::kPluginVersionMajor);
  const DWORD low = MAKELONG(0, vela::kPluginVersionPatch);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

  const std::string narrow = vela::kPluginVersion;
  const std::wstring version(narrow.begin(), narrow.end());
  EXPECT_EQ(Text(L"FileVersion"), version);
  EXPECT_EQ(Text(L"ProductVersion"), version);
  EXPECT_EQ(Text(L"ProductName"), L"Vela plug-in");
  EXPECT_EQ(Text(L"OriginalFilename"), L"velaplugin.dll");
  EXPECT_NE(Text(L"FileDescription"), L"(none)");
}

}  // namespace
