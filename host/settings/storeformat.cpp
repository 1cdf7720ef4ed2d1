#include "storeformat.h"

#include "zhost/core/utf.h"
#include "zhost/settings/textfile.h"

#include "textutil.h"

#include <cstdio>
#include <limits>
#include <optional>

namespace zhost::settings {
namespace {

enum class Token { section, key, value };

bool isControl(wchar_t c) {
    return c < 0x20 || c == 0x7F;
}

bool needsQuotes(std::wstring_view s, Token token) {
    if (s.empty())
        return token != Token::value;
    if (isBlank(s.front()) || isBlank(s.back()) || s.front() == L'"')
        return true;
    if (token == Token::key && (s.front() == L';' || s.front() == L'['))
        return true;
    for (wchar_t c : s) {
        if (isControl(c) || (token == Token::key && c == L'=') ||
            (token == Token::section && c == L']'))
            return true;
    }
    return false;
}

std::wstring quoted(std::wstring_view s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'"':
            out += L"\\\"";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            if (isControl(c)) {
                wchar_t buf[8];
                std::swprintf(buf, 8, L"\\u%04X", static_cast<unsigned>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + L"\"";
}

std::wstring token(std::wstring_view s, Token kind) {
    return needsQuotes(s, kind) ? quoted(s) : std::wstring(s);
}

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// A quoted token at the start of s; `rest` gets what follows the closing quote.
std::optional<std::wstring> unquote(std::wstring_view s, std::wstring_view& rest) {
    std::wstring out;
    for (size_t i = 1; i < s.size(); ++i) {
        const wchar_t c = s[i];
        if (c == L'"') {
            rest = s.substr(i + 1);
            return out;
        }
        if (c != L'\\' || i + 1 >= s.size()) {
            out += c;
            continue;
        }
        const wchar_t e = s[++i];
        switch (e) {
        case L'n':
            out += L'\n';
            break;
        case L'r':
            out += L'\r';
            break;
        case L't':
            out += L'\t';
            break;
        case L'u': {
            if (i + 4 >= s.size())
                return std::nullopt;
            int v = 0;
            for (int k = 1; k <= 4; ++k) {
                const int d = hexValue(s[i + k]);
                if (d < 0)
                    return std::nullopt;
                v = v * 16 + d;
            }
            out += static_cast<wchar_t>(v);
            i += 4;
            break;
        }
        default:
            out += e;
            break;
        }
    }
    return std::nullopt;
}

// Splits "name<sep>rest" where the name may be quoted.
bool splitName(std::wstring_view line, wchar_t separator, std::wstring& name,
               std::wstring_view& rest) {
    if (!line.empty() && line.front() == L'"') {
        auto q = unquote(line, rest);
        if (!q)
            return false;
        rest = trimBlanks(rest);
        if (rest.empty() || rest.front() != separator)
            return false;
        name = std::move(*q);
        rest.remove_prefix(1);
        return true;
    }
    const size_t at = separator == L']' ? line.rfind(separator) : line.find(separator);
    if (at == std::wstring_view::npos)
        return false;
    name = trimBlanks(line.substr(0, at));
    rest = line.substr(at + 1);
    return true;
}

} // namespace

std::string formatStore(const IniFile& store, std::string_view headerComment) {
    std::wstring text;
    if (!headerComment.empty())
        text += L"; " + fromUtf8(headerComment) + L"\n";
    for (const IniSection& section : store.sections()) {
        text += L"\n[" + token(section.name(), Token::section) + L"]\n";
        for (const IniEntry& e : section.entries())
            text += token(e.key, Token::key) + L"=" + token(e.value, Token::value) + L"\n";
    }
    return toUtf8(text);
}

bool parseStore(std::string_view bytes, IniFile& out) {
    out = IniFile{};
    out.setValueCapacity(std::numeric_limits<size_t>::max());
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (bytes.find('\0') != std::string_view::npos || !isValidUtf8(bytes))
        return false;
    TextLineReader lines(fromUtf8(bytes));
    std::wstring raw, name;
    bool inSection = false;
    while (lines.readLine(raw)) {
        const std::wstring_view line = trimBlanks(raw);
        if (line.empty() || line.front() == L';')
            continue;
        std::wstring_view rest;
        if (line.front() == L'[') {
            inSection = splitName(line.substr(1), L']', name, rest) && !name.empty();
            if (inSection) {
                out.addSection(name);
                out.selectSection(name);
            }
            continue;
        }
        if (!inSection || !splitName(line, L'=', name, rest) || name.empty())
            continue;
        rest = trimBlanks(rest);
        std::wstring value(rest);
        if (!rest.empty() && rest.front() == L'"') {
            std::wstring_view after;
            auto q = unquote(rest, after);
            if (!q || !trimBlanks(after).empty())
                continue;
            value = std::move(*q);
        }
        std::wstring existing;
        if (!out.getString(name, existing)) // the first of duplicate keys wins
            out.setString(name, value);
    }
    return true;
}

} // namespace zhost::settings
