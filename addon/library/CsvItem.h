#pragma once
// The picture catalogue: the catalogue file ("PartsContentsK.txt") read as a tree of part types,
// sub-groups and up to five levels of choices whose leaves are parts.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "library/LibraryFiles.h"

class CThumbDirections;

class CCsvItem {
public:
    // m_thumbNumber before it was read.
    static constexpr int kThumbNotRead = -0x7fffffff;

    CCsvItem() = default;
    CCsvItem(const CCsvItem&) = delete;
    CCsvItem& operator=(const CCsvItem&) = delete;

    CCsvItem* m_pParent = nullptr; // none for the root
    std::wstring m_name;           // the level's node name (empty for groups)
    std::wstring m_displayName;    // caption
    std::wstring m_fileBaseName;   // the line's part (empty for groups)
    std::vector<std::unique_ptr<CCsvItem>> m_children;

    // The thumbnail number: key "ThumbDirection" of section "General" in the part's dialog
    // description, 1 when the file or the key is missing. It is read when first asked for (a
    // dialog shows a handful of nodes of a tree of thousands), from the descriptions the tree
    // was read with.
    int GetThumbNumber() const;
    void SetThumbNumber(int thumbNumber) { m_thumbNumber = thumbNumber; }

    // Appends a child and returns it (owned by this node).
    CCsvItem* AddChild(const std::wstring& name, const std::wstring& displayName,
                       const std::wstring& fileBaseName);
    CCsvItem* GetLastChild() const;
    void RemoveAllChildren() { m_children.clear(); }
    // Number of nodes below this one.
    size_t CountDescendants() const;

    // The root keeps the source of the thumbnail numbers for the whole tree.
    void SetThumbSource(std::shared_ptr<CThumbDirections> source) {
        m_thumbSource = std::move(source);
    }

private:
    mutable int m_thumbNumber = kThumbNotRead;
    std::shared_ptr<CThumbDirections> m_thumbSource;
};

// The thumbnail numbers of the parts, from the dialog descriptions "<dlg folder><base>.ini"
// read with the host's private-profile reader. The folder is listed once, on the first question,
// and each description is read once, so asking about thousands of nodes costs one look-up per
// part, not one file-system search per node.
class CThumbDirections {
public:
    explicit CThumbDirections(const std::wstring& dlgFolder);
    int Get(const std::wstring& fileBaseName);

private:
    std::wstring m_dlgFolder;
    std::unique_ptr<CFolderIndex> m_folder; // listed on first use
    std::unordered_map<std::wstring, int> m_cache;
};

// The node tree of the catalogue. The file is UTF-16LE when it begins with FF FE (or UTF-8 after
// EF BB BF), else it is in the host's code page. A line ends at CR LF only (a line feed alone does
// not end it) or after 2048 characters (2048 bytes in the code-page form).
// The thumbnail numbers come from the dialog-description folder of the module's library paths;
// the second form names the folder. Returns the number of top-level nodes (children of pRoot),
// 0 when the file cannot be opened.
int ReadCatalogueTree(const std::wstring& symbolsFolder, const std::wstring& catalogueFile,
                      CCsvItem* pRoot);
int ReadCatalogueTree(const std::wstring& symbolsFolder, const std::wstring& catalogueFile,
                      CCsvItem* pRoot, const std::wstring& dlgFolder);

// The steps of the reader, for tests and the library check: the file's lines, and the tree
// built from lines.
std::vector<std::wstring> ReadCatalogueTreeLines(const std::string& bytes);
// thumbs (may be null) becomes the tree's source of thumbnail numbers.
int BuildCatalogueTree(const std::vector<std::wstring>& lines, CCsvItem* pRoot,
                       std::shared_ptr<CThumbDirections> thumbs);
