#include "zhost/settings/inifile.h"

#include "textutil.h"
#include "zhost/core/utf.h"
#include "zhost/settings/atomicfile.h"
#include "zhost/settings/codepage.h"

#include <cstdint>
#include <utility>

namespace zhost::settings {

const IniEntry* IniSection::find(std::wstring_view key) const {
    const auto it = index_.find(toUpperName(trimBlanks(key)));
    return it == index_.end() ? nullptr : &entries_[it->second];
}

bool IniSection::add(std::wstring key, std::wstring value) {
    if (!index_.emplace(toUpperName(key), entries_.size()).second)
        return false;
    lines_.push_back(IniEntry{key, value});
    entries_.push_back(IniEntry{std::move(key), std::move(value)});
    return true;
}

void IniSection::addLine(std::wstring key, std::wstring value) {
    if (!add(key, value))
        lines_.push_back(IniEntry{std::move(key), std::move(value)});
}

void IniSection::set(std::wstring key, std::wstring value) {
    const auto it = index_.find(toUpperName(key));
    if (it == index_.end()) {
        add(std::move(key), std::move(value));
        return;
    }
    const std::wstring folded = toUpperName(key);
    for (IniEntry& line : lines_) {
        if (toUpperName(line.key) == folded) {
            line.value = value;
            break;
        }
    }
    entries_[it->second].value = std::move(value);
}

bool parseProfileInt(std::wstring_view text, int& value) {
    text = trimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    uint32_t magnitude = 0;
    const size_t firstDigit = i;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[i] - L'0');
    if (i == firstDigit)
        return false;
    if (negative)
        magnitude = 0u - magnitude;
    value = static_cast<int32_t>(magnitude);
    return true;
}

IniFile IniFile::parse(std::wstring_view text) {
    IniFile ini;
    TextLineReader lines{std::wstring(text)};
    std::wstring raw;
    // -1: before the first section, -2: inside a repeated section (ignored), else an index.
    long current = -1;
    while (lines.readLine(raw)) {
        const std::wstring_view line = trimBlanks(raw);
        if (line.empty() || line.front() == L';')
            continue;
        if (line.front() == L'[') {
            const size_t close = line.rfind(L']');
            if (close == std::wstring_view::npos)
                continue; // an unterminated header names nothing; its line is skipped
            std::wstring name(trimBlanks(line.substr(1, close - 1)));
            const auto [it, isNew] = ini.index_.emplace(toUpperName(name), ini.sections_.size());
            if (isNew) {
                ini.sections_.emplace_back(std::move(name));
                current = static_cast<long>(it->second);
            } else {
                current = -2;
            }
            continue;
        }
        const size_t eq = line.find(L'=');
        if (eq == std::wstring_view::npos || current < 0)
            continue;
        std::wstring key(trimBlanks(line.substr(0, eq)));
        if (key.empty())
            continue;
        ini.sections_[static_cast<size_t>(current)].addLine(
            std::move(key), std::wstring(trimBlanks(line.substr(eq + 1))));
    }
    return ini;
}

Status IniFile::load(const std::filesystem::path& file) {
    DecodedText decoded;
    const Status s = readTextFile(file, decoded, NoMarkRule::utf8ThenCodePage);
    const size_t capacity = capacity_;
    *this = ok(s) ? parse(decoded.text) : IniFile{};
    encoding_ = ok(s) ? decoded.encoding : TextEncoding::utf8;
    capacity_ = capacity;
    return s;
}

Status IniFile::save(const std::filesystem::path& file) const {
    std::wstring text;
    for (const IniSection& section : sections_) {
        text += L"[" + section.name() + L"]\r\n";
        for (const IniEntry& e : section.entries())
            text += e.key + L"=" + e.value + L"\r\n";
    }
    std::string bytes;
    switch (encoding_) {
    case TextEncoding::utf16Le:
        bytes = "\xFF\xFE" + encode(text, kCodePageUtf16Le);
        break;
    case TextEncoding::utf16Be:
        bytes = "\xFE\xFF" + encode(text, kCodePageUtf16Be);
        break;
    case TextEncoding::utf8Bom:
        bytes = "\xEF\xBB\xBF" + encode(text, kCodePageUtf8);
        break;
    case TextEncoding::utf8:
        bytes = encode(text, kCodePageUtf8);
        break;
    case TextEncoding::codePage: {
        bool lossless = true;
        bytes = encode(text, systemCodePage(), &lossless);
        if (!lossless) // keep every character rather than write '?' into the user's file
            bytes = "\xFF\xFE" + encode(text, kCodePageUtf16Le);
        break;
    }
    }
    return writeFileAtomically(file, bytes);
}

const IniSection* IniFile::findSection(std::wstring_view name) const {
    const auto it = index_.find(toUpperName(trimBlanks(name)));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

bool IniFile::selectSection(std::wstring_view name) {
    selectedName_ = std::wstring(trimBlanks(name));
    hasSelection_ = true;
    return findSection(selectedName_) != nullptr;
}

bool IniFile::addSection(std::wstring_view name) {
    std::wstring trimmed(trimBlanks(name));
    if (!index_.emplace(toUpperName(trimmed), sections_.size()).second)
        return false;
    sections_.emplace_back(std::move(trimmed));
    return true;
}

const IniSection* IniFile::selected() const {
    return hasSelection_ ? findSection(selectedName_) : nullptr;
}

IniSection* IniFile::selected() {
    return const_cast<IniSection*>(std::as_const(*this).selected());
}

std::wstring IniFile::cut(std::wstring_view text) const {
    const size_t limit = capacity_ == 0 ? 0 : capacity_ - 1;
    return std::wstring(text.substr(0, limit));
}

bool IniFile::getString(std::wstring_view key, std::wstring& value) const {
    const IniSection* section = selected();
    const IniEntry* entry = section ? section->find(key) : nullptr;
    if (entry == nullptr)
        return false;
    value = cut(entry->value);
    return true;
}

bool IniFile::getInt(std::wstring_view key, int& value) const {
    std::wstring text;
    return getString(key, text) && parseProfileInt(text, value);
}

size_t IniFile::keyCount() const {
    const IniSection* section = selected();
    return section ? section->entries().size() : 0;
}

bool IniFile::keyAt(size_t index, std::wstring& key, std::wstring& value) const {
    const IniSection* section = selected();
    if (section == nullptr || index >= section->entries().size())
        return false;
    key = cut(section->entries()[index].key);
    value = cut(section->entries()[index].value);
    return true;
}

bool IniFile::setString(std::wstring_view key, std::wstring_view value) {
    if (!hasSelection_ || trimBlanks(key).empty())
        return false;
    addSection(selectedName_);
    selected()->set(std::wstring(trimBlanks(key)), std::wstring(value));
    return true;
}

bool IniFile::setInt(std::wstring_view key, int value) {
    return setString(key, std::to_wstring(value));
}

} // namespace zhost::settings
