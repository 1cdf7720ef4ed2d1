// Object snaps, the snap grid and ORTHO: where a picked point lands.
#include "editor_state.h"
#include "picking.h"

#include "zhost/db/db.h"
#include "zhost/editor/display.h"
#include "zhost/editor/osnap.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/geom/curves.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace zhost::ed {
namespace {

// The geometry of this many entities nearest to the cursor is looked at: intersections are
// tried pairwise, and a cursor over a dense spot must not stall the window.
constexpr size_t kMaxSnapEntities = 48;

class Candidates {
public:
    Candidates(const geom::Point3d& cursor, double aperture)
        : cursor_(cursor), aperture_(aperture) {}

    void consider(const geom::Point3d& p, SnapKind kind) {
        const double d = std::hypot(p.x - cursor_.x, p.y - cursor_.y);
        if (d <= aperture_ && (!best_ || d < bestDistance_)) {
            best_ = Snap{p, kind};
            bestDistance_ = d;
        }
    }
    const std::optional<Snap>& best() const { return best_; }
    const geom::Point3d& cursor() const { return cursor_; }

private:
    geom::Point3d cursor_;
    double aperture_;
    std::optional<Snap> best_;
    double bestDistance_ = 0;
};

// Polylines snap per segment (each vertex an endpoint, each segment its midpoint, each arc
// segment its centre), so they are broken down first.
std::vector<geom::Curve> snapPieces(const std::vector<geom::Curve>& curves) {
    std::vector<geom::Curve> out;
    for (const geom::Curve& c : curves) {
        if (const auto* pl = std::get_if<geom::Polyline>(&c)) {
            std::vector<geom::Curve> segments;
            if (ok(geom::explode(*pl, segments)))
                out.insert(out.end(), segments.begin(), segments.end());
            continue;
        }
        out.push_back(c);
    }
    return out;
}

bool liesOn(const geom::Curve& c, const geom::Point3d& p) {
    geom::Point3d near;
    return ok(geom::closestPointTo(c, p, near)) &&
           near.distanceTo(p) <= 1e-9 * std::max(1.0, p.asVector().length());
}

void quadrants(const geom::Curve& c, Candidates& out) {
    geom::Point3d center;
    geom::Vector3d u, v;
    if (const auto* circle = std::get_if<geom::Circle>(&c)) {
        center = circle->center;
        u = {circle->radius, 0, 0};
        v = {0, circle->radius, 0};
    } else if (const auto* arc = std::get_if<geom::CircArc>(&c)) {
        center = arc->center;
        u = {arc->radius, 0, 0};
        v = {0, arc->radius, 0};
    } else if (const auto* e = std::get_if<geom::EllipseArc>(&c)) {
        // An ellipse's quadrants are the ends of its axes.
        center = e->center;
        u = e->majorAxis;
        v = e->normal.normal().cross(e->majorAxis) * e->radiusRatio;
    } else {
        return;
    }
    const bool whole = geom::isClosed(c);
    for (const geom::Vector3d& d : {u, v, -u, -v}) {
        const geom::Point3d q = center + d;
        if (whole || liesOn(c, q))
            out.consider(q, SnapKind::quadrant);
    }
}

void exactPoints(const geom::Curve& c, int modes, Candidates& out) {
    const bool closed = geom::isClosed(c);
    if ((modes & osmode::endpoint) && !closed) {
        geom::Point3d s, e;
        if (ok(geom::startPoint(c, s)))
            out.consider(s, SnapKind::endpoint);
        if (ok(geom::endPoint(c, e)))
            out.consider(e, SnapKind::endpoint);
    }
    if ((modes & osmode::midpoint) && !closed) {
        double len = 0;
        geom::Point3d mid;
        if (ok(geom::length(c, len)) && ok(geom::pointAtDist(c, len / 2, mid)))
            out.consider(mid, SnapKind::midpoint);
    }
    if (modes & osmode::center) {
        if (const auto* circle = std::get_if<geom::Circle>(&c))
            out.consider(circle->center, SnapKind::center);
        else if (const auto* arc = std::get_if<geom::CircArc>(&c))
            out.consider(arc->center, SnapKind::center);
        else if (const auto* e = std::get_if<geom::EllipseArc>(&c))
            out.consider(e->center, SnapKind::center);
    }
    if (modes & osmode::quadrant)
        quadrants(c, out);
}

} // namespace

