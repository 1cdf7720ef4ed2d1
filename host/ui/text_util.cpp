// Small text helpers of the dialog framework.
#include "text_util.h"

#include <cwctype>

namespace zhost::ui::detail {
namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

} // namespace

int displayWidth(std::wstring_view text) {
    int w = 0;
    for (wchar_t c : text)
        w += isWide(char32_t(c)) ? 2 : 1;
    return w;
}

std::wstring padRight(std::wstring_view text, int width) {
    std::wstring s(text);
    for (int w = displayWidth(text); w < width; ++w)
        s += L' ';
    return s;
}

std::wstring clip(std::wstring_view text, int width) {
    if (displayWidth(text) <= width)
        return std::wstring(text);
    std::wstring s;
    int w = 0;
    for (wchar_t c : text) {
        const int cw = isWide(char32_t(c)) ? 2 : 1;
        if (w + cw > width - 1)
            break;
        s += c;
        w += cw;
    }
    return s + L"~";
}

std::wstring stripMnemonic(std::wstring_view text) {
    std::wstring s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                s += L'&';
                ++i;
            }
            continue;
        }
        s += text[i];
    }
    return s;
}

std::wstring visible(std::wstring_view text) {
    std::wstring s;
    for (wchar_t c : text) {
        if (c == L'\t')
            s += L"\\t";
        else if (c == L'\n')
            s += L"\\n";
        else if (c == L'\r')
            s += L"\\r";
        else
            s += c;
    }
    return s;
}

std::wstring_view trim(std::wstring_view t) {
    while (!t.empty() && std::iswspace(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && std::iswspace(t.back()))
        t.remove_suffix(1);
    return t;
}

std::vector<std::wstring> split(std::wstring_view text, wchar_t sep) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (true) {
        const size_t p = text.find(sep, start);
        out.emplace_back(text.substr(start, p == std::wstring_view::npos ? p : p - start));
        if (p == std::wstring_view::npos)
            break;
        start = p + 1;
    }
    return out;
}

} // namespace zhost::ui::detail
