#pragma once
// The ZORMA_GEOMCALC command body (ZormaGeomCalcMain in frame/CommandBodies.h calls it).
#include "geomcalc/GeomCalcTypes.h"

enum class MeasureOutcome {
    measured, // ctx.results holds the records
    retry,    // the outer region could not be built: pick again
    stop,     // cancelled, or nothing measurable: the command ends
};

// Picks one region with its holes, asks for the inputs and computes the records.
MeasureOutcome SelectAndMeasureRegion(CGeomCalcContext& ctx);

// The whole command.
void RunGeomCalc();