std::optional<Snap> snapToCurves(const std::vector<geom::Curve>& curves,
                                 const geom::Point3d& cursor, double aperture, int modes) {
    if (modes & osmode::suppressed)
        return std::nullopt;
    const std::vector<geom::Curve> pieces = snapPieces(curves);
    Candidates exact(cursor, aperture);
    for (const geom::Curve& c : pieces)
        exactPoints(c, modes, exact);
    if (modes & osmode::intersection) {
        for (size_t i = 0; i < pieces.size(); ++i)
            for (size_t j = i + 1; j < pieces.size(); ++j) {
                std::vector<geom::IntersectionPoint> hits;
                if (ok(geom::intersectWith(pieces[i], pieces[j], hits)))
                    for (const auto& h : hits)
                        exact.consider(h.point, SnapKind::intersection);
            }
    }
    if (exact.best() || !(modes & osmode::nearest))
        return exact.best();
    Candidates nearest(cursor, aperture);
    for (const geom::Curve& c : pieces) {
        geom::Point3d near;
        if (ok(geom::closestPointTo(c, cursor, near)))
            nearest.consider(near, SnapKind::nearest);
    }
    return nearest.best();
}

int runningSnapModes() {
    int modes = 0;
    if (!ok(getVarInt(L"OSMODE", modes)) || (modes & osmode::suppressed))
        return 0;
    return modes;
}

double snapAperture() {
    int pixels = 10;
    if (!ok(getVarInt(L"APERTURE", pixels)))
        pixels = 10;
    return std::max(pixels, 1) * viewScale();
}

std::optional<Snap> objectSnap(const geom::Point3d& cursor) {
    const int modes = runningSnapModes();
    if (modes == 0 || !detail::db())
        return std::nullopt;
    const double aperture = snapAperture();
    std::vector<db::ObjectId> ids = entitiesAtPoint(cursor, aperture);
    if (ids.size() > kMaxSnapEntities)
        ids.resize(kMaxSnapEntities);
    std::vector<geom::Curve> curves;
    for (db::ObjectId id : ids) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        std::vector<geom::Point3d> points; // texts and points: no snaps of theirs are offered
        if (e)
            detail::drawnGeometry(*e, curves, points);
    }
    return snapToCurves(curves, cursor, aperture, modes);
}

geom::Point3d gridPoint(const geom::Point3d& ucsPoint, const SnapGrid& grid) {
    // Into the grid's own axes, to the nearest lattice point there, and back.
    const double c = std::cos(grid.angle), s = std::sin(grid.angle);
    const double dx = ucsPoint.x - grid.base.x, dy = ucsPoint.y - grid.base.y;
    const double u = std::round((dx * c + dy * s) / grid.unitX) * grid.unitX;
    const double v = std::round((dy * c - dx * s) / grid.unitY) * grid.unitY;
    return {grid.base.x + u * c - v * s, grid.base.y + u * s + v * c, ucsPoint.z};
}

std::optional<SnapGrid> runningSnapGrid() {
    int mode = 0;
    if (!ok(getVarInt(L"SNAPMODE", mode)) || mode != 1)
        return std::nullopt;
    SnapGrid g;
    geom::Point3d unit(g.unitX, g.unitY, 0);
    if (!ok(getVarPoint(L"SNAPBASE", g.base)) || !ok(getVarPoint(L"SNAPUNIT", unit)) ||
        !ok(getVarReal(L"SNAPANG", g.angle)))
        return std::nullopt;
    g.base.z = 0;
    g.unitX = unit.x;
    g.unitY = unit.y;
    return g;
}

geom::Point3d landedPoint(const geom::Point3d& ucsPoint, bool objectSnaps,
                          std::optional<Snap>& snap) {
    snap.reset();
    if (objectSnaps)
        snap = objectSnap(ucsToWcs(ucsPoint));
    if (snap)
        return wcsToUcs(snap->point);
    if (const auto grid = runningSnapGrid())
        return gridPoint(ucsPoint, *grid);
    return ucsPoint;
}

geom::Point3d orthoPoint(const geom::Point3d& p, const geom::Point3d& base) {
    return std::abs(p.x - base.x) >= std::abs(p.y - base.y) ? geom::Point3d(p.x, base.y, p.z)
                                                            : geom::Point3d(base.x, p.y, p.z);
}

bool orthoModeOn() {
    int ortho = 0;
    return ok(getVarInt(L"ORTHOMODE", ortho)) && ortho == 1;
}

} // namespace zhost::ed
