#include "hide/OutlineRegion.h"

#include "hide/CurveCollect.h"
#include "hide/EntityOps.h"
#include "hide/EntityPredicates.h"

#include "attributes/HoleMark.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/geom/regions.h"

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

// The geometry of the curves (copied out of the database, so that nothing stays open while the
// kernel works), optionally only of the hole-marked ones; `marked` (when given) says which of
// the copies carry the hole mark.
std::vector<geom::Curve> CopyCurves(const std::vector<db::ObjectId>& ids, bool holesOnly,
                                    std::vector<bool>* marked = nullptr) {
    std::vector<geom::Curve> curves;
    curves.reserve(ids.size());
    for (db::ObjectId id : ids) {
        db::ObjectPtr<db::Curve> curve(id, db::OpenMode::forRead);
        if (!curve)
            continue;
        const bool hole = curve->hasXData(kHoleMarkApp);
        if (holesOnly && !hole)
            continue;
        curves.push_back(curve->toCurve());
        if (marked)
            marked->push_back(hole);
    }
    return curves;
}

// The same area described about the normal `n`: the kernel's Booleans want both operands on one
// side, and loops drawn clockwise (a mirrored part, say) come out facing the other way.
bool FaceAlong(geom::Region& r, const geom::Vector3d& n) {
    if (r.normal.dot(n) >= 0)
        return true;
    r.normal = -r.normal;
    return zhost::ok(geom::orientRegion(r));
}

// Regions from the closed loops among the curves, united into the first; false when none closes.
// With `marked`, a loop made of one hole-marked curve alone is left out: the hole region takes
// it away again, and uniting it first would cost a Boolean per hole for nothing.
bool UnitedRegion(const std::vector<geom::Curve>& curves, geom::Region& out,
                  const std::vector<bool>* marked = nullptr) {
    if (curves.empty())
        return false;
    std::vector<geom::Region> regions;
    std::vector<std::vector<std::size_t>> used;
    if (!zhost::ok(geom::regionsFromCurves(curves, regions, &used)) || regions.empty())
        return false;
    bool first = true;
    for (size_t i = 0; i < regions.size(); ++i) {
        if (marked && used[i].size() == 1 && (*marked)[used[i].front()])
            continue;
        geom::Region& next = regions[i];
        if (first) {
            out = std::move(next);
            first = false;
            continue;
        }
        geom::Region united;
        // A loop that the kernel cannot unite is left out rather than losing the whole outline.
        if (FaceAlong(next, out.normal) && zhost::ok(geom::unite(out, next, united)))
            out = std::move(united);
    }
    return !first && !out.empty();
}

std::unique_ptr<db::Region> RegionEntity(geom::Region r) {
    return std::make_unique<db::Region>(std::move(r));
}

} // namespace

std::unique_ptr<db::Region> BuildHoleRegion(const std::vector<db::ObjectId>& curves) {
    geom::Region holes;
    if (!UnitedRegion(CopyCurves(curves, true), holes))
        return nullptr;
    return RegionEntity(std::move(holes));
}

std::unique_ptr<db::Region> BuildOutlineRegion(const std::vector<db::ObjectId>& curves) {
    geom::Region outline;
    std::vector<bool> marked;
    const std::vector<geom::Curve> copies = CopyCurves(curves, false, &marked);
    if (!UnitedRegion(copies, outline, &marked))
        return nullptr;
    if (std::unique_ptr<db::Region> holes = BuildHoleRegion(curves)) {
        geom::Region tool = holes->geometry();
        geom::Region cut;
        if (FaceAlong(tool, outline.normal) && zhost::ok(geom::subtract(outline, tool, cut)))
            outline = std::move(cut);
        if (outline.empty())
            return nullptr; // the holes take up the whole outline
    }
    return RegionEntity(std::move(outline));
}

db::ObjectId BuildCoverOutline(db::ObjectId coverReferenceId) {
    db::ObjectId definitionId;
    zhost::geom::Matrix3d transform;
    {
        db::ObjectPtr<db::BlockReference> cover(coverReferenceId, db::OpenMode::forRead);
        if (!cover)
            return db::ObjectId::null();
        definitionId = cover->blockTableRecord();
        transform = cover->blockTransform();
    }
    std::vector<db::ObjectId> pieces;
    const std::vector<db::ObjectId> curves =
        CollectCurves(definitionId, pieces, IsCuttableCurveId, false);
    std::unique_ptr<db::Region> region = BuildOutlineRegion(curves);
    EraseObjects(pieces);
    if (!region || !zhost::ok(region->transformBy(transform)))
        return db::ObjectId::null();
    std::unique_ptr<db::Entity> entity = std::move(region);
    return AppendToModelSpace(entity);
}
