#pragma once
// The region prompt: a point inside an area (the host's boundary there) or a point on an
// element (the element trace from it).
#include "geomcalc/GeomCalcTypes.h"

// Asks until it yields: the curves bounding the area, coloured magenta. Empty when the user
// answers with Enter or Esc (or abandons a trace).
BoundaryCurveSet RegionPrompt(CGeomCalcContext& ctx);
