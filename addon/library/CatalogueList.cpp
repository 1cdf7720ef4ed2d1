#include "library/CatalogueList.h"

#include "library/LibraryFiles.h"
#include "library/LibraryText.h"

#include <algorithm>

namespace {

constexpr wchar_t kIdeographicSpace = 0x3000;
constexpr size_t kCataloguePieceChars = 4095;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    size_t i = 0;
    for (; prefix[i] != 0; ++i) {
        if (i >= text.size())
            return false;
        wchar_t c = text[i];
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// The caption of a text-catalogue line: the first non-empty of columns 13, 10, 7, 4 and 1.
std::wstring FirstCaption(const std::vector<std::wstring>& fields) {
    for (int column : {13, 10, 7, 4, 1})
        if (column < static_cast<int>(fields.size()) && !fields[column].empty())
            return fields[column];
    return std::wstring();
}

} // namespace

bool IsBaseNameOverride(const std::wstring& value) {
    return StartsWithNoCase(value, L"B");
}

std::wstring CleanDisplayName(const std::wstring& caption) {
    std::wstring name = caption;
    if (StartsWithNoCase(name, L"JISB"))
        name.erase(0, 3);
    if (name.size() > 5 && name[0] == L'B' && (name[5] == L' ' || name[5] == kIdeographicSpace))
        name.erase(0, 6);
    TrimLeft(name); // the ideographic blank counts as white space here
    return name;
}

int ReadCatalogueListText(std::vector<CatalogueGroup>& groups, const std::wstring& text,
                          const std::wstring& symbolsFolder, bool bCheckDrawings) {
    groups.clear();
    std::vector<std::wstring> fields;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        end = end == std::wstring::npos ? text.size() : end + 1;
        end = std::min(end, pos + kCataloguePieceChars);
        std::wstring line = text.substr(pos, end - pos);
        pos = end;
        ++lineNumber;

        TrimRight(line);
        Split(line, fields, L"\t");
        if (!fields[0].empty())
            groups.push_back(CatalogueGroup{fields[0], {}});
        if (static_cast<int>(fields.size()) < kCatalogueMinFields ||
            fields[kCatalogueBaseNameColumn].empty() || groups.empty())
            continue;

        CatalogueItem item;
        item.m_fileBaseName = fields[kCatalogueBaseNameColumn];
        item.m_displayName = CleanDisplayName(FirstCaption(fields));
        item.m_lineNumber = lineNumber;
        if (static_cast<int>(fields.size()) > kCatalogueOverrideColumn) {
            const std::wstring& over = fields[kCatalogueOverrideColumn];
            if (IsBaseNameOverride(over))
                item.m_fileBaseName = over;
            else if (!over.empty())
                item.m_displayName = over;
        }
        if (bCheckDrawings && !DrawingFileExists(symbolsFolder + item.m_fileBaseName + L"_0.dwg"))
            continue;
        groups.back().m_items.push_back(std::move(item));
    }
    if (bCheckDrawings)
        std::erase_if(groups, [](const CatalogueGroup& g) { return g.m_items.empty(); });
    return static_cast<int>(groups.size());
}

int ReadCatalogueList(std::vector<CatalogueGroup>& groups, const std::wstring& catalogueFile,
                      const std::wstring& symbolsFolder, bool bCheckDrawings) {
    groups.clear();
    std::string bytes;
    if (!ReadLibraryFileBytes(catalogueFile, bytes))
        return -1;
    return ReadCatalogueListText(groups, DecodeLibraryText(bytes), symbolsFolder, bCheckDrawings);
}
