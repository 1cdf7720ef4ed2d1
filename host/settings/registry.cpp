#include "zhost/settings/registry.h"

#include "zhost/core/utf.h"
#include "zhost/settings/codepage.h"
#include "zhost/settings/textfile.h"

#include "textutil.h"

#include <optional>

namespace zhost::settings {
namespace {

constexpr std::wstring_view kMachineRoot = L"HKEY_LOCAL_MACHINE";

bool startsWithNoCase(std::wstring_view s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

// The folded, canonical form of a key path: root key spelled out, no surrounding backslashes.
std::wstring canonicalKey(std::wstring_view path) {
    path = trimBlanks(path);
    while (!path.empty() && path.front() == L'\\')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == L'\\')
        path.remove_suffix(1);
    std::wstring full;
    if (startsWithNoCase(path, L"HKLM") && (path.size() == 4 || path[4] == L'\\'))
        full = std::wstring(kMachineRoot) + std::wstring(path.substr(4));
    else if (startsWithNoCase(path, L"HKEY_"))
        full = path;
    else
        full = std::wstring(kMachineRoot) + L"\\" + std::wstring(path);
    return toUpperName(full);
}

std::wstring canonicalValueName(std::wstring_view name) {
    return name == L"@" ? std::wstring() : toUpperName(name);
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// 1 to maxDigits hex digits, the whole text.
std::optional<uint64_t> parseHexNumber(std::wstring_view s, size_t maxDigits) {
    s = trimBlanks(s);
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    uint64_t v = 0;
    for (wchar_t c : s) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        v = v << 4 | static_cast<uint64_t>(d);
    }
    return v;
}

// "01,00,ff" (blanks allowed around the bytes, an empty list allowed).
std::optional<std::vector<uint8_t>> parseHexList(std::wstring_view s) {
    std::vector<uint8_t> bytes;
    s = trimBlanks(s);
    if (s.empty())
        return bytes;
    size_t start = 0;
    for (;;) {
        const size_t comma = s.find(L',', start);
        const auto b = parseHexNumber(s.substr(start, comma - start), 2);
        if (!b)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(*b));
        if (comma == std::wstring_view::npos)
            return bytes;
        start = comma + 1;
    }
}

// A quoted string at the start of s with \\ and \" escapes; `rest` gets what follows it.
std::optional<std::wstring> parseQuoted(std::wstring_view s, std::wstring_view& rest) {
    if (s.empty() || s.front() != L'"')
        return std::nullopt;
    std::wstring out;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == L'\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (s[i] == L'"') {
            rest = s.substr(i + 1);
            return out;
        } else {
            out += s[i];
        }
    }
    return std::nullopt; // no closing quote
}

void appendLe(std::vector<uint8_t>& data, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        data.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The data part of a value line (after '='). nullopt when malformed; a deletion is reported
// through `remove`.
std::optional<RegValue> parseData(std::wstring_view s, bool& remove) {
    s = trimBlanks(s);
    remove = s == L"-";
    if (remove)
        return std::nullopt;
    RegValue v;
    if (!s.empty() && s.front() == L'"') {
        std::wstring_view rest;
        auto text = parseQuoted(s, rest);
        if (!text || !trimBlanks(rest).empty())
            return std::nullopt;
        v.type = kRegSz;
        v.data.clear();
        const std::string utf16 = encode(*text, kCodePageUtf16Le);
        v.data.assign(utf16.begin(), utf16.end());
        v.data.push_back(0); // the stored terminator belongs to the data
        v.data.push_back(0);
        return v;
    }
    if (startsWithNoCase(s, L"dword:")) {
        const auto n = parseHexNumber(s.substr(6), 8);
        if (!n)
            return std::nullopt;
        v.type = kRegDword;
        appendLe(v.data, *n, 4);
        return v;
    }
    if (startsWithNoCase(s, L"qword:")) {
        const auto n = parseHexNumber(s.substr(6), 16);
        if (!n)
            return std::nullopt;
        v.type = kRegQword;
        appendLe(v.data, *n, 8);
        return v;
    }
    if (startsWithNoCase(s, L"hex:")) {
        v.type = kRegBinary;
        s.remove_prefix(4);
    } else if (startsWithNoCase(s, L"hex(")) {
        const size_t close = s.find(L')');
        if (close == std::wstring_view::npos || close + 1 >= s.size() || s[close + 1] != L':')
            return std::nullopt;
        const auto type = parseHexNumber(s.substr(4, close - 4), 8);
        if (!type)
            return std::nullopt;
        v.type = static_cast<uint32_t>(*type);
        s.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = parseHexList(s);
    if (!bytes)
        return std::nullopt;
    v.data = std::move(*bytes);
    return v;
}

// Joins hex lists continued with a trailing backslash into one logical line.
std::vector<std::wstring> logicalLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    TextLineReader reader{std::wstring(text)};
    std::wstring raw;
    bool continuing = false;
    while (reader.readLine(raw)) {
        std::wstring_view line = trimBlanks(raw);
        if (continuing) {
            lines.back() += line;
        } else {
            lines.emplace_back(line);
        }
        std::wstring& last = lines.back();
        const size_t eq = last.rfind(L'=');
        continuing = !last.empty() && last.back() == L'\\' && eq != std::wstring::npos &&
                     startsWithNoCase(trimBlanks(std::wstring_view(last).substr(eq + 1)), L"hex");
        if (continuing)
            last.pop_back();
    }
    return lines;
}

} // namespace

