#pragma once
// Code pages of the add-on's home platform. Text files of the parts library, ini files and
// older DXF drawings are in the system's ANSI code page (932, Japanese, by default) unless a
// byte-order mark says otherwise; inside the host every string is wide.
#include <string>
#include <string_view>

namespace zhost::settings {

constexpr int kCodePageUtf8 = 65001;
constexpr int kCodePageUtf16Le = 1200;
constexpr int kCodePageUtf16Be = 1201;
constexpr int kCodePage932 = 932;
constexpr int kCodePage1252 = 1252;

// The host's ANSI code page: what a file without a byte-order mark is read in. 932 by default.
int systemCodePage();
// Changes the ANSI code page for the whole process (e.g. a host configured for code page 1252).
void setSystemCodePage(int codePage);

// True when decode/encode know the code page (65001, 1200, 1201, 932, 936, 949, 950, 874,
// 1250-1258, 20127, 28591). Unknown code pages decode ASCII and turn every other byte into
// U+FFFD, and encode every non-ASCII character as '?'.
bool isKnownCodePage(int codePage);

// Invalid or unmappable bytes become U+FFFD (never throws, never stops early). An incomplete
// multi-byte sequence at the end gives one U+FFFD.
std::wstring decode(std::string_view bytes, int codePage);

// Unmappable characters become '?' and set *lossless=false when given (it is set to true when
// everything was mapped). Never throws.
std::string encode(std::wstring_view text, int codePage, bool* lossless = nullptr);

} // namespace zhost::settings
