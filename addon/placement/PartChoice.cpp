// The two dialogs of the part-contents run: the catalogue in which the user picks the part and
// the condition dialog in which the user chooses its variant, size and options.
#include "placement/PartChoice.h"

#include "selection/PartCatalogues.h"
#include "selection/RunContCondDlg.h"

bool ChoosePart(bool textCatalogue, const CLibraryPaths& paths, std::wstring& fileBaseName,
                std::wstring& displayName) {
    return textCatalogue ? ChoosePartText(paths, fileBaseName, displayName)
                         : ChoosePartPicture(paths, fileBaseName, displayName);
}

bool ChooseConditions(PartDescription& desc, const std::wstring& displayName, int drawingNumber,
                      bool editing) {
    return RunContCondDlg(desc, displayName, drawingNumber, editing);
}
