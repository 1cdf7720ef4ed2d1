#pragma once
// Where the parts library's files lie. The root comes from the settings library (the product's
// parts-data root); the catalogue and the nominal-size file are looked up in the root first and
// then under "PartsContents"; the folders Dlg, Symbols, Thumbs and Data always lie under
// root\PartsContents. Paths are built the platform's way, with backslashes; folders end with a
// backslash.
#include <string>

inline constexpr const wchar_t* kCatalogueFileName = L"PartsContentsK.txt";
inline constexpr const wchar_t* kNominalSizeFileName = L"PartsContentsY.txt";
inline constexpr const wchar_t* kLayerSettingsFileName = L"PartsContentsParam.ini";

struct CLibraryPaths {
    std::wstring m_root;            // without a trailing backslash
    std::wstring m_catalogueFile;   // empty when no catalogue was found
    std::wstring m_nominalSizeFile; // empty when no nominal-size file was found
    std::wstring m_symbolsFolder;   // root\PartsContents\Symbols\ (also the preview drawings)
    std::wstring m_dlgFolder;       // root\PartsContents\Dlg\     (dialog descriptions)
    std::wstring m_thumbsFolder;    // root\PartsContents\Thumbs\  (pictures of the descriptions)
    std::wstring m_dataFolder;      // root\PartsContents\Data\    (data tables)
};

// The paths of a library under this root (a trailing separator is removed). The two files are
// set only when they exist in one of their two places. False when the root is empty.
bool MakeLibraryPaths(const std::wstring& root, CLibraryPaths& paths);

// The module's library paths. They are computed from the settings library on the first call that
// finds the catalogue and kept for the life of the module; until then every call looks again, so
// a library installed after a failed run is found by the next one. False (and the catalogue path
// empty) while there is no catalogue.
bool GetLibraryPaths(CLibraryPaths& paths);

// The nominal-size file of the module's library, found and kept like the paths (the catalogue is
// not needed for it). False while there is none.
bool GetNominalSizeFile(std::wstring& file);

// Forgets the kept paths (the next call computes them again): for tests and for a host that
// switches products.
void ResetLibraryPaths();
