#pragma once
// The two dialogs of the geometric calculation as the command uses them.
#include "geomcalc/GeomCalcTypes.h"

#include <vector>

// The item settings dialog (141). On OK the remembered switches are reloaded from the store and
// copied into `items`; returns whether it was closed with OK.
bool OpenGeomCalcSettings(ItemFlags& items);

// The result dialog (140) with the dialog-form rows. Returns idOk ("図面に貼り付け(&D)") or
// idCancel ("終了(&E)" or closed).
int ShowGeomCalcResult(const std::vector<ReportRow>& rows);
