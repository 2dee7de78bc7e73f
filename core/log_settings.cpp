// The log's settings file, read with the profile functions (which need a full path).
#include <cstring>

#include "core/vela_log.h"

namespace vela {

void SettingsPathIn(const char* folder, char (&path)[MAX_PATH]) {
  path[0] = '\0';
  const std::size_t length = std::strlen(folder);
  constexpr char kName[] = "\\velaplugin.ini";
  if (length + sizeof kName > MAX_PATH) return;
  std::memcpy(path, folder, length);
  std::memcpy(path + length, kName, sizeof kName);
}

LogSettings ReadLogSettings(const char* path) {
  LogSettings settings;
  if (!path || !*path) return settings;
  GetPrivateProfileStringA("log", "file", "", settings.file, sizeof settings.file, path);
  GetPrivateProfileStringA("log", "title", "", settings.title, sizeof settings.title, path);
  settings.console = GetPrivateProfileIntA("log", "console", 0, path) != 0;
  return settings;
}

}  // namespace vela
