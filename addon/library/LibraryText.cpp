#include "library/LibraryText.h"

#include "library/LibraryFiles.h"
#include "zhost/settings/codepage.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

bool IsDigitChar(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

bool IsLibrarySpace(wchar_t c) {
    switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

void TrimRight(std::wstring& text) {
    size_t end = text.size();
    while (end > 0 && IsLibrarySpace(text[end - 1]))
        --end;
    text.resize(end);
}

void TrimLeft(std::wstring& text) {
    size_t start = 0;
    while (start < text.size() && IsLibrarySpace(text[start]))
        ++start;
    text.erase(0, start);
}

void Trim(std::wstring& text) {
    TrimRight(text);
    TrimLeft(text);
}

std::wstring DecodeLibraryText(const std::string& bytes) {
    namespace zs = zhost::settings;
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = zs::decode(std::string_view(bytes).substr(2), zs::kCodePageUtf16Le);
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = zs::decode(std::string_view(bytes).substr(3), zs::kCodePageUtf8);
    } else {
        text = zs::decode(bytes, zs::systemCodePage());
    }
    // Text-mode reading turns each "\r\n" into "\n" (in place: the text can be megabytes).
    size_t write = 0;
    const size_t n = text.size();
    for (size_t read = 0; read < n; ++read) {
        if (text[read] == L'\r' && read + 1 < n && text[read + 1] == L'\n')
            continue;
        text[write++] = text[read];
    }
    text.resize(write);
    return text;
}

int SplitIntoLines(const std::wstring& text, std::vector<std::wstring>& lines, bool bTrim,
                   size_t pieceChars) {
    lines.clear();
    if (pieceChars == 0)
        pieceChars = 1;
    size_t pos = 0;
    while (pos < text.size()) {
        // A piece ends after its line feed or after pieceChars characters, whichever comes first.
        size_t end = text.find(L'\n', pos);
        end = end == std::wstring::npos ? text.size() : end + 1;
        if (end - pos > pieceChars)
            end = pos + pieceChars;
        std::wstring piece = text.substr(pos, end - pos);
        pos = end;
        if (bTrim)
            Trim(piece);
        if (!piece.empty())
            lines.push_back(std::move(piece));
    }
    return static_cast<int>(lines.size());
}

int ReadLines(const std::wstring& path, std::vector<std::wstring>& lines, bool bTrim) {
    lines.clear();
    std::string bytes;
    if (!ReadLibraryFileBytes(path, bytes))
        return -1;
    return SplitIntoLines(DecodeLibraryText(bytes), lines, bTrim);
}

int Split(const std::wstring& text, std::vector<std::wstring>& fields,
          const std::wstring& delimiter) {
    // The strings of the vector are reused: readers split thousands of lines into the same one.
    size_t count = 0;
    auto add = [&](size_t from, size_t length) {
        if (count < fields.size())
            fields[count].assign(text, from, length);
        else
            fields.emplace_back(text, from, length);
        ++count;
    };
    if (delimiter.empty()) {
        add(0, text.size());
    } else {
        // As if the text were closed with one delimiter unless it ends with one already: "a" and
        // "a" + delimiter are the same single field, the empty text is one empty field.
        const bool closed =
            text.size() >= delimiter.size() &&
            text.compare(text.size() - delimiter.size(), delimiter.size(), delimiter) == 0;
        const size_t end = closed ? text.size() - delimiter.size() : text.size();
        size_t start = 0;
        for (;;) {
            const size_t at = text.find(delimiter, start);
            if (at == std::wstring::npos || at >= end) {
                add(start, end - start);
                break;
            }
            add(start, at - start);
            start = at + delimiter.size();
        }
    }
    fields.resize(count);
    return static_cast<int>(count);
}

int Split(const wchar_t* text, std::vector<std::wstring>& fields, const wchar_t* delimiter) {
    return Split(std::wstring(text ? text : L""), fields,
                 std::wstring(delimiter ? delimiter : L""));
}

std::vector<std::wstring> SplitTrimmed(const std::wstring& text, const wchar_t* delimiter) {
    std::vector<std::wstring> fields;
    Split(text, fields, delimiter);
    for (std::wstring& f : fields)
        Trim(f);
    return fields;
}

bool ParseLeadingNumber(const std::wstring& text, double& value, size_t* used) {
    size_t i = 0;
    while (i < text.size() && IsLibrarySpace(text[i]) && text[i] < 0x80)
        ++i;
    std::string ascii;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    size_t digits = 0;
    while (i < text.size() && IsDigitChar(text[i]))
        ascii += static_cast<char>(text[i++]), ++digits;
    if (i < text.size() && text[i] == L'.') {
        ascii += '.';
        ++i;
        while (i < text.size() && IsDigitChar(text[i]))
            ascii += static_cast<char>(text[i++]), ++digits;
    }
    if (digits == 0)
        return false;
    // An exponent counts only when digits follow it ("2e" is 2).
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t k = i + 1;
        std::string exponent = "e";
        if (k < text.size() && (text[k] == L'+' || text[k] == L'-'))
            exponent += static_cast<char>(text[k++]);
        if (k < text.size() && IsDigitChar(text[k])) {
            while (k < text.size() && IsDigitChar(text[k]))
                exponent += static_cast<char>(text[k++]);
            ascii += exponent;
            i = k;
        }
    }
    // Converted in the C locale whatever the process locale says (a decimal comma elsewhere must
    // not change the library's numbers). An overflow answers infinity, which is refused; an
    // underflow answers 0 or a tiny value, as the platform's conversion does.
    const double v = strtod_l(ascii.c_str(), nullptr, CLocale());
    if (!std::isfinite(v))
        return false;
    value = negative ? -v : v;
    if (used != nullptr)
        *used = i;
    return true;
}

double ToNumber(const std::wstring& text) {
    double v = 0;
    return ParseLeadingNumber(text, v) ? v : 0.0;
}
