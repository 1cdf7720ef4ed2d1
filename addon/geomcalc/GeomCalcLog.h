#pragma once
// The log file of the result dialog: the report rows as tab-separated lines in
// "<drawing>_ZORMA_GEOMCALC.log" beside the drawing (or in the temporary folder for a drawing
// never saved), rewritten from scratch each time and then opened in the user's text editor.
#include "geomcalc/GeomCalcTypes.h"

#include <string>
#include <vector>

// The text of the log: one line per row, each starting with "\n", with the item's own changes
// (" = " and blanks become tabs, units get a tab before them, "Ip = Ix + Iy" loses its blanks).
std::wstring BuildLogText(const std::vector<ReportRow>& rows);

// The drawing path the log is named after, without its extension: the drawing's file when
// DWGPREFIX + DWGNAME names an existing file, else the temporary folder + DWGNAME; empty when
// DWGNAME is empty. `tempFolder` is the system's temporary folder.
std::wstring LogBasePath(const std::wstring& dwgName, const std::wstring& dwgPrefix,
                         const std::wstring& tempFolder);

// "%s_ZORMA_GEOMCALC.log" of the base path.
std::wstring LogFilePath(const std::wstring& basePath);

// Writes the log for the current drawing and opens it. The file is UTF-8 with a byte-order
// mark. An existing file of that name (or a symbolic link planted under it) is removed first
// and the new content is written to a fresh temporary file that is renamed over the name, so
// no link is ever followed. Prints "\nログファイルが作成できませんでした。" and returns false
// when there is no drawing name or the file cannot be written.
bool WriteGeomCalcLog(const std::vector<ReportRow>& rows, std::wstring* writtenPath = nullptr);
