#pragma once
// Files and folders named the way the add-on names them on its home platform: backslashes,
// formats like "%s\\PartsContents\\Symbols\\" and names whose case differs from the files on
// disk (libraries copied from Windows have mixed case). Wildcard matching is not here.
#include "zhost/core/status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zhost::settings {

// Backslashes become '/'; nothing else changes.
std::wstring toPosixSeparators(std::wstring_view path);

// A path as the file system spells it: UTF-8 bytes of the wide text, separators mapped.
std::filesystem::path toFsPath(std::wstring_view path);
// The wide text of a file-system path (invalid UTF-8 bytes become U+FFFD).
std::wstring toWide(const std::filesystem::path& path);

// The existing file or folder the path names. The exact spelling wins; when a component is
// missing it is looked up among the entries of its folder without case (ASCII and full-width
// Latin letters), component by component; of several such entries the one first in byte order
// is taken, so the answer does not depend on the order of the folder listing. A trailing
// separator asks for a folder. "." and ".." are followed as written. nullopt when nothing fits.
std::optional<std::filesystem::path> resolvePath(std::wstring_view windowsOrPosixPath);

bool fileExists(std::wstring_view path);   // an existing regular file (after look-up)
bool folderExists(std::wstring_view path); // an existing folder (after look-up)

// $TMPDIR when it names a folder, else /tmp.
std::filesystem::path temporaryFolder();

// Opening a text file "in Notepad". In a headless run (the default) only the path is printed
// (through the print hook, on a line of its own). Otherwise the user's editor is started with
// the file as its last argument: $VISUAL, else $EDITOR (split at blanks into program and
// arguments; no shell is involved), else xdg-open; the call waits for it to return.
// fileNotFound when the file does not exist, fileError when the editor could not be started
// or failed.
Status openTextFileInEditor(const std::filesystem::path& file);
void setHeadless(bool headless);
bool isHeadless();

} // namespace zhost::settings
