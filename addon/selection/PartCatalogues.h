#pragma once
// Choosing a part from the library's catalogue, as the part-contents command starts: the picture
// catalogue (PvxCPartsDlg), or the text catalogue (CPartsDlg) when the user holds Shift. Both run
// modally with the plug-in's resources current and hand back the part's file base name (which
// names its dialog description and symbol drawings) and its display name.
#include "library/LibraryPaths.h"

#include <string>

// The text catalogue on the library's catalogue file and symbols folder. True after OK, with the
// chosen part; false after Cancel (the names are then left as they were).
bool ChoosePartText(const CLibraryPaths& paths, std::wstring& strFileBaseName,
                    std::wstring& strDisplayName);

// The picture catalogue, likewise. After OK the file base name may be empty: the user chose a
// button that stands for a group rather than a part, which the caller reports.
bool ChoosePartPicture(const CLibraryPaths& paths, std::wstring& strFileBaseName,
                       std::wstring& strDisplayName);
