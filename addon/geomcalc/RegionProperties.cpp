#include "geomcalc/RegionProperties.h"

#include "geomcalc/RegionBuild.h"

#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/area_properties.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/plane.h"
#include "zhost/geom/regions.h"

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A point of the region's plane: the start of its first edge.
bool PointOnRegion(const geom::Region& r, geom::Point3d& p) {
    for (const geom::Face& f : r.faces)
        if (!f.outer.edges.empty() && zhost::ok(geom::startPoint(f.outer.edges.front(), p)))
            return true;
    return false;
}

} // namespace

double DistanceToAxis(const geom::Point3d& p, const geom::Point3d& a, const geom::Point3d& b) {
    const geom::Vector3d dir = b - a;
    const double len = dir.length();
    if (len <= geom::kDefaultTol.equalPoint)
        return p.distanceTo(a);
    return (p - a).cross(dir).length() / len;
}

RegionProperties ComputeRegionProperties(const geom::Region& region, const CGeomCalcContext& ctx) {
    RegionProperties rec;
    // The moments about the reference point are the moments about the origin of the plane's
    // coordinate system once the region is moved so that the reference point is the world
    // origin (the plane's origin is its point nearest the world origin).
    geom::Region moved;
    const geom::Vector3d toOrigin = geom::Point3d() - ctx.refPointWcs;
    if (!zhost::ok(geom::transformRegion(region, geom::Matrix3d::translation(toOrigin), moved)))
        return rec;
    geom::Point3d onPlane;
    if (!PointOnRegion(moved, onPlane))
        return rec;
    const geom::Plane plane(onPlane, moved.normal);
    const geom::Point3d o = plane.origin();
    const geom::Vector3d x = plane.xAxis();
    const geom::Vector3d y = plane.yAxis();
    const geom::AreaProperties ap = geom::areaProperties(moved, o, x, y);
    if (!zhost::ok(ap.status))
        return rec;

    rec.perimeter = ap.perimeter;
    rec.area = ap.area;
    const geom::Point3d c = o + x * ap.centroid.x + y * ap.centroid.y;
    rec.centroidRel = c;
    rec.centroidWcs = c + ctx.refPointWcs.asVector();
    rec.volume = DistanceToAxis(rec.centroidWcs, ctx.axisStart, ctx.axisEnd) * kTwoPi * ap.area;
    rec.weight = rec.volume * ctx.specificGravity / 1000.0;
    rec.momentRef[0] = ap.momInertia[0];
    rec.momentRef[1] = ap.momInertia[1];
    rec.momentCentroid[0] = ap.prinMoments[0];
    rec.momentCentroid[1] = ap.prinMoments[1];
    rec.centroidUcs = ed::wcsToUcs(rec.centroidWcs);
    rec.centroidRelUcs = geom::Point3d() + (rec.centroidUcs - ctx.refPointUcs);
    rec.valid = true;
    return rec;
}

RegionProperties ComputeRegionProperties(db::ObjectId regionId, const CGeomCalcContext& ctx) {
    db::ObjectPtr<db::Region> r(regionId, db::OpenMode::forRead);
    if (!r)
        return RegionProperties();
    return ComputeRegionProperties(r->geometry(), ctx);
}

void ComputeRecords(db::ObjectId outer, const std::vector<db::ObjectId>& holes,
                    CGeomCalcContext& ctx) {
    const RegionProperties first = ComputeRegionProperties(outer, ctx);
    if (!first.valid)
        return;
    ctx.results.push_back(first);
    if (SubtractHoles(outer, holes) != HoleResult::subtracted)
        return;
    const RegionProperties second = ComputeRegionProperties(outer, ctx);
    if (second.valid)
        ctx.results.push_back(second);
}
