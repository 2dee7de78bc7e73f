// The host executable's folder as the library uses it: a path in the system code page that fits
// in MAX_PATH, since the working directory, the settings file and every relative file name go
// through the code-page file functions. A folder whose path is longer, or holds characters the
// code page lacks, is taken by its short (8.3) name, which those functions accept alike.
#pragma once

#include <windows.h>

#include <string>

namespace vela {

// The module's full path, however long it is; empty when it cannot be read.
std::wstring ModuleFileName(HMODULE module);
// The folder of `filePath` (cut at its last backslash) into `folder`; false, with `folder`
// empty, when neither its path nor its short name fits.
bool SystemFolderOf(const std::wstring& filePath, char (&folder)[MAX_PATH]);

}  // namespace vela
