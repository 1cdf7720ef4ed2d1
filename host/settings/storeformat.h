#pragma once
// The text format of the per-user stores (user settings and dialog data): UTF-8 ini text.
// Names and values are written as they are unless they would not read back the same, in which
// case they are quoted with C-style escapes (\\ \" \n \r \t \uXXXX). Internal to the module.
#include "zhost/settings/inifile.h"

#include <string>
#include <string_view>

namespace zhost::settings {

std::string formatStore(const IniFile& store, std::string_view headerComment);

// False when the bytes are not a store at all (NUL bytes or invalid UTF-8): such a file is not
// ours to overwrite. Lines that do not parse are skipped.
bool parseStore(std::string_view bytes, IniFile& out);

} // namespace zhost::settings
