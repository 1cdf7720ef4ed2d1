#pragma once
// The entry the part-contents commands use to let the user choose a part's conditions. It runs
// the condition dialog modally on the description with the plug-in's resources current; on OK
// every control of the description carries its chosen value (m_value) and its enabled-at-OK
// flag, the description's drawing number and symbol block name are set, and the values are
// remembered per user as the next defaults. On Cancel the description is left as it was.
#include "selection/PartDescription.h"

#include <string>

// Returns true for OK, false for Cancel.
//   displayName    the part's name in the catalogue, shown in the title
//   drawingNumber  the drawing number of the part being edited, or -1 when none
//   isEdit         editing a placed part: the values in the description are the part's own, so
//                  the values remembered per user are not taken
bool RunContCondDlg(PartDescription& desc, const std::wstring& displayName, int drawingNumber,
                    bool isEdit);
