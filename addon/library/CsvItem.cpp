#include "library/CsvItem.h"

#include "library/CatalogueList.h"
#include "library/LibraryPaths.h"
#include "library/LibraryText.h"
#include "zhost/core/utf.h"
#include "zhost/settings/codepage.h"
#include "zhost/settings/privateprofile.h"

#include <array>

namespace zs = zhost::settings;

namespace {

constexpr size_t kTreeLineLimit = 2048;
constexpr int kRememberedColumns = 20;
constexpr int kLevelColumns[] = {4, 7, 10, 13, 16};
constexpr int kLastLevelColumn = 18;

// Cuts the bytes at CR LF (two bytes per unit in UTF-16) or after kTreeLineLimit units; a line
// feed alone stays inside the line.
template <typename Decode>
void CutTreeLines(std::string_view bytes, size_t unit, bool (*isCrLf)(std::string_view, size_t),
                  Decode decode, std::vector<std::wstring>& lines) {
    size_t start = 0;
    size_t pos = 0;
    const size_t limit = kTreeLineLimit * unit;
    const size_t end = bytes.size() - bytes.size() % unit; // an odd last byte is not a unit
    while (pos < end) {
        if (isCrLf(bytes, pos)) {
            lines.push_back(decode(bytes.substr(start, pos - start)));
            pos += 2 * unit;
            start = pos;
            continue;
        }
        pos += unit;
        if (pos - start >= limit) {
            lines.push_back(decode(bytes.substr(start, pos - start)));
            start = pos;
        }
    }
    if (start < end)
        lines.push_back(decode(bytes.substr(start, end - start)));
}

bool IsCrLfUtf16(std::string_view b, size_t i) {
    return i + 3 < b.size() && b[i] == '\r' && b[i + 1] == 0 && b[i + 2] == '\n' && b[i + 3] == 0;
}

bool IsCrLfBytes(std::string_view b, size_t i) {
    return i + 1 < b.size() && b[i] == '\r' && b[i + 1] == '\n';
}

bool AllEmpty(const std::vector<std::wstring>& fields, int from, int to) {
    for (int c = from; c <= to && c < static_cast<int>(fields.size()); ++c)
        if (!fields[c].empty())
            return false;
    return true;
}

// State carried from line to line while the tree is built.
struct TreeBuilder {
    CCsvItem* root = nullptr;
    std::array<std::wstring, kRememberedColumns> remembered;
    bool lastGroupLineFlat = false;
    CCsvItem* group = nullptr;
    CCsvItem* subGroup = nullptr;

    CCsvItem* Make(CCsvItem* parent, const std::wstring& name, const std::wstring& caption,
                   const std::wstring& baseName) {
        return parent->AddChild(name, caption, baseName);
    }

    void AddLine(std::vector<std::wstring>& f);
    void AddLevels(const std::vector<std::wstring>& f, std::wstring baseName);
};

void TreeBuilder::AddLine(std::vector<std::wstring>& f) {
    const std::wstring baseName = f[kCatalogueBaseNameColumn];
    // A line whose group line has both columns 2 and 3 has no sub-group column: it is shifted by
    // three so that its columns line up with the others under a "-" sub-group.
    bool flat = lastGroupLineFlat;
    if (!f[0].empty()) {
        flat = !f[2].empty() && !f[3].empty();
        lastGroupLineFlat = flat;
    }
    if (flat)
        f.insert(f.begin() + 1, {std::wstring(L"-"), std::wstring(), std::wstring()});

    const std::wstring& groupName = f[0].empty() ? remembered[0] : f[0];
    if (group == nullptr || !zhost::equalsNoCase(groupName, remembered[0])) {
        group = Make(root, std::wstring(), groupName, std::wstring());
        subGroup = nullptr;
    }
    const std::wstring& subName = f[1].empty() ? remembered[1] : f[1];
    if (subGroup == nullptr || !zhost::equalsNoCase(subName, remembered[1]))
        subGroup = Make(group, std::wstring(), subName, std::wstring());

    for (int c = 0; c < kRememberedColumns; ++c)
        if (!f[c].empty())
            remembered[c] = f[c];
    AddLevels(f, baseName);
}

void TreeBuilder::AddLevels(const std::vector<std::wstring>& f, std::wstring baseName) {
    const bool hasOverride = static_cast<int>(f.size()) > kCatalogueOverrideColumn &&
                             !f[kCatalogueOverrideColumn].empty();
    const std::wstring& over = hasOverride ? f[kCatalogueOverrideColumn] : std::wstring();
    CCsvItem* node = subGroup;
    for (int t : kLevelColumns) {
        if (AllEmpty(f, t, t + 2)) {
            if (AllEmpty(f, t + 3, kLastLevelColumn))
                return;
            // An empty level continues the path of the lines above. Without a node above there is
            // nothing to continue, and the rest of the line has no place in the tree.
            node = node->GetLastChild();
            if (node == nullptr)
                return;
            continue;
        }
        const std::wstring& name = f[t + 2].empty() ? remembered[t + 2] : f[t + 2];
        std::wstring caption = f[t];
        if (hasOverride) {
            if (IsBaseNameOverride(over))
                baseName = over;
            else
                caption = over;
        }
        node = Make(node, name, caption, baseName);
    }
}

} // namespace

