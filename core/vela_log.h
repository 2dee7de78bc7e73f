// Opening, closing and configuring the HTML log whose write operations vela_debug.h declares.
//
// The plug-in names no log file itself. The boot reads the settings from velaplugin.ini beside
// the host executable (see README.md); without that file, or without a file name in it, the log
// stays off and every write returns at once.
#pragma once

#include <windows.h>

namespace vela {

struct LogSettings {
  char file[MAX_PATH] = {};  // system code page; empty: no log. Relative to the executable's folder
  char title[MAX_PATH] = {};
  bool console = false;  // echo every entry to a console window of its own
};

// The [log] section of the settings file at `path` (an absent file gives the defaults):
//   [log]
//   file=vela_log.html
//   title=My game
//   console=1
LogSettings ReadLogSettings(const char* path);
// The settings file's path: velaplugin.ini in `folder`.
void SettingsPathIn(const char* folder, char (&path)[MAX_PATH]);

void ConfigureLog(const LogSettings& settings);
// Opens the configured file in the executable's folder and writes the head; does nothing without
// a name, and leaves the log off without a word when the file cannot be created.
void OpenLog();
// Writes the footer and closes the file; does nothing while the log is off.
void CloseLog();
bool LogIsOpen();

}  // namespace vela
