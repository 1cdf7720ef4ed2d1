#pragma once
// The text catalogue: the catalogue file ("PartsContentsK.txt") read as a flat list of groups.
#include <string>
#include <vector>

struct CatalogueItem {
    std::wstring m_displayName;  // cleaned caption (see CleanDisplayName)
    std::wstring m_fileBaseName; // names the dialog description and the preview drawings
    int m_lineNumber = 0;        // 1-based line of the catalogue file
};

struct CatalogueGroup {
    std::wstring m_name;
    std::vector<CatalogueItem> m_items;
};

// Catalogue columns: a line is a part when it has at least this many fields and column 19 holds
// the file base name; column 20 optionally overrides it or the caption.
constexpr int kCatalogueMinFields = 20;
constexpr int kCatalogueBaseNameColumn = 19;
constexpr int kCatalogueOverrideColumn = 20;

// The catalogue's display names carry the standard's number in front ("JISB1180 六角ボルト",
// "B1180　六角ボルト"); the list shows the name alone. A leading "JISB" (without case) loses
// "JIS"; then a text longer than five characters that begins with "B" and has a blank or an
// ideographic blank at position 5 loses its first six characters; then leading white space and
// ideographic blanks go.
std::wstring CleanDisplayName(const std::wstring& caption);

// Whether an override value of column 20 names a file (begins with "B", without case) rather
// than a caption.
bool IsBaseNameOverride(const std::wstring& value);

// Reads the catalogue. Lines are read in pieces of at most 4095 characters (a longer line goes on
// as the next line), each counted for the line numbers, trimmed on the right and split at tabs.
// A non-empty column 0 starts a new group; a line with at least 20 fields and a non-empty column
// 19 is an item of the current group (item lines before the first group are skipped). With
// bCheckDrawings an item is kept only when its preview drawing "<symbols><base>_0.dwg" exists,
// and groups left without items are removed.
// Returns the number of groups, or -1 when the file cannot be opened.
int ReadCatalogueList(std::vector<CatalogueGroup>& groups, const std::wstring& catalogueFile,
                      const std::wstring& symbolsFolder, bool bCheckDrawings);

// The same over decoded text (line ends already "\n"); the drawing check asks the file system.
int ReadCatalogueListText(std::vector<CatalogueGroup>& groups, const std::wstring& text,
                          const std::wstring& symbolsFolder, bool bCheckDrawings);
