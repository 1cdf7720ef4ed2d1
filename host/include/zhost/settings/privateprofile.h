#pragma once
// The platform's private-profile reading functions over IniFile, for the add-on's dialog
// descriptions and anything else that names an ini file by path. The file path may use
// backslashes and any case (see resolvePath). Parsed files are cached and re-read when their
// size or modification time changes, so a change on disk is seen at the next call.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::settings {

// The value, else the default (trailing blanks removed, as the platform does), cut to
// capacity - 1 characters. A value enclosed in a pair of matching quotes ('"' or '\'') loses
// them. Returns the number of characters in `out`.
size_t getPrivateProfileString(std::wstring_view section, std::wstring_view key,
                               std::wstring_view defaultValue, std::wstring& out, size_t capacity,
                               std::wstring_view file);

// The default when the file, the section or the key is missing or the value is empty;
// otherwise the value read as the platform reads it: an optional sign and the leading digits,
// 0 when there are none.
int getPrivateProfileInt(std::wstring_view section, std::wstring_view key, int defaultValue,
                         std::wstring_view file);

// The section's "key=value" lines in file order, as many as fit the capacity the platform's
// buffer would have (each line and its terminator, plus the final terminator).
std::vector<std::wstring> getPrivateProfileSection(std::wstring_view section, size_t capacity,
                                                   std::wstring_view file);
// The names of the sections in file order, as many as fit the capacity.
std::vector<std::wstring> getPrivateProfileSectionNames(size_t capacity, std::wstring_view file);
// The key names of a section in file order, as many as fit the capacity.
std::vector<std::wstring> getPrivateProfileKeyNames(std::wstring_view section, size_t capacity,
                                                    std::wstring_view file);

} // namespace zhost::settings
