// The [files] section read with the profile functions (which need a full path) into the file
// service's search table.
#include "files/search_settings.h"

#include <windows.h>

#include <cstdio>

#include "core/vela_core.h"
#include "files/file_name.h"
#include "files/vela_file.h"

namespace vela {
namespace {

constexpr char kSection[] = "files";

// One byte more than a path holds: a value that fills it was cut by the profile reader.
using Value = char[kMaxPath + 1];

// The value of `key` ("" when absent); false when it does not fit a path.
bool ReadValue(const char* settingsPath, const char* key, Value& value) {
  const DWORD length = GetPrivateProfileStringA(kSection, key, "", value, sizeof value, settingsPath);
  return length < kMaxPath;
}

bool FolderExists(const char* path) {
  RestoreWorkingDirectory();
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A folder key's value as a prefix; "" (and a report) when it does not fit.
void ReadFolder(const char* settingsPath, const char* key, char (&prefix)[kMaxPath], SearchSettingReport report) {
  Value value;
  const bool fits = ReadValue(settingsPath, key, value) && FolderPrefix(value, prefix);
  if (!fits) {
    prefix[0] = '\0';
    report(SearchSettingFault::kTooLong, key, value);
  }
}

void ApplySlot(const char* settingsPath, int slot, SearchSettingReport report) {
  char directoryKey[16], packKey[16];
  std::snprintf(directoryKey, sizeof directoryKey, "dir%d", slot);
  std::snprintf(packKey, sizeof packKey, "pack%d", slot);

  char directory[kMaxPath];
  ReadFolder(settingsPath, directoryKey, directory, report);
  if (directory[0] != '\0' && !FolderExists(directory)) report(SearchSettingFault::kNoFolder, directoryKey, directory);

  Value packFile;
  if (!ReadValue(settingsPath, packKey, packFile)) {
    report(SearchSettingFault::kTooLong, packKey, packFile);
    packFile[0] = '\0';
  }
  if (packFile[0] != '\0') {
    const PackFileKind kind = InspectPackFile(packFile);
    if (kind == PackFileKind::kMissing) report(SearchSettingFault::kNoArchive, packKey, packFile);
    if (kind == PackFileKind::kOtherFile) report(SearchSettingFault::kNotAnArchive, packKey, packFile);
  }
  SetSearchSlot(slot, directory, packFile);
}

}  // namespace

void ApplySearchSettings(const char* settingsPath, SearchSettingReport report) {
  if (!report) report = [](SearchSettingFault, const char*, const char*) {};
  for (int slot = 0; slot < kSearchSlotCount; ++slot) SetSearchSlot(slot, "", "");
  SetRootPrefix("");
  if (!settingsPath || settingsPath[0] == '\0') return;

  char root[kMaxPath];
  ReadFolder(settingsPath, "root", root, report);
  SetRootPrefix(root);
  for (int slot = 0; slot < kSearchSlotCount; ++slot) ApplySlot(settingsPath, slot, report);
}

}  // namespace vela
