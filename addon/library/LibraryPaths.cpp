#include "library/LibraryPaths.h"

#include "frame/SettingsLib.h"
#include "library/LibraryFiles.h"

namespace {

// The first of root\name and root\PartsContents\name that exists, else empty.
std::wstring FindLibraryFile(const std::wstring& root, const wchar_t* name) {
    std::wstring direct = root + L"\\" + name;
    if (LibraryFileExists(direct))
        return direct;
    std::wstring nested = root + L"\\PartsContents\\" + name;
    if (LibraryFileExists(nested))
        return nested;
    return std::wstring();
}

struct KeptPaths {
    CLibraryPaths paths;
    bool found = false;
    std::wstring nominalSizeFile;
};

KeptPaths& Kept() {
    static KeptPaths kept;
    return kept;
}

} // namespace

bool MakeLibraryPaths(const std::wstring& rootIn, CLibraryPaths& paths) {
    paths = CLibraryPaths{};
    std::wstring root = rootIn;
    while (!root.empty() && (root.back() == L'\\' || root.back() == L'/'))
        root.pop_back();
    if (root.empty())
        return false;
    paths.m_root = root;
    paths.m_catalogueFile = FindLibraryFile(root, kCatalogueFileName);
    paths.m_nominalSizeFile = FindLibraryFile(root, kNominalSizeFileName);
    const std::wstring contents = root + L"\\PartsContents\\";
    paths.m_symbolsFolder = contents + L"Symbols\\";
    paths.m_dlgFolder = contents + L"Dlg\\";
    paths.m_thumbsFolder = contents + L"Thumbs\\";
    paths.m_dataFolder = contents + L"Data\\";
    return true;
}

bool GetLibraryPaths(CLibraryPaths& paths) {
    KeptPaths& kept = Kept();
    if (!kept.found) {
        std::wstring root;
        CLibraryPaths fresh;
        if (!GetPartsDataRoot(root) || !MakeLibraryPaths(root, fresh)) {
            paths = CLibraryPaths{};
            return false;
        }
        if (fresh.m_catalogueFile.empty()) {
            paths = fresh;
            return false;
        }
        kept.paths = fresh;
        kept.found = true;
    }
    paths = kept.paths;
    return true;
}

bool GetNominalSizeFile(std::wstring& file) {
    KeptPaths& kept = Kept();
    if (kept.nominalSizeFile.empty()) {
        std::wstring root;
        CLibraryPaths fresh;
        if (GetPartsDataRoot(root) && MakeLibraryPaths(root, fresh))
            kept.nominalSizeFile = fresh.m_nominalSizeFile;
    }
    file = kept.nominalSizeFile;
    return !file.empty();
}

void ResetLibraryPaths() {
    Kept() = KeptPaths{};
}
