#pragma once
// Small text helpers shared by the readers of this module (not part of the public API).
#include <string_view>

namespace zhost::settings {

// Blanks as the platform's profile reader sees them: space, tab, line breaks, form feed,
// vertical tab and ^Z (the old end-of-file mark found in files from floppies and CDs).
inline bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == L'\v' ||
           c == 0x1A;
}

inline std::wstring_view trimBlanks(std::wstring_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace zhost::settings
