#include "geomcalc/RegionPrompt.h"

#include "geomcalc/ElementTrace.h"
#include "geomcalc/GeomCalcDialogs.h"
#include "geomcalc/GeomCalcEntities.h"
#include "geomcalc/RegionBuild.h"

#include "zhost/db/curves.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/display.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/ucs.h"

namespace db = zhost::db;
namespace ed = zhost::ed;

namespace {

bool IsCurve(db::ObjectId id) {
    db::ObjectPtr<db::Curve> c(id, db::OpenMode::forRead);
    return bool(c);
}

} // namespace

BoundaryCurveSet RegionPrompt(CGeomCalcContext& ctx) {
    while (true) {
        // A point prompt rather than an entity pick: a pick that hits nothing still has to
        // tell where it landed, which the boundary needs.
        ed::initGet(0, L"G");
        zhost::geom::Point3d p;
        const ed::Result r = ed::getPoint(nullptr,
                                          L"閉領域内の点または要素上の開始点(直線, 円, 円弧, 楕円, "
                                          L"楕円弧)を指示して下さい[設定(G)]:",
                                          p);
        if (r == ed::Result::keyword) {
            std::wstring kw;
            ed::getInput(kw);
            if (kw == L"G") {
                OpenGeomCalcSettings(ctx.items);
                continue;
            }
            return BoundaryCurveSet();
        }
        if (r != ed::Result::normal)
            return BoundaryCurveSet();

        const zhost::geom::Point3d world = ed::ucsToWcs(p);
        const std::vector<db::ObjectId> hits = ed::entitiesAtPoint(world, ed::pickAperture());
        BoundaryCurveSet set;
        if (hits.empty()) {
            set = BoundaryAtPoint(p);
            if (set.empty()) {
                ed::print(L"\nERROR : 選択点は無効です。");
                continue;
            }
        } else {
            if (!IsCurve(hits.front()))
                continue; // only curves can be traced
            set = TraceFromElement(hits.front(), world, ctx);
            if (set.empty())
                return set;
        }
        SetEntitiesColor(set, 6);
        return set;
    }
}
