// -BOUNDARY: the area around a picked point, bounded by the drawing's curves, as regions
// (HPBOUND 0: one for the outer loop and one for each island, as the platform makes them) or
// polylines (HPBOUND 1).
#include "../answers.h"
#include "../host_commands.h"
#include "../picking.h"

#include "zhost/db/db.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/curves.h"
#include "zhost/geom/regions.h"

#include <cmath>

namespace zhost::ed::detail {
namespace {

// Every curve the screen shows in model space: the boundary set.
std::vector<geom::Curve> boundarySet(db::Database& d) {
    std::vector<geom::Curve> out;
    for (db::ObjectId id : drawingEntities(d, false)) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (!e || !isSelectable(*e) || dynamic_cast<const db::Hatch*>(e.get()))
            continue;
        std::vector<geom::Point3d> points;
        drawnGeometry(*e, out, points);
    }
    return out;
}

// A loop as one lightweight polyline when its edges are lines and arcs; nullptr otherwise.
std::unique_ptr<db::Entity> loopAsPolyline(const geom::Loop& loop) {
    geom::Polyline pl;
    pl.closed = true;
    if (loop.edges.size() == 1) {
        if (const auto* c = std::get_if<geom::Circle>(&loop.edges.front())) {
            // A circle as two half-circle segments.
            const geom::Vector3d r(c->radius, 0, 0);
            pl.points = {c->center - r, c->center + r};
            pl.bulges = {1.0, 1.0};
            return std::make_unique<db::Polyline>(pl);
        }
        if (const auto* p = std::get_if<geom::Polyline>(&loop.edges.front())) {
            pl = *p;
            pl.closed = true;
            return std::make_unique<db::Polyline>(pl);
        }
    }
    for (const geom::Curve& c : loop.edges) {
        geom::Point3d s, e, m;
        if (!ok(geom::startPoint(c, s)) || !ok(geom::endPoint(c, e)))
            return nullptr;
        double bulge = 0;
        if (std::holds_alternative<geom::CircArc>(c)) {
            double p0 = 0, p1 = 0;
            geom::paramRange(c, p0, p1);
            geom::pointAtParam(c, (p0 + p1) / 2, m);
            const double mag = std::tan((p1 - p0) / 4);
            const double side = (e - s).cross(m - s).z;
            bulge = side < 0 ? mag : -mag;
        } else if (!std::holds_alternative<geom::LineSeg>(c)) {
            return nullptr;
        }
        pl.points.push_back(s);
        pl.bulges.push_back(bulge);
    }
    return std::make_unique<db::Polyline>(pl);
}

bool makeBoundary(db::Database& d, const geom::Point3d& ucsPoint, int& made) {
    const geom::Point3d p = ucsToWcs(ucsPoint);
    std::vector<geom::Region> regions;
    const auto curves = boundarySet(d);
    if (curves.empty() || !ok(geom::boundaryRegionsAtPoint(curves, p, regions)) || regions.empty())
        return false;
    int asPolylines = 1;
    getVarInt(L"HPBOUND", asPolylines);
    for (const geom::Region& r : regions) {
        std::unique_ptr<db::Entity> e;
        if (asPolylines == 1 && r.faces.size() == 1)
            e = loopAsPolyline(r.faces.front().outer);
        if (!e)
            e = std::make_unique<db::Region>(r);
        e->setDatabaseDefaults(d);
        db::ObjectId id;
        if (ok(appendToCurrentSpace(std::move(e), id)))
            ++made;
    }
    return true;
}

} // namespace

void cmdBoundary() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    int made = 0;
    bool failed = false;
    while (true) {
        initGet(0, L"Advanced");
        geom::Point3d p;
        const Result r = getPoint(nullptr, L"\nPick internal point or [Advanced options]: ", p);
        if (r == Result::none)
            break;
        if (r == Result::cancel) {
            reportCommandFailure();
            return;
        }
        if (r == Result::keyword) {
            commandMessage(L"\nAdvanced options are not available; the whole drawing is the "
                           L"boundary set.");
            continue;
        }
        if (!makeBoundary(*d, p, made)) {
            commandMessage(L"\nValid hatch boundary not found.");
            failed = true;
        }
    }
    int asPolylines = 1;
    getVarInt(L"HPBOUND", asPolylines);
    if (made > 0)
        commandMessage(format(L"\nBOUNDARY created %d %s", made,
                              asPolylines == 1 ? (made == 1 ? L"polyline" : L"polylines")
                                               : (made == 1 ? L"region" : L"regions")));
    if (failed || made == 0)
        reportCommandFailure();
}

} // namespace zhost::ed::detail