RegFile RegFile::parse(std::wstring_view text) {
    RegFile reg;
    std::map<std::wstring, RegValue>* current = nullptr;
    for (const std::wstring& line : logicalLines(text)) {
        if (line.empty() || line.front() == L';')
            continue;
        if (line == L"Windows Registry Editor Version 5.00" || line == L"REGEDIT4")
            continue;
        if (line.front() == L'[') {
            current = nullptr;
            const size_t close = line.rfind(L']');
            if (close == std::wstring::npos)
                continue;
            std::wstring_view name = std::wstring_view(line).substr(1, close - 1);
            if (!name.empty() && name.front() == L'-') {
                const std::wstring key = canonicalKey(name.substr(1));
                for (auto it = reg.keys_.begin(); it != reg.keys_.end();) {
                    const bool under =
                        it->first == key || (it->first.size() > key.size() &&
                                             it->first.compare(0, key.size(), key) == 0 &&
                                             it->first[key.size()] == L'\\');
                    it = under ? reg.keys_.erase(it) : std::next(it);
                }
                continue;
            }
            if (trimBlanks(name).empty())
                continue;
            current = &reg.keys_[canonicalKey(name)];
            continue;
        }
        if (current == nullptr)
            continue;
        std::wstring_view rest;
        std::wstring name;
        if (line.front() == L'@') {
            rest = std::wstring_view(line).substr(1);
        } else {
            auto quoted = parseQuoted(line, rest);
            if (!quoted)
                continue;
            name = std::move(*quoted);
        }
        rest = trimBlanks(rest);
        if (rest.empty() || rest.front() != L'=')
            continue;
        bool remove = false;
        auto value = parseData(rest.substr(1), remove);
        if (remove)
            current->erase(canonicalValueName(name));
        else if (value)
            (*current)[canonicalValueName(name)] = std::move(*value);
    }
    return reg;
}

Status RegFile::load(const std::filesystem::path& file) {
    DecodedText decoded;
    const Status s = readTextFile(file, decoded, NoMarkRule::utf8ThenCodePage);
    *this = ok(s) ? parse(decoded.text) : RegFile{};
    return s;
}

const RegValue* RegFile::find(std::wstring_view keyPath, std::wstring_view valueName) const {
    const auto key = keys_.find(canonicalKey(keyPath));
    if (key == keys_.end())
        return nullptr;
    const auto value = key->second.find(canonicalValueName(valueName));
    return value == key->second.end() ? nullptr : &value->second;
}

bool RegFile::hasKey(std::wstring_view keyPath) const {
    return keys_.count(canonicalKey(keyPath)) != 0;
}

bool readRegistryDword(std::wstring_view keyPath, std::wstring_view valueName, uint32_t& out,
                       size_t& byteCount) {
    out = 0;
    byteCount = 0;
    RegFile reg;
    if (!ok(reg.load(machineRegistryFile())))
        return false;
    const RegValue* value = reg.find(keyPath, valueName);
    if (value == nullptr)
        return false;
    byteCount = value->data.size();
    if (byteCount > 4)
        return false;
    for (size_t i = 0; i < byteCount; ++i)
        out |= static_cast<uint32_t>(value->data[i]) << (8 * i);
    return true;
}

bool isSwitchOn(std::wstring_view valueName, std::wstring_view keyPath) {
    uint32_t value = 0;
    size_t bytes = 0;
    return readRegistryDword(keyPath, valueName, value, bytes) && bytes == 4 && value == 1;
}

} // namespace zhost::settings