CCsvItem* CCsvItem::AddChild(const std::wstring& name, const std::wstring& displayName,
                             const std::wstring& fileBaseName) {
    auto child = std::make_unique<CCsvItem>();
    child->m_pParent = this;
    child->m_name = name;
    child->m_displayName = displayName;
    child->m_fileBaseName = fileBaseName;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

CCsvItem* CCsvItem::GetLastChild() const {
    return m_children.empty() ? nullptr : m_children.back().get();
}

size_t CCsvItem::CountDescendants() const {
    size_t n = 0;
    for (const auto& child : m_children)
        n += 1 + child->CountDescendants();
    return n;
}

int CCsvItem::GetThumbNumber() const {
    if (m_thumbNumber == kThumbNotRead) {
        const CCsvItem* root = this;
        while (root->m_pParent != nullptr)
            root = root->m_pParent;
        m_thumbNumber = root->m_thumbSource ? root->m_thumbSource->Get(m_fileBaseName) : 1;
    }
    return m_thumbNumber;
}

CThumbDirections::CThumbDirections(const std::wstring& dlgFolder) : m_dlgFolder(dlgFolder) {}

int CThumbDirections::Get(const std::wstring& fileBaseName) {
    // Without a folder there is nothing to read (an empty folder must not mean the current one).
    if (fileBaseName.empty() || m_dlgFolder.empty())
        return 1;
    const auto cached = m_cache.find(fileBaseName);
    if (cached != m_cache.end())
        return cached->second;
    if (!m_folder)
        m_folder = std::make_unique<CFolderIndex>(m_dlgFolder);
    int thumb = 1;
    std::wstring file;
    if (m_folder->Find(fileBaseName + L".ini", file))
        thumb = zs::getPrivateProfileInt(L"General", L"ThumbDirection", 1, file);
    m_cache.emplace(fileBaseName, thumb);
    return thumb;
}

std::vector<std::wstring> ReadCatalogueTreeLines(const std::string& bytes) {
    std::vector<std::wstring> lines;
    const std::string_view all(bytes);
    if (all.size() >= 2 && static_cast<unsigned char>(all[0]) == 0xFF &&
        static_cast<unsigned char>(all[1]) == 0xFE) {
        CutTreeLines(
            all.substr(2), 2, IsCrLfUtf16,
            [](std::string_view b) { return zs::decode(b, zs::kCodePageUtf16Le); }, lines);
    } else if (all.size() >= 3 && all.substr(0, 3) == "\xEF\xBB\xBF") {
        CutTreeLines(
            all.substr(3), 1, IsCrLfBytes,
            [](std::string_view b) { return zs::decode(b, zs::kCodePageUtf8); }, lines);
    } else {
        const int codePage = zs::systemCodePage();
        CutTreeLines(
            all, 1, IsCrLfBytes, [codePage](std::string_view b) { return zs::decode(b, codePage); },
            lines);
    }
    return lines;
}

int BuildCatalogueTree(const std::vector<std::wstring>& lines, CCsvItem* pRoot,
                       std::shared_ptr<CThumbDirections> thumbs) {
    if (pRoot == nullptr)
        return 0;
    pRoot->SetThumbSource(std::move(thumbs));
    TreeBuilder builder;
    builder.root = pRoot;
    std::vector<std::wstring> fields;
    for (const std::wstring& raw : lines) {
        if (raw.empty())
            continue;
        std::wstring line = raw;
        TrimRight(line);
        Split(line, fields, L"\t");
        if (static_cast<int>(fields.size()) < kCatalogueMinFields ||
            fields[kCatalogueBaseNameColumn].empty())
            continue;
        builder.AddLine(fields);
    }
    // A type whose only sub-group is "-" (the flat lines) shows its levels directly.
    for (auto& top : pRoot->m_children) {
        if (top->m_children.size() != 1 || top->m_children[0]->m_displayName != L"-")
            continue;
        std::vector<std::unique_ptr<CCsvItem>> lifted = std::move(top->m_children[0]->m_children);
        for (auto& child : lifted)
            child->m_pParent = top.get();
        top->m_children = std::move(lifted);
    }
    return static_cast<int>(pRoot->m_children.size());
}

int ReadCatalogueTree(const std::wstring& symbolsFolder, const std::wstring& catalogueFile,
                      CCsvItem* pRoot, const std::wstring& dlgFolder) {
    std::string bytes;
    if (pRoot == nullptr || !ReadLibraryFileBytes(catalogueFile, bytes))
        return 0;
    return BuildCatalogueTree(ReadCatalogueTreeLines(bytes), pRoot,
                              std::make_shared<CThumbDirections>(dlgFolder));
}

int ReadCatalogueTree(const std::wstring& symbolsFolder, const std::wstring& catalogueFile,
                      CCsvItem* pRoot) {
    CLibraryPaths paths;
    GetLibraryPaths(paths);
    return ReadCatalogueTree(symbolsFolder, catalogueFile, pRoot, paths.m_dlgFolder);
}
