// ZORMA_GEOMCALC: measures closed areas region after region until the user stops. For each
// region: the outer area and any holes are picked, the reference point, axis and specific
// gravity asked as the report items need, the records computed, the centroids marked with
// points, and the report shown; it can then be pasted into the drawing as a table.
#include "geomcalc/GeomCalcCmd.h"

#include "frame/AutoVar.h"
#include "frame/CommandBodies.h"
#include "geomcalc/GeomCalcDialogs.h"
#include "geomcalc/GeomCalcEntities.h"
#include "geomcalc/GeomCalcPrompts.h"
#include "geomcalc/GeomCalcReport.h"
#include "geomcalc/GeomCalcSettings.h"
#include "geomcalc/RegionBuild.h"
#include "geomcalc/RegionPrompt.h"
#include "geomcalc/RegionProperties.h"
#include "geomcalc/ResultTable.h"

#include "zhost/db/entities.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/ui/types.h"

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

// The hole prompt, repeated until N or Enter. False when the user cancelled.
bool AskHoles(CGeomCalcContext& ctx, std::vector<BoundaryCurveSet>& holes, CTempEntities& temp) {
    while (true) {
        ed::initGet(0, L"Y N A");
        zhost::geom::Point3d p;
        const ed::Result r = ed::getPoint(
            nullptr,
            L"中抜き穴を追跡しますか [はい(Y)/いいえ(N)/別のグループの中抜き穴を選択する(A)]:", p);
        std::wstring kw;
        if (r == ed::Result::keyword)
            ed::getInput(kw);
        if (r == ed::Result::none || kw == L"N")
            return true;
        if (r == ed::Result::keyword && kw == L"A") {
            holes.push_back(GroupSeparator());
        } else if (r != ed::Result::normal && kw != L"Y") {
            return false;
        }
        BoundaryCurveSet set = RegionPrompt(ctx);
        temp.Add(set);
        holes.push_back(std::move(set));
    }
}

void PlaceCentroidPoints(const CGeomCalcContext& ctx) {
    const zhost::geom::Vector3d normal = ed::currentUcs().zAxis();
    for (size_t i = 0; i < ctx.results.size(); ++i) {
        auto point = std::make_unique<db::Point>(ctx.results[i].centroidWcs);
        ApplyDrawingDefaults(*point);
        point->setColorIndex(i == 0 ? 1 : 3);
        point->setNormal(normal);
        AppendToCurrentSpace(std::move(point));
    }
}

} // namespace

MeasureOutcome SelectAndMeasureRegion(CGeomCalcContext& ctx) {
    // Every picked curve is temporary: the owners erase them however this function is left.
    CTempEntities outerCurves;
    CTempEntities holeCurves;
    const BoundaryCurveSet outer = RegionPrompt(ctx);
    if (outer.empty())
        return MeasureOutcome::stop;
    outerCurves.Add(outer);

    std::vector<BoundaryCurveSet> holes;
    if (!AskHoles(ctx, holes, holeCurves) || !AskMomentInputs(ctx))
        return MeasureOutcome::stop;

    CTempEntities regions;
    const db::ObjectId outerRegion = BuildRegion(outer);
    if (outerRegion.isNull()) {
        ed::print(L"\n有効な閉領域が選択されませんでした。");
        return MeasureOutcome::retry;
    }
    regions.Add(outerRegion);
    std::vector<db::ObjectId> holeRegions;
    for (const BoundaryCurveSet& set : holes) {
        const db::ObjectId id =
            IsGroupSeparator(set) || set.empty() ? db::ObjectId::null() : BuildRegion(set);
        regions.Add(id);
        holeRegions.push_back(id);
    }
    ed::print(L"\n");
    ComputeRecords(outerRegion, holeRegions, ctx);
    regions.EraseAll();
    holeCurves.EraseAll();
    outerCurves.EraseAll();
    return ctx.results.empty() ? MeasureOutcome::stop : MeasureOutcome::measured;
}

void RunGeomCalc() {
    if (ed::workingDatabase() == nullptr)
        return;
    CAutoVar pdmode(L"PDMODE", 98);
    double viewSize = 0;
    const double markerSize =
        zhost::ok(ed::getVarReal(L"VIEWSIZE", viewSize)) ? viewSize / 300.0 : 0.0;
    LoadItemSwitches();

    while (true) {
        CGeomCalcContext ctx;
        ctx.items = GeomCalcMemory().items;
        ctx.markerSize = markerSize;
        // Weight without volume is reported without asking for the specific gravity: it is
        // then the one remembered (and stored) from earlier answers.
        LoadSpecificGravity();
        ctx.specificGravity = GeomCalcMemory().specificGravity;

        const MeasureOutcome outcome = SelectAndMeasureRegion(ctx);
        if (outcome == MeasureOutcome::retry)
            continue;
        if (outcome == MeasureOutcome::stop)
            break;
        PlaceCentroidPoints(ctx);
        std::vector<ReportRow> rows;
        BuildReport(ctx, ReportForm::dialog, rows);
        if (ShowGeomCalcResult(rows) == zhost::ui::idOk && !PlaceResultTable(ctx))
            break;
    }
}

void ZormaGeomCalcMain() {
    RunGeomCalc();
}
