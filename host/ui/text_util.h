#pragma once
// Small text helpers of the dialog framework.
#include <string>
#include <string_view>
#include <vector>

namespace zhost::ui::detail {

// Columns a text takes on a terminal: East Asian wide and full-width characters count two.
int displayWidth(std::wstring_view text);
// Pads with blanks to `width` columns (no cutting).
std::wstring padRight(std::wstring_view text, int width);
// Cuts to at most `width` columns, marking a cut with "~".
std::wstring clip(std::wstring_view text, int width);
// The text without the mnemonic marks ("&&" stays one "&").
std::wstring stripMnemonic(std::wstring_view text);
// Control characters shown as escapes (\t, \n, \r), so one cell stays on one line.
std::wstring visible(std::wstring_view text);
std::wstring_view trim(std::wstring_view text);
std::vector<std::wstring> split(std::wstring_view text, wchar_t sep);

} // namespace zhost::ui::detail
