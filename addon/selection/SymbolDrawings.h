#pragma once
// The catalogues' questions about the symbols folder: does a part's preview drawing
// "<symbols><base>_<n>.dwg" exist (or the DXF of that name beside it)? The folder is listed once,
// when first asked, so a catalogue of thousands of parts asks the file system once, not once per
// cell drawn or per node pruned.
#include "library/LibraryFiles.h"

#include <memory>
#include <string>

class CSymbolDrawings {
public:
    explicit CSymbolDrawings(std::wstring strSymbolsFolder);

    // "<symbols><base>_<n>.dwg", the name the preview operation is given.
    std::wstring PathOf(const std::wstring& strFileBaseName, int nNumber) const;
    // Whether that drawing can be loaded; strPath receives its name when it can.
    bool Find(const std::wstring& strFileBaseName, int nNumber, std::wstring& strPath);

private:
    std::wstring m_strFolder;
    std::unique_ptr<CFolderIndex> m_index; // listed on first use
};

// The thumbnail number of a catalogue node for its picture: -1 (the reader's "no number") is
// taken as 1.
int PictureNumber(int nThumbNumber);
