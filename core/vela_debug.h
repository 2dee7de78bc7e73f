// VelaDebug: the library's HTML log (and its optional console echo).
//
// Every service reports through these operations. Formats are printf-style. Every text the
// library logs is UTF-8, formats and %s arguments alike (file names from the host are converted
// from the system code page before they are logged); the log file is written in Shift-JIS, as
// its head declares. A logged entry is one or more writes followed by LogBreak(). While no log
// is open (the default: the plug-in configures none) every operation returns at once.
#pragma once

namespace vela {


void LogHeadRow(const char* format, ...);  // a full-width black table row, white bold text
void LogBlue(const char* format, ...);     // section titles and operation names
void LogRed(const char* format, ...);      // errors and "Failed!"
void LogGreen(const char* format, ...);    // "Success!", "Complete"
void LogBold(const char* format, ...);     // steps within a start-up
void LogPlain(const char* format, ...);    // details
void LogBreak();                           // ends an entry

}  // namespace vela
