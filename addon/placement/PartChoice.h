#pragma once
// The dialogs of the part-contents run, each behind one call so that the run reads as its steps.
#include "library/LibraryPaths.h"
#include "selection/PartDescription.h"

#include <string>

// The picture catalogue, or with `textCatalogue` (Shift held) the text catalogue. True on OK,
// with the part's file base name (empty when the user chose a group) and display name.
bool ChoosePart(bool textCatalogue, const CLibraryPaths& paths, std::wstring& fileBaseName,
                std::wstring& displayName);

// The condition dialog on the description. True on OK: every control carries its chosen value
// and the description names the symbol block to insert.
bool ChooseConditions(PartDescription& desc, const std::wstring& displayName, int drawingNumber,
                      bool editing);
