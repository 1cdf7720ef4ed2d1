#pragma once
// Conversions between the host's internal wide strings and UTF-8, the encoding of the terminal,
// of scripts and of DXF R2007+. Code pages (932, 1252) live in zhost/settings/codepage.h.
#include <string>
#include <string_view>

namespace zhost {

// Invalid UTF-8 sequences become U+FFFD; never throws.
std::wstring fromUtf8(std::string_view utf8);
// Lone surrogates and values above U+10FFFF become U+FFFD; never throws.
std::string toUtf8(std::wstring_view text);

// Case folding for names that the host compares without case (ASCII and full-width Latin only,
// as the platform's name comparison does).
std::wstring toUpperName(std::wstring_view name);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);

} // namespace zhost
