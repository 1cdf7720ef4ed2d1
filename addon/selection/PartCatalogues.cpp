#include "selection/PartCatalogues.h"

#include "frame/LibraryVerbs.h"
#include "resources/ZormaResources.h"
#include "selection/PartsDlg.h"
#include "selection/PvxCPartsDlg.h"

#include "zhost/editor/output.h"
#include "zhost/ui/types.h"

namespace {

template <class Dlg>
bool RunCatalogue(Dlg& dlg, std::wstring& strFileBaseName, std::wstring& strDisplayName) {
    if (dlg.runModal() != zhost::ui::idOk)
        return false;
    strFileBaseName = dlg.GetFileBaseName();
    strDisplayName = dlg.GetDisplayName();
    return true;
}

} // namespace

bool ChoosePartText(const CLibraryPaths& paths, std::wstring& strFileBaseName,
                    std::wstring& strDisplayName) {
    CZormaResourceScope resources;
    CPartsDlg dlg(paths.m_catalogueFile, paths.m_symbolsFolder);
    return RunCatalogue(dlg, strFileBaseName, strDisplayName);
}

bool ChoosePartPicture(const CLibraryPaths& paths, std::wstring& strFileBaseName,
                       std::wstring& strDisplayName) {
    CZormaResourceScope resources;
    PvxCPartsDlg dlg(paths.m_symbolsFolder, paths.m_catalogueFile);
    return RunCatalogue(dlg, strFileBaseName, strDisplayName);
}

// "zorma library pick [--text]": either catalogue on the configured product's library, driven by
// the script's "@dialog" lines; the choice is printed as "<file base name><TAB><display name>".
int LibraryPickVerb(const LibraryVerbArgs& args) {
    bool bText = false;
    for (const std::wstring& a : args) {
        if (a == L"--text") {
            bText = true;
        } else {
            zhost::ed::print(L"zorma library pick: unknown argument \"" + a +
                             L"\"\nusage: zorma library pick [--product DIR] [--text]\n");
            return 2;
        }
    }
    CLibraryPaths paths;
    if (!GetLibraryPaths(paths)) {
        zhost::ed::print(L"zorma library pick: no parts catalogue was found in the product's "
                         L"library\n");
        return 1;
    }
    std::wstring strFileBaseName, strDisplayName;
    const bool bChosen = bText ? ChoosePartText(paths, strFileBaseName, strDisplayName)
                               : ChoosePartPicture(paths, strFileBaseName, strDisplayName);
    if (!bChosen)
        return 1;
    zhost::ed::print(strFileBaseName + L"\t" + strDisplayName + L"\n");
    return strFileBaseName.empty() ? 1 : 0;
}
