#pragma once
// The questions asked after the area is picked: the moment reference point, the axis of
// revolution and the specific gravity, each only when a report item needs it.
#include "geomcalc/GeomCalcTypes.h"

// Asks what the switched-on items need, in order. False when the user cancelled one of them.
bool AskMomentInputs(CGeomCalcContext& ctx);

bool AskReferencePoint(CGeomCalcContext& ctx);
bool AskAxis(CGeomCalcContext& ctx);
bool AskSpecificGravity(CGeomCalcContext& ctx);
