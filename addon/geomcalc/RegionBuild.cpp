#include "geomcalc/RegionBuild.h"

#include "geomcalc/GeomCalcEntities.h"

#include "frame/AutoVar.h"

#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/command_call.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"
#include "zhost/geom/regions.h"

#include <memory>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

double RegionEntityArea(db::ObjectId id) {
    db::ObjectPtr<db::Region> r(id, db::OpenMode::forRead);
    double area = -1;
    if (!r || !zhost::ok(geom::regionArea(r->geometry(), area)))
        return -1;
    return area;
}

// The largest region among the entities (ties keep the first); null when none is a region.
db::ObjectId LargestRegion(const std::vector<db::ObjectId>& ids) {
    db::ObjectId best;
    double bestArea = -1;
    for (db::ObjectId id : ids) {
        const double a = RegionEntityArea(id);
        if (a > bestArea) {
            best = id;
            bestArea = a;
        }
    }
    return best;
}

BoundaryCurveSet ExplodeIntoCurrentSpace(db::ObjectId regionId) {
    BoundaryCurveSet out;
    std::vector<std::unique_ptr<db::Entity>> pieces;
    {
        db::ObjectPtr<db::Entity> e(regionId, db::OpenMode::forRead);
        if (!e || !zhost::ok(e->explode(pieces)))
            return out;
    }
    for (auto& piece : pieces) {
        // A piece that cannot be appended is simply dropped with its unique_ptr.
        const db::ObjectId id = AppendToCurrentSpace(std::move(piece));
        if (!id.isNull())
            out.push_back(id);
    }
    return out;
}

bool SubtractRegion(db::ObjectId from, db::ObjectId tool) {
    geom::Region a, b, result;
    {
        db::ObjectPtr<db::Region> ra(from, db::OpenMode::forRead);
        db::ObjectPtr<db::Region> rb(tool, db::OpenMode::forRead);
        if (!ra || !rb)
            return false;
        a = ra->geometry();
        b = rb->geometry();
    }
    // REGION may give coplanar loops opposite normals (the normal follows the curves, and a
    // boundary traced clockwise has arcs whose normals point down); the Boolean needs them to
    // agree, so the tool is turned over: the same area described about the other normal.
    if (a.normal.dot(b.normal) < 0) {
        b.normal = -b.normal;
        if (!zhost::ok(geom::orientRegion(b)))
            return false;
    }
    if (!zhost::ok(geom::subtract(a, b, result)))
        return false;
    {
        db::ObjectPtr<db::Region> ra(from, db::OpenMode::forWrite);
        if (!ra || !zhost::ok(ra->set(result)))
            return false;
    }
    // The subtracted region is used up, as a region Boolean leaves its operand empty.
    EraseEntity(tool);
    return true;
}

} // namespace

BoundaryCurveSet BoundaryAtPoint(const geom::Point3d& ucsPoint) {
    CEntitySnapshot snapshot;
    ed::Result r;
    {
        CAutoVar bound(L"HPBOUND", 0);
        CAutoVar retain(L"HPBOUNDRETAIN", 1);
        CAutoVar echo(L"CMDECHO", 0);
        r = ed::command({L".-boundary", ed::CmdPoint{ucsPoint}, L""});
    }
    const std::vector<db::ObjectId> made = snapshot.NewEntities();
    BoundaryCurveSet out;
    if (r == ed::Result::normal && !made.empty()) {
        const db::ObjectId chosen = made.size() == 1 ? made.front() : LargestRegion(made);
        if (!chosen.isNull())
            out = ExplodeIntoCurrentSpace(chosen);
    }
    EraseEntities(made);
    return out;
}

db::ObjectId BuildRegion(const BoundaryCurveSet& set) {
    ed::SelectionSet ss;
    for (db::ObjectId id : set)
        if (!id.isNull() && id.isValid() && !id.isErased())
            ss.add(id);
    if (ss.length() == 0)
        return db::ObjectId::null();

    CEntitySnapshot snapshot;
    {
        CAutoVar echo(L"CMDECHO", 0);
        CAutoVar keep(L"DELOBJ", 0);
        ed::command({L"._REGION", ss, L""});
    }
    const std::vector<db::ObjectId> made = snapshot.NewEntities();
    if (made.empty())
        return db::ObjectId::null();
    if (made.size() == 1)
        return made.front();

    ed::SelectionSet all;
    for (db::ObjectId id : made)
        all.add(id);
    if (all.length() == 0) {
        EraseEntities(made);
        return db::ObjectId::null();
    }
    {
        CAutoVar echo(L"CMDECHO", 0);
        ed::command({L"._UNION", all, L""});
    }
    return made.front();
}

std::vector<std::vector<db::ObjectId>> HoleGroups(const std::vector<db::ObjectId>& holes) {
    std::vector<std::vector<db::ObjectId>> groups;
    std::vector<db::ObjectId> current;
    for (db::ObjectId id : holes) {
        if (id.isNull()) {
            if (!current.empty())
                groups.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(id);
        }
    }
    if (!current.empty())
        groups.push_back(std::move(current));
    return groups;
}

HoleResult SubtractHoles(db::ObjectId outer, const std::vector<db::ObjectId>& holes) {
    const auto groups = HoleGroups(holes);
    if (groups.empty())
        return HoleResult::noHoles;
    for (const auto& group : groups) {
        // Each pick lies inside the one before it: R(k-1) -= R(k), ..., R1 -= R2. A failure
        // here only means that the later pick is not taken off the earlier one.
        for (size_t k = group.size() - 1; k > 0; --k)
            SubtractRegion(group[k - 1], group[k]);
    }
    for (const auto& group : groups) {
        if (!SubtractRegion(outer, group.front())) {
            ed::print(L"中抜き領域の取得に失敗しました。");
            return HoleResult::failed;
        }
    }
    return HoleResult::subtracted;
}
