#include "library/LibraryIni.h"

#include "library/LibraryText.h"
#include "zhost/core/utf.h"

#include <algorithm>

const CIniKey* CIniSection::Find(const std::wstring& name) const {
    for (const CIniKey& k : m_keys)
        if (zhost::equalsNoCase(k.m_name, name))
            return &k;
    return nullptr;
}

std::vector<CIniSection> ScanLibraryIni(const std::wstring& text) {
    std::vector<CIniSection> sections;
    int line = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring l = text.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        Trim(l);
        if (l.empty() || l[0] == L';')
            continue;
        if (l[0] == L'[') {
            const size_t close = l.find(L']');
            std::wstring name =
                l.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
            Trim(name);
            sections.push_back({name, line, {}});
            continue;
        }
        const size_t eq = l.find(L'=');
        if (eq == std::wstring::npos || sections.empty())
            continue;
        std::wstring key = l.substr(0, eq), value = l.substr(eq + 1);
        Trim(key);
        Trim(value);
        std::vector<CIniKey>& keys = sections.back().m_keys;
        auto same = std::find_if(keys.begin(), keys.end(), [&](const CIniKey& k) {
            return zhost::equalsNoCase(k.m_name, key);
        });
        if (same != keys.end())
            *same = {key, value, line};
        else
            keys.push_back({key, value, line});
    }
    return sections;
}
