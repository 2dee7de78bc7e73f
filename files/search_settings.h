// The [files] section of the settings file (velaplugin.ini beside the host executable), which
// fills the file service's search table:
//
//   [files]
//   root=gfx\          put in front of every name, on disk and inside the archives
//   dir0=data\         slot 0's folder, searched first
//   pack0=data.pak     slot 0's PACK archive, searched after slot 0's folder
//   dir1=, pack1= ...  the same for slots 1 to 15, in that order
//
// A folder (root, dirN) that does not end in "\" or "/" gets a "\". Relative paths count from
// the executable's folder, as every lookup does. Applying the section starts from an empty table,
// so a key taken out of the file is gone at the next application.
#pragma once

namespace vela {

enum class SearchSettingFault {
  kNoFolder,      // dirN names no folder (the slot keeps it: it may appear later)
  kNoArchive,     // packN names no file that can be opened (kept likewise)
  kNotAnArchive,  // packN names a file that is no PACK archive (kept likewise)
  kTooLong,       // the value does not fit a path; the key is left empty
};

// Hears of a key whose value cannot serve, with the value as the file gives it (system code page).
using SearchSettingReport = void (*)(SearchSettingFault fault, const char* key, const char* value);

// Empties the search table and fills it from the [files] section of the settings file at
// `settingsPath` (a full path; a missing file leaves the table empty). Every fault goes to
// `report`; the other keys take effect regardless.
void ApplySearchSettings(const char* settingsPath, SearchSettingReport report);

}  // namespace vela
