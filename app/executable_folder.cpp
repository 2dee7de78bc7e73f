#include "app/executable_folder.h"

namespace vela {
namespace {

constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";

// Whole and without loss, or not at all.
bool ToSystemCodePage(const std::wstring& path, char (&out)[MAX_PATH]) {
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, out, MAX_PATH, nullptr, &lossy);
  if (bytes > 0 && !lossy) return true;
  out[0] = '\0';
  return false;
}

// The short name of an existing folder. The long-path prefix lets the call see paths beyond
// MAX_PATH; it is taken off the answer again.
std::wstring ShortName(const std::wstring& folder) {
  const bool local = folder.size() >= 2 && folder[1] == L':';
  const std::wstring asked = local ? kLongPathPrefix + folder : folder;
  const DWORD units = GetShortPathNameW(asked.c_str(), nullptr, 0);
  if (units == 0) return {};
  std::wstring shortName(units, L'\0');
  const DWORD written = GetShortPathNameW(asked.c_str(), shortName.data(), units);
  if (written == 0 || written >= units) return {};
  shortName.resize(written);
  if (local && shortName.rfind(kLongPathPrefix, 0) == 0) shortName.erase(0, std::size(kLongPathPrefix) - 1);
  return shortName;
}

}  // namespace

std::wstring ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: ask again with room to spare
  }
}

bool SystemFolderOf(const std::wstring& filePath, char (&folder)[MAX_PATH]) {
  folder[0] = '\0';
  const std::size_t slash = filePath.find_last_of(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring path = filePath.substr(0, slash);
  return ToSystemCodePage(path, folder) || ToSystemCodePage(ShortName(path), folder);
}

}  // namespace vela
