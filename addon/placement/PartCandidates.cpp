#include "placement/PartCandidates.h"

#include "library/CatalogueList.h"
#include "library/LibraryFiles.h"
#include "library/LibraryText.h"

#include "zhost/core/utf.h"

#include <string_view>

namespace {

constexpr size_t kKeyPrefixChars = 5;

} // namespace

std::vector<std::wstring> FindCandidatesInLines(const std::vector<std::wstring>& lines,
                                                const std::wstring& code) {
    std::vector<std::wstring> candidates;
    if (code.size() < kKeyPrefixChars)
        return candidates;
    const std::wstring_view prefix = std::wstring_view(code).substr(0, kKeyPrefixChars);
    std::vector<std::wstring> fields;
    std::wstring line;
    for (const std::wstring& raw : lines) {
        line = raw;
        TrimRight(line);
        if (line.empty())
            continue;
        Split(line, fields, L"\t");
        const std::wstring* key = nullptr;
        if (fields.size() > kCatalogueOverrideColumn &&
            IsBaseNameOverride(fields[kCatalogueOverrideColumn]))
            key = &fields[kCatalogueOverrideColumn];
        else if (fields.size() > kCatalogueBaseNameColumn)
            key = &fields[kCatalogueBaseNameColumn];
        if (key == nullptr || key->size() <= kKeyPrefixChars)
            continue;
        if (zhost::equalsNoCase(std::wstring_view(*key).substr(0, kKeyPrefixChars), prefix))
            candidates.push_back(*key);
    }
    return candidates;
}

std::vector<std::wstring> FindCatalogueCandidates(const std::wstring& catalogueFile,
                                                  const std::wstring& code) {
    std::string bytes;
    if (catalogueFile.empty() || !ReadLibraryFileBytes(catalogueFile, bytes))
        return {};
    std::vector<std::wstring> lines;
    SplitIntoLines(DecodeLibraryText(bytes), lines, false, kCandidateLineChars);
    return FindCandidatesInLines(lines, code);
}

bool ChooseCandidate(const std::vector<std::wstring>& candidates, int candidateIndex,
                     std::wstring& fileBaseName) {
    fileBaseName.clear();
    if (candidates.size() == 1)
        fileBaseName = candidates.front();
    else if (candidateIndex >= 1 && static_cast<size_t>(candidateIndex) <= candidates.size())
        fileBaseName = candidates[static_cast<size_t>(candidateIndex) - 1];
    return !fileBaseName.empty();
}
