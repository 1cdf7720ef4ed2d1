#pragma once
// The host's wildcard match, as the platform's drafting programs know it from their selection
// filters and name look-ups.
//
//   #      one decimal digit            @      one letter
//   .      one character that is neither a letter nor a digit
//   *      any sequence, also empty     ?      any one character
//   [...]  one of the characters listed; "a-z" is a range, "[~...]" negates the set
//   `      makes the next character literal ("`*SUPPRESS" matches the text "*SUPPRESS")
//   ,      separates alternative patterns; the text matches when any alternative matches
//   ~      at the start of an alternative: that alternative matches what its rest does not
//
// A "[" without its closing "]" stands for itself. Letters and digits are judged as the platform
// does for wide text: besides ASCII, full-width digits count as digits, and Latin, Greek,
// Cyrillic, kana, CJK ideographs and Hangul count as letters.
#include <string_view>

namespace zhost {

bool wcMatch(std::wstring_view text, std::wstring_view pattern, bool ignoreCase = true);

} // namespace zhost
